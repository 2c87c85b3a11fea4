// The window layer's controls under Wine, on a real dialog with one control of each kind:
// notifications as dialogs receive them, the control views, canvas, image buttons, mouse
// capture and cursor, timers, pending messages and posts from another thread.
#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ui/Dialog.h"
#include "ui/win32/Win32Host.h"
#include "windows/DialogTemplate.h"

namespace odr::ui::win32 {
namespace {

constexpr int kTemplate = 9101;
constexpr int kDrop = 2001;
constexpr int kCheck = 2002;
constexpr int kRadioA = 2003;  // first of the group
constexpr int kRadioB = 2004;
constexpr int kRadioC = 2010;  // same group, id out of order
constexpr int kEdit = 2005;    // starts the next group
constexpr int kList = 2006;
constexpr int kProgress = 2007;
constexpr int kTrack = 2008;
constexpr int kScroll = 2009;
constexpr int kGroup = 2011;
constexpr int kImage = 2012;

std::vector<uint8_t> ControlsTemplate() {
    using T = odr::test::DialogTemplate;
    T t("Ui Controls Test", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE, 13,
        320, 200);
    t.Item(CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 5, 5, 60, 80, kDrop, T::kComboBox, "");
    t.Item(BS_AUTOCHECKBOX | WS_TABSTOP, 70, 5, 50, 10, kCheck, T::kButton, "Check");
    t.Item(BS_AUTORADIOBUTTON | WS_GROUP, 125, 5, 40, 10, kRadioA, T::kButton, "A");
    t.Item(BS_AUTORADIOBUTTON, 165, 5, 40, 10, kRadioB, T::kButton, "B");
    t.Item(BS_AUTORADIOBUTTON, 205, 5, 40, 10, kRadioC, T::kButton, "C");
    t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_GROUP | WS_TABSTOP, 250, 5, 60, 12, kEdit, T::kEdit, "");
    t.Item(LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER, 5, 25, 200, 60, kList,
           WC_LISTVIEWA, "");
    t.Item(0, 5, 90, 100, 10, kProgress, PROGRESS_CLASSA, "");
    t.Item(TBS_HORZ, 110, 90, 100, 15, kTrack, TRACKBAR_CLASSA, "");
    t.Item(SBS_VERT, 210, 25, 10, 60, kScroll, T::kScrollBar, "");
    t.Item(BS_GROUPBOX | WS_GROUP, 5, 110, 150, 70, kGroup, T::kButton, "Graph");
    t.Item(BS_PUSHBUTTON, 230, 25, 20, 20, kImage, T::kButton, "Dl");
    t.Item(BS_DEFPUSHBUTTON, 260, 180, 40, 14, IDOK, T::kButton, "OK");
    return t.bytes();
}

std::string NotifyName(Notify code) {
    switch (code) {
        case Notify::Clicked:
            return "clicked";
        case Notify::DoubleClicked:
            return "double";
        case Notify::SelectionChanged:
            return "selection";
        case Notify::EditChanged:
            return "edit";
        case Notify::FocusGained:
            return "focus";
        case Notify::FocusLost:
            return "blur";
    }
    return "?";
}

// Records every handler call as a line of text; `step` runs at each tick of timer 1.
class RecordingDialog : public Dialog {
  public:
    RecordingDialog() : Dialog(kTemplate) {}
    std::function<void(RecordingDialog&)> step;
    std::vector<std::string> events;
    int ticks = 0;
    std::vector<int> timerIds;
    int paints = 0;

    Window& w() { return window(); }
    void Done() { window().End(1); }
    bool Saw(const std::string& event) const {
        return std::find(events.begin(), events.end(), event) != events.end();
    }
    int Count(const std::string& event) const {
        return static_cast<int>(std::count(events.begin(), events.end(), event));
    }

