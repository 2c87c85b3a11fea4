// The Win32 window layer under Wine: dialogs from an in-memory template, timers, controls,
// modeless dialogs inside a modal one, title lookup, and handlers that throw.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/Dialog.h"
#include "ui/win32/Win32Host.h"
#include "ui/win32/Win32Tray.h"
#include "windows/DialogTemplate.h"

namespace odr::ui::win32 {
namespace {

constexpr int kTemplate = 9001;
constexpr int kText = 1001;
constexpr int kList = 1002;

// A dialog with a static text, a list box and an OK button.
std::vector<uint8_t> TestTemplate(const char* title, bool visible) {
    odr::test::DialogTemplate t(
        title, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | (visible ? WS_VISIBLE : 0), 3,
        200, 100);
    t.Item(SS_LEFT, 5, 5, 150, 10, kText, t.kStatic, "");
    t.Item(LBS_NOTIFY | WS_BORDER, 5, 20, 150, 40, kList, t.kListBox, "");
    t.Item(BS_DEFPUSHBUTTON, 5, 70, 40, 14, IDOK, t.kButton, "OK");
    return t.bytes();
}

// A dialog driven by callbacks, recording what the window layer called.
class ScriptDialog : public Dialog {
  public:
    explicit ScriptDialog(int templateId = kTemplate) : Dialog(templateId) {}
    std::function<void(ScriptDialog&)> onInit;
    std::function<void(ScriptDialog&, int)> onTimer;
    std::function<bool(ScriptDialog&, unsigned)> onPosted;
    std::vector<TrayEvent> trayEvents;
    std::vector<Mouse> mouse;
    int ticks = 0;
    int destroyed = 0;
    std::vector<int> commands;