    bool OnInitDialog() override {
        window().SetTimer(1, 10);
        return true;
    }
    void OnTimer(int id) override {
        timerIds.push_back(id);
        if (id != 1) return;
        ++ticks;
        if (step) step(*this);
    }
    void OnCommand(int id) override { events.push_back("command " + std::to_string(id)); }
    void OnNotify(int id, Notify code) override {
        events.push_back("notify " + std::to_string(id) + " " + NotifyName(code));
        Dialog::OnNotify(id, code);
    }
    void OnAccelerator(int id) override { events.push_back("accel " + std::to_string(id)); }
    void OnScroll(int id, ScrollCode code, int thumb) override {
        events.push_back("scroll " + std::to_string(id) + " " +
                         std::to_string(static_cast<int>(code)) + " " + std::to_string(thumb));
    }
    void OnMouse(Mouse event, int x, int y) override {
        events.push_back("mouse " + std::to_string(static_cast<int>(event)) + " " +
                         std::to_string(x) + " " + std::to_string(y));
    }
    void OnPaint() override { ++paints; }
    void OnKeyDown(int key) override { events.push_back("keydown " + std::to_string(key)); }
    bool OnPosted(unsigned code) override {
        events.push_back("posted " + std::to_string(code));
        return true;
    }
};

class UiControlsTest : public ::testing::Test {
  protected:
    UiControlsTest() : host(GetModuleHandleA(nullptr)) {
        host.SetTemplate(kTemplate, ControlsTemplate());
    }
    // Runs the dialog; `step` acts at each tick until it calls Done(). A dialog that is still
    // open after 300 ticks fails the test.
    void Run(RecordingDialog& dialog) {
        auto step = dialog.step;
        dialog.step = [step](RecordingDialog& d) {
            if (d.ticks > 300) {
                ADD_FAILURE() << "dialog did not finish";
                d.Done();
                return;
            }
            step(d);
        };
        EXPECT_EQ(1, host.RunModal(dialog));
    }
    HWND Hwnd(RecordingDialog& d) { return host.WindowOf(d); }
    HWND Item(RecordingDialog& d, int id) { return GetDlgItem(host.WindowOf(d), id); }

    Win32Host host;
};

TEST_F(UiControlsTest, ControlNotificationsAreDecodedAndAcceleratorsKeptApart) {
    RecordingDialog d;
    ACCEL entry = {FVIRTKEY, VK_F5, kDrop};
    HACCEL table = CreateAcceleratorTableA(&entry, 1);
    d.step = [&](RecordingDialog& d) {
        if (d.ticks > 1) return d.Done();
        DropList& drop = d.w().GetDropList(kDrop);
        drop.Add("0");
        drop.Add("1");
        drop.Select(0);
        // The user picks the next item with the keyboard.
        SendMessageA(Item(d, kDrop), WM_KEYDOWN, VK_DOWN, 0);
        // An accelerator whose command has the drop-down list's id.
        MSG key = {Hwnd(d), WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
        EXPECT_NE(0, TranslateAcceleratorA(Hwnd(d), table, &key));
        SendMessageA(Item(d, kCheck), BM_CLICK, 0, 0);
        SetWindowTextA(Item(d, kEdit), "typed");
        // Menu-like command without a control (the dialog manager's Enter with no button).
        SendMessageA(Hwnd(d), WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    };
    Run(d);
    DestroyAcceleratorTable(table);
    EXPECT_EQ(1, d.Count("notify 2001 selection"));
    EXPECT_EQ(1, d.Count("accel 2001"));
    EXPECT_FALSE(d.Saw("command 2001"));
    EXPECT_TRUE(d.Saw("notify 2002 clicked"));
    EXPECT_TRUE(d.Saw("command 2002"));  // a click goes on to OnCommand
    EXPECT_TRUE(d.Saw("notify 2005 edit"));
    EXPECT_TRUE(d.Saw("command 2"));
}

TEST_F(UiControlsTest, DropListFillsSelectsByIndexOrExactTextAndReads) {
    RecordingDialog d;
    d.step = [&](RecordingDialog& d) {
        DropList& drop = d.w().GetDropList(kDrop);
        EXPECT_EQ(&drop, &d.w().GetDropList(kDrop));  // one view per control
        for (const char* text : {"10", "1", "Normal", "normal"}) drop.Add(text);
        EXPECT_EQ(4, drop.Count());
        EXPECT_EQ("Normal", drop.Item(2));
        EXPECT_EQ("", drop.Item(4));
        EXPECT_EQ(-1, drop.Selection());
        EXPECT_EQ("", drop.SelectedText());

        EXPECT_TRUE(drop.SelectText("1"));  // not the prefix match "10"
        EXPECT_EQ(1, drop.Selection());
        EXPECT_TRUE(drop.SelectText("normal"));  // case counts
        EXPECT_EQ(3, drop.Selection());
        EXPECT_FALSE(drop.SelectText("Light"));  // no match: selection stays
        EXPECT_EQ(3, drop.Selection());

        EXPECT_TRUE(drop.Select(2));
        EXPECT_EQ("Normal", drop.SelectedText());
        EXPECT_FALSE(drop.Select(-1));  // outside the list: no selection
        EXPECT_EQ(-1, drop.Selection());
        EXPECT_TRUE(drop.Select(0));
        EXPECT_FALSE(drop.Select(4));
        EXPECT_EQ(-1, drop.Selection());

        drop.Clear();
        EXPECT_EQ(0, drop.Count());
        d.Done();
    };
    Run(d);
}

TEST_F(UiControlsTest, CheckBoxesRadioGroupsVisibilityAndTextLimit) {
    RecordingDialog d;
    d.step = [&](RecordingDialog& d) {
        Window& w = d.w();
        if (d.ticks == 1) {
            w.SetCheck(kCheck, true);
            EXPECT_TRUE(w.IsChecked(kCheck));
            w.SetCheck(kCheck, false);
            EXPECT_FALSE(w.IsChecked(kCheck));

            EXPECT_EQ(-1, w.RadioIndex(kRadioA));
            w.SetRadioIndex(kRadioA, 2);  // by position: the third button, whatever its id
            EXPECT_TRUE(w.IsChecked(kRadioC));
            EXPECT_FALSE(w.IsChecked(kRadioA));
            EXPECT_EQ(2, w.RadioIndex(kRadioA));
            w.SetRadioIndex(kRadioA, 3);  // past the group: the edit is not part of it
            EXPECT_EQ(-1, w.RadioIndex(kRadioA));
            w.SetRadioIndex(kRadioA, 0);
            SendMessageA(Item(d, kRadioB), BM_CLICK, 0, 0);  // the user's click moves it
            EXPECT_EQ(1, w.RadioIndex(kRadioA));
            w.SetRadioIndex(kRadioA, -1);
            EXPECT_EQ(-1, w.RadioIndex(kRadioA));

            w.ShowControl(kImage, false);
            EXPECT_FALSE(w.IsControlVisible(kImage));
            EXPECT_FALSE(IsWindowVisible(Item(d, kImage)));
            w.ShowControl(kImage, true);
            EXPECT_TRUE(w.IsControlVisible(kImage));

            w.LimitText(kEdit, 5);
            for (char c : std::string("abcdefgh")) SendMessageA(Item(d, kEdit), WM_CHAR, c, 0);
            EXPECT_EQ("abcde", w.GetText(kEdit));
            return;
        }
        d.Done();
    };
    Run(d);
    EXPECT_TRUE(d.Saw("notify 2004 clicked"));
}

TEST_F(UiControlsTest, ListViewRowsCarryReferencesAndReportClicks) {
    RecordingDialog d;
    int row0 = -1;
    d.step = [&](RecordingDialog& d) {
        ListView& list = d.w().GetListView(kList);
        const HWND hwnd = Item(d, kList);
        if (d.ticks == 1) {
            list.AddColumn("Address", 96);
            list.AddColumn("Domain", 48);
            list.AddColumn("Name", 99);
            EXPECT_EQ(3, list.ColumnCount());
            EXPECT_EQ(48, ListView_GetColumnWidth(hwnd, 1));
            row0 = list.InsertRow(0, {"00a0f8123456", "3", "MASTER"}, 1001);
            EXPECT_EQ(1, list.InsertRow(99, {"00a0f8abcdef"}, 1002));  // appended
            list.SetCell(1, 2, std::string(300, 'n'));                 // longer than a buffer
            EXPECT_EQ(0, row0);
            EXPECT_EQ(2, list.RowCount());
            EXPECT_EQ("MASTER", list.Cell(0, 2));
            EXPECT_EQ("", list.Cell(1, 1));
            EXPECT_EQ(std::string(300, 'n'), list.Cell(1, 2));
            EXPECT_EQ(1002, list.RowRef(1));
            EXPECT_EQ(0, list.RowRef(5));
            list.SetSelected(1, true);
            EXPECT_TRUE(list.IsSelected(1));
            list.SetSelected(1, false);
            EXPECT_FALSE(list.IsSelected(1));

            // The user clicks the first row, then double-clicks it.
            RECT r = {LVIR_LABEL, 0, 0, 0};
            SendMessageA(hwnd, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
            const LPARAM at = MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2);
            PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
            PostMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
            PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
            return;
        }
        if (d.ticks < 5) return;
        EXPECT_TRUE(list.IsSelected(0));
        list.Clear();
        EXPECT_EQ(0, list.RowCount());
        d.Done();
    };
    Run(d);
    EXPECT_TRUE(d.Saw("notify 2006 clicked"));
    EXPECT_TRUE(d.Saw("command 2006"));
    EXPECT_TRUE(d.Saw("notify 2006 double"));
    EXPECT_TRUE(d.Saw("notify 2006 focus"));
}

TEST_F(UiControlsTest, ProgressBarTrackbarAndScrollBarReportTheirCodes) {
    RecordingDialog d;
    d.step = [&](RecordingDialog& d) {
        ProgressBar& bar = d.w().GetProgressBar(kProgress);
        bar.SetRange(0, 100);
        bar.SetPosition(40);
        EXPECT_EQ(40, bar.Position());
        bar.SetPosition(150);
        EXPECT_EQ(100, bar.Position());

        Trackbar& slider = d.w().GetTrackbar(kTrack);
        slider.SetRange(60, 1500);
        for (int tick = 70; tick < 1500; tick += 10) slider.AddTick(tick);
        std::vector<int> ticks = slider.Ticks();
        std::sort(ticks.begin(), ticks.end());
        ASSERT_EQ(143u, ticks.size());
        EXPECT_EQ(70, ticks.front());
        EXPECT_EQ(1490, ticks.back());
        slider.ClearTicks();
        EXPECT_TRUE(slider.Ticks().empty());
        slider.SetPosition(2000);  // kept inside the range
        EXPECT_EQ(1500, slider.Position());
        SendMessageA(Item(d, kTrack), WM_KEYDOWN, VK_LEFT, 0);
        EXPECT_EQ(1499, slider.Position());

        ScrollBar& scroll = d.w().GetScrollBar(kScroll);
        scroll.SetRange(0, 20);
        scroll.SetPosition(5);
        EXPECT_EQ(5, scroll.Position());
        SendMessageA(Item(d, kScroll), WM_KEYDOWN, VK_DOWN, 0);
        // A thumb position as the bar sends it when the user lets the thumb go.
        SendMessageA(Hwnd(d), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 17),
                     reinterpret_cast<LPARAM>(Item(d, kScroll)));
        // The window's own scroll bars are no control's.
        SendMessageA(Hwnd(d), WM_VSCROLL, SB_LINEDOWN, 0);
        d.Done();
    };
    Run(d);
    EXPECT_TRUE(d.Saw("scroll 2008 0 0"));  // trackbar line up (left key)
    EXPECT_TRUE(d.Saw("scroll 2009 1 0"));  // scroll bar line down
    EXPECT_TRUE(d.Saw("scroll 2009 4 17"));
    EXPECT_EQ(0, d.Count("scroll 0 1 0"));
}

COLORREF PixelOf(HWND hwnd, int x, int y) {
    HDC dc = GetDC(hwnd);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return pixel;
}

TEST_F(UiControlsTest, CanvasDrawsOnAControlAndInvalidationChoosesTheErase) {
    RecordingDialog d;
    COLORREF filled = 0, outline = 0, inside = 0, line = 0, lineEnd = 0;
    COLORREF kept = 0, erased = 0;
    int width = 0, height = 0, paintsAfterInvalidate = 0;
    RECT client = {};
    d.step = [&](RecordingDialog& d) {
        const HWND group = Item(d, kGroup);
        {
            std::unique_ptr<Canvas> canvas = d.w().OpenCanvas(kGroup);
            width = canvas->Width();
            height = canvas->Height();
            canvas->Fill({10, 20, 30, 40}, {0, 255, 0});
            canvas->Rectangle({40, 20, 60, 40}, {0, 0, 128});
            canvas->Line(70, 20, 70, 30);
        }
        GetClientRect(group, &client);
        filled = PixelOf(group, 29, 39);  // last pixel inside
        outline = PixelOf(group, 40, 30);
        inside = PixelOf(group, 50, 30);
        line = PixelOf(group, 70, 29);
        lineEnd = PixelOf(group, 70, 30);  // not drawn

        // On the dialog itself, where no control lies: a repaint without erase keeps the
        // drawing, one with erase clears it.
        const HWND dialog = Hwnd(d);
        RECT free = {180, 130, 190, 140};
        MapDialogRect(dialog, &free);
        d.w().OpenCanvas(0)->Fill({free.left, free.top, free.right, free.bottom}, {255, 0, 0});
        const int before = d.paints;
        d.w().InvalidateControl(0, false);
        UpdateWindow(dialog);
        paintsAfterInvalidate = d.paints - before;
        kept = PixelOf(dialog, free.left + 1, free.top + 1);
        d.w().InvalidateControl(0, true);
        UpdateWindow(dialog);
        erased = PixelOf(dialog, free.left + 1, free.top + 1);
        d.Done();
    };
    Run(d);
    EXPECT_EQ(client.right, width);
    EXPECT_EQ(client.bottom, height);
    EXPECT_EQ(RGB(0, 255, 0), filled);
    EXPECT_EQ(RGB(0, 0, 0), outline);
    EXPECT_EQ(RGB(0, 0, 128), inside);
    EXPECT_EQ(RGB(0, 0, 0), line);
    EXPECT_NE(RGB(0, 0, 0), lineEnd);
    EXPECT_EQ(1, paintsAfterInvalidate);
    EXPECT_EQ(RGB(255, 0, 0), kept);
    EXPECT_NE(RGB(255, 0, 0), erased);
}

HBITMAP SolidBitmap(COLORREF color) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(color);
    RECT r = {0, 0, 8, 8};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

TEST_F(UiControlsTest, ImageButtonShowsItsUpAndPressedBitmaps) {
    host.SetBitmap("DlU", SolidBitmap(RGB(0, 255, 0)));
    host.SetBitmap("DlD", SolidBitmap(RGB(255, 0, 0)));
    RecordingDialog d;
    bool set = false, missing = true;
    COLORREF up = 0, pressed = 0;
    LONG_PTR checkType = 0;
    d.step = [&](RecordingDialog& d) {
        const HWND button = Item(d, kImage);
        set = d.w().SetButtonImages(kImage, "DlU", "DlD");
        UpdateWindow(button);
        up = PixelOf(button, 4, 4);
        SendMessageA(button, BM_SETSTATE, TRUE, 0);
        UpdateWindow(button);
        pressed = PixelOf(button, 4, 4);
        SendMessageA(button, BM_SETSTATE, FALSE, 0);
        missing = d.w().SetButtonImages(kCheck, "NoSuchU", "DlD");
        checkType = GetWindowLongPtrA(Item(d, kCheck), GWL_STYLE) & BS_TYPEMASK;
        d.Done();
    };
    Run(d);
    EXPECT_TRUE(set);
    EXPECT_EQ(RGB(0, 255, 0), up);
    EXPECT_EQ(RGB(255, 0, 0), pressed);
    EXPECT_FALSE(missing);
    EXPECT_EQ(BS_AUTOCHECKBOX, checkType);  // left as it was
}

TEST_F(UiControlsTest, MouseCaptureWaitCursorAndTheDialogsOwnMouseMessages) {
    RecordingDialog d;
    bool captured = false, reported = false, releasedAll = false;
    HCURSOR waiting = nullptr, arrow = nullptr;
    d.step = [&](RecordingDialog& d) {
        if (d.ticks == 1) {
            d.w().CaptureMouse();
            captured = GetCapture() == Hwnd(d);
            reported = d.w().HasMouseCapture();
            d.w().SetWaitCursor(true);
            waiting = GetCursor();
            d.w().SetWaitCursor(false);
            arrow = GetCursor();
            d.w().ReleaseMouse();
            d.w().ReleaseMouse();  // twice: nothing happens
            releasedAll = GetCapture() == nullptr && !d.w().HasMouseCapture();
            PostMessageA(Hwnd(d), WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(10, 20));
            PostMessageA(Hwnd(d), WM_MOUSEMOVE, 0, MAKELPARAM(-5, 3));
            return;
        }
        d.Done();
    };
    Run(d);
    EXPECT_TRUE(captured);
    EXPECT_TRUE(reported);
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)), waiting);
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)), arrow);
    EXPECT_TRUE(releasedAll);
    EXPECT_TRUE(d.Saw("mouse 6 10 20"));  // right double-click
    EXPECT_TRUE(d.Saw("mouse 0 -5 3"));
}