    Window& w() { return window(); }
    bool OnInitDialog() override {
        if (onInit) onInit(*this);
        return true;
    }
    void OnTimer(int id) override {
        ++ticks;
        if (onTimer) onTimer(*this, id);
    }
    void OnCommand(int id) override { commands.push_back(id); }
    bool OnPosted(unsigned code) override { return onPosted && onPosted(*this, code); }
    void OnTrayEvent(TrayEvent event) override { trayEvents.push_back(event); }
    void OnMouse(Mouse event, int, int) override { mouse.push_back(event); }
    void OnDestroy() override { ++destroyed; }
};

class UiHostTest : public ::testing::Test {
  protected:
    UiHostTest() : host(GetModuleHandleA(nullptr)) {
        host.SetTemplate(kTemplate, TestTemplate("Ui Host Test Window", false));
    }
    Win32Host host;
};

TEST_F(UiHostTest, ModalDialogFromTemplateRunsItsTimerAndControls) {
    ScriptDialog dialog;
    std::string text, title, item;
    int listCount = -1;
    dialog.onInit = [&](ScriptDialog& d) {
        d.w().SetText(kText, "first line");
        d.w().ListAdd(kList, "alpha");
        d.w().ListAdd(kList, "beta");
        d.w().SetTimer(1, 10);
    };
    dialog.onTimer = [&](ScriptDialog& d, int id) {
        EXPECT_EQ(1, id);
        if (d.ticks < 3) return;
        text = d.w().GetText(kText);
        title = d.w().GetTitle();
        listCount = d.w().ListCount(kList);
        item = d.w().ListItem(kList, 1);
        d.w().KillTimer(1);
        d.w().End(7);
    };
    EXPECT_EQ(7, host.RunModal(dialog));
    EXPECT_EQ(3, dialog.ticks);
    EXPECT_EQ("first line", text);
    EXPECT_EQ("Ui Host Test Window", title);
    EXPECT_EQ(2, listCount);
    EXPECT_EQ("beta", item);
    EXPECT_EQ(1, dialog.destroyed);
    EXPECT_FALSE(dialog.IsOpen());
}

TEST_F(UiHostTest, MinimisedWindowOffersItsIconForDragging) {
    ScriptDialog dialog;
    const HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
    LRESULT dragIcon = 0;
    BOOL iconic = FALSE;
    dialog.onInit = [&](ScriptDialog& d) { d.w().SetTimer(1, 10); };
    dialog.onTimer = [&](ScriptDialog& d, int) {
        const HWND hwnd = FindWindowA(nullptr, "Ui Host Test Window");
        SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        ShowWindow(hwnd, SW_MINIMIZE);
        iconic = IsIconic(hwnd);
        UpdateWindow(hwnd);  // paints the icon; must not disturb the dialog
        dragIcon = SendMessageA(hwnd, WM_QUERYDRAGICON, 0, 0);
        d.w().KillTimer(1);
        d.w().End(1);
    };
    EXPECT_EQ(1, host.RunModal(dialog));
    EXPECT_TRUE(iconic);
    EXPECT_EQ(reinterpret_cast<LRESULT>(icon), dragIcon);
}

TEST_F(UiHostTest, TopLevelWindowsAreFoundByTheirExactTitle) {
    ScriptDialog dialog;
    bool exact = false, prefix = true, otherCase = true, activated = false;
    dialog.onInit = [](ScriptDialog& d) { d.w().SetTimer(1, 10); };
    dialog.onTimer = [&](ScriptDialog& d, int) {
        exact = host.FindTopLevelWindow("Ui Host Test Window");
        prefix = host.FindTopLevelWindow("Ui Host Test");
        otherCase = host.FindTopLevelWindow("ui host test window");
        activated = host.ActivateTopLevelWindow("Ui Host Test Window");
        d.w().End(1);
    };
    host.RunModal(dialog);
    EXPECT_TRUE(exact);
    EXPECT_FALSE(prefix);
    EXPECT_FALSE(otherCase);
    EXPECT_TRUE(activated);
    EXPECT_FALSE(host.FindTopLevelWindow("Ui Host Test Window"));  // gone with the dialog
    EXPECT_FALSE(host.FindTopLevelWindow(""));
}

TEST_F(UiHostTest, ModelessDialogLivesInsideAModalOne) {
    host.SetTemplate(kTemplate + 1, TestTemplate("Ui Host Modeless", true));
    ScriptDialog modal;
    ScriptDialog modeless(kTemplate + 1);
    bool opened = false, visible = false;
    modeless.onInit = [](ScriptDialog& d) { d.w().SetTimer(2, 10); };
    modeless.onTimer = [&](ScriptDialog& d, int) {
        if (d.ticks == 2) {
            visible = d.w().IsVisible();
            host.CloseModeless(d);
        }
    };
    modal.onInit = [&](ScriptDialog& d) {
        opened = host.OpenModeless(modeless);
        d.w().SetTimer(1, 20);
    };
    modal.onTimer = [&](ScriptDialog& d, int) {
        if (!modeless.IsOpen()) d.w().End(1);
    };
    host.RunModal(modal);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(visible);
    EXPECT_EQ(2, modeless.ticks);
    EXPECT_EQ(1, modeless.destroyed);
    EXPECT_FALSE(modeless.IsOpen());
}

TEST_F(UiHostTest, TrayEventsAndPostedCodesReachTheDialogAndHandlersCannotThrowOut) {
    ScriptDialog dialog;
    std::unique_ptr<Tray> tray;
    UINT restart = 0;
    std::vector<unsigned> posted;
    dialog.onInit = [&](ScriptDialog& d) {
        tray = host.CreateTray(d, WM_USER + 100);
        restart = static_cast<Win32Tray*>(tray.get())->RestartMessage();
        d.w().SetTimer(1, 10);
    };
    dialog.onPosted = [&](ScriptDialog&, unsigned code) {
        posted.push_back(code);
        return true;
    };
    dialog.onTimer = [&](ScriptDialog& d, int) {
        if (d.ticks == 1) {
            const HWND hwnd = host.WindowOf(d);
            PostMessageA(hwnd, WM_USER + 100, 5, WM_RBUTTONDOWN);
            PostMessageA(hwnd, WM_USER + 100, 5, WM_MOUSEMOVE);  // no event
            PostMessageA(hwnd, WM_USER + 100, 5, WM_LBUTTONDBLCLK);
            PostMessageA(hwnd, restart, 0, 0);
            d.w().MakePoster(7)();
            throw std::runtime_error("must stay inside the window layer");
        }
        d.w().End(3);
    };
    EXPECT_EQ(3, host.RunModal(dialog));
    EXPECT_EQ((std::vector<TrayEvent>{TrayEvent::RightClick, TrayEvent::DoubleClick,
                                      TrayEvent::Recreated}),
              dialog.trayEvents);
    EXPECT_EQ(std::vector<unsigned>{7}, posted);
}

TEST_F(UiHostTest, CloseBoxAndMissingResources) {
    ScriptDialog dialog;  // Dialog::OnClose ends with 2
    dialog.onInit = [&](ScriptDialog& d) { PostMessageA(host.WindowOf(d), WM_CLOSE, 0, 0); };
    EXPECT_EQ(2, host.RunModal(dialog));

    ScriptDialog missing(4242);
    EXPECT_EQ(-1, host.RunModal(missing));
    EXPECT_EQ("", host.LoadString(4242));
}

TEST_F(UiHostTest, MessageFilterSeesMessagesOfTheModalLoop) {
    int filtered = 0;
    host.SetMessageFilter([&](MSG& message) {
        if (message.message == WM_APP + 7) {
            ++filtered;
            return true;  // consumed: the dialog never sees it
        }
        return false;
    });
    ScriptDialog dialog;
    bool reached = false;
    dialog.onPosted = [&](ScriptDialog&, unsigned) {
        reached = true;
        return false;
    };
    dialog.onInit = [&](ScriptDialog& d) {
        PostMessageA(host.WindowOf(d), WM_APP + 7, 0, 0);
        d.w().SetTimer(1, 30);
    };
    dialog.onTimer = [](ScriptDialog& d, int) { d.w().End(1); };
    host.RunModal(dialog);
    EXPECT_EQ(1, filtered);
    EXPECT_FALSE(reached);
}

TEST_F(UiHostTest, BusyIndicationCapturesTheMouseAndMouseMessagesCanBeLetThrough) {
    ScriptDialog dialog;
    HWND captured = nullptr, afterInner = nullptr, afterOuter = reinterpret_cast<HWND>(1);
    dialog.onInit = [](ScriptDialog& d) { d.w().SetTimer(1, 10); };
    dialog.onTimer = [&](ScriptDialog& d, int) {
        const HWND hwnd = host.WindowOf(d);
        host.BeginBusy();
        host.BeginBusy();
        captured = GetCapture();
        host.EndBusy();
        afterInner = GetCapture();
        host.EndBusy();
        host.EndBusy();  // unbalanced: ignored
        afterOuter = GetCapture();
        d.mouse.clear();
        PostMessageA(hwnd, WM_USER + 1, 0, 0);  // not a mouse message: stays queued
        PostMessageA(hwnd, WM_LBUTTONUP, 0, 0);
        host.DispatchOneMouseMessage();
        d.w().End(1);
    };
    host.RunModal(dialog);
    EXPECT_EQ(captured, afterInner);
    EXPECT_NE(nullptr, captured);
    EXPECT_EQ(nullptr, afterOuter);
    ASSERT_FALSE(dialog.mouse.empty());
    EXPECT_EQ(Mouse::LeftUp, dialog.mouse.front());
}

TEST_F(UiHostTest, TrayIconOfAnOpenDialog) {
    ScriptDialog dialog;
    bool added = false, modified = false, removed = false, removedAgain = true;
    unsigned restart = 0;
    dialog.onInit = [&](ScriptDialog& d) { d.w().SetTimer(1, 10); };
    dialog.onTimer = [&](ScriptDialog& d, int) {
        std::unique_ptr<Tray> tray = host.CreateTray(d, WM_USER + 100);
        ASSERT_NE(nullptr, tray);
        restart = static_cast<Win32Tray*>(tray.get())->RestartMessage();
        added = tray->Add(129, 0, std::string(100, 't'));
        modified = tray->Modify(129, 0, "Out of Range of Master");
        removed = tray->Remove(129);
        removedAgain = tray->Remove(129);
        d.w().End(1);
    };
    host.RunModal(dialog);
    EXPECT_GE(restart, 0xC000u);  // a registered message
    EXPECT_TRUE(added);
    EXPECT_TRUE(modified);
    EXPECT_TRUE(removed);
    EXPECT_FALSE(removedAgain);
}

}  // namespace
}  // namespace odr::ui::win32