TEST_F(UiControlsTest, TwoTimersRunSideBySide) {
    RecordingDialog d;
    int secondAfterKill = -1;
    d.step = [&](RecordingDialog& d) {
        if (d.ticks == 1) d.w().SetTimer(2, 10);
        const int second = static_cast<int>(std::count(d.timerIds.begin(), d.timerIds.end(), 2));
        if (d.ticks == 6) {
            d.w().KillTimer(2);
            secondAfterKill = second;
        }
        if (d.ticks == 12) {
            EXPECT_EQ(secondAfterKill, second);
            d.Done();
        }
    };
    Run(d);
    EXPECT_GE(secondAfterKill, 2);
}

TEST_F(UiControlsTest, PendingMessagesArePeekedDispatchedAndRemoved) {
    RecordingDialog d;
    int paintDispatches = 0, paintsSeen = 0;
    d.step = [&](RecordingDialog& d) {
        Window& w = d.w();
        const HWND hwnd = Hwnd(d);
        if (d.ticks > 1) {
            if (d.Saw("posted 1")) d.Done();
            return;
        }
        // Whatever the display queued for the new window goes first.
        while (w.DispatchPending(Pending::Mouse, true)) {
        }
        int key = 0;
        EXPECT_FALSE(w.PeekPending(Pending::KeyDown, &key));

        PostMessageA(hwnd, WM_APP + 1, 0, 0);  // neither mouse nor key: stays for the loop
        PostMessageA(hwnd, WM_KEYDOWN, VK_F1, 0);
        EXPECT_FALSE(w.PeekPending(Pending::Mouse, nullptr));
        EXPECT_TRUE(w.PeekPending(Pending::KeyDown, &key));
        EXPECT_EQ(kKeyF1, key);
        EXPECT_TRUE(w.DispatchPending(Pending::KeyDown, false));  // kept in the queue
        EXPECT_TRUE(w.PeekPending(Pending::KeyDown, nullptr));
        EXPECT_TRUE(w.DispatchPending(Pending::KeyDown, true));
        EXPECT_FALSE(w.PeekPending(Pending::KeyDown, nullptr));

        PostMessageA(hwnd, WM_MBUTTONDBLCLK, 0, MAKELPARAM(1, 2));
        EXPECT_TRUE(w.PeekPending(Pending::Mouse, nullptr));
        EXPECT_TRUE(w.DispatchPending(Pending::Mouse, true));
        EXPECT_FALSE(w.PeekPending(Pending::Mouse, nullptr));

        // The dialog's paint, and its controls' (they share its invalid area).
        UpdateWindow(hwnd);
        const int paints = d.paints;
        w.InvalidateControl(0, false);
        EXPECT_TRUE(w.PeekPending(Pending::Paint, nullptr));
        while (paintDispatches < 50 && w.DispatchPending(Pending::Paint, true)) ++paintDispatches;
        paintsSeen = d.paints - paints;
        EXPECT_FALSE(w.PeekPending(Pending::Paint, nullptr));
    };
    Run(d);
    EXPECT_EQ(2, d.Count("keydown 112"));
    EXPECT_TRUE(d.Saw("mouse 9 1 2"));
    EXPECT_EQ(1, paintsSeen);
    EXPECT_LT(paintDispatches, 50);
    EXPECT_EQ(1, d.Count("posted 1"));
}

TEST_F(UiControlsTest, PosterReachesTheWindowFromAnotherThreadAndIsHarmlessLater) {
    RecordingDialog d;
    Poster poster;
    d.step = [&](RecordingDialog& d) {
        if (d.ticks == 1) {
            poster = d.w().MakePoster(10);
            std::thread worker(poster);
            worker.join();
            return;
        }
        if (d.Saw("posted 10")) d.Done();
    };
    Run(d);
    EXPECT_EQ(1, d.Count("posted 10"));
    std::thread late(poster);  // the window is gone
    late.join();
    EXPECT_EQ(1, d.Count("posted 10"));
}

}  // namespace
}  // namespace odr::ui::win32
