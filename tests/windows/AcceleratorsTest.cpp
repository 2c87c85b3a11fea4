// odrcfg's accelerator table as the Win32 host translates it for a target dialog, with real
// keystrokes under Wine: a target gets only the entries it handles, so the Master List's
// own mnemonics (Alt+T, Alt+U, Alt+V) work, and a window opened over the target keeps its
// keys (Alt+N in Change Domain).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "ui/Dialog.h"
#include "ui/win32/Win32Accelerators.h"
#include "ui/win32/Win32Host.h"

namespace odr::ui::win32 {
namespace {

constexpr unsigned kTickMs = 50;
// A window that has not seen its keys by then gives up.
constexpr int kLastTick = 60;

// Alt+letter as the keyboard sends it.
void PressAlt(char key) {
    INPUT input[4] = {};
    for (INPUT& i : input) i.type = INPUT_KEYBOARD;
    input[0].ki.wVk = VK_MENU;
    input[1].ki.wVk = WORD(key);
    input[2].ki.wVk = WORD(key);
    input[2].ki.dwFlags = KEYEVENTF_KEYUP;
    input[3].ki.wVk = VK_MENU;
    input[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, input, sizeof(INPUT));
}

// A dialog on one of odrcfg's templates that handles the accelerators `handled` and
// records what reaches it; `onTick` runs at every tick of its timer.
class KeyDialog : public Dialog {
  public:
    KeyDialog(int templateId, std::vector<int> handled)
        : Dialog(templateId), handled_(std::move(handled)) {}
    std::function<void(KeyDialog&)> onTick;
    std::vector<std::string> events;
    int ticks = 0;
    int endOnCommand = 0;  // a command that closes the window, 0: none

    Window& w() { return window(); }
    bool Has(const std::string& event) const {
        return std::find(events.begin(), events.end(), event) != events.end();
    }
    bool OnInitDialog() override {
        window().SetTimer(1, kTickMs);
        return true;
    }
    void OnTimer(int) override {
        ++ticks;
        if (ticks == 1) SetForegroundWindow(GetActiveWindow());
        if (onTick) onTick(*this);
        if (ticks >= kLastTick) window().End(-1);
    }
    bool HandlesAccelerator(int id) const override {
        return std::find(handled_.begin(), handled_.end(), id) != handled_.end();
    }
    void OnAccelerator(int id) override { events.push_back("accel " + std::to_string(id)); }
    void OnCommand(int id) override {
        events.push_back("command " + std::to_string(id));
        if (id == endOnCommand) window().End(id);
    }

  private:
    std::vector<int> handled_;
};

class AcceleratorsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        module_ = LoadLibraryExA(ODR_ODRCFG_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr) << ODR_ODRCFG_EXE;
        host_ = std::make_unique<Win32Host>(module_);
        accelerators_ = std::make_unique<Win32Accelerators>(*host_);
        ASSERT_TRUE(accelerators_->Load(module_, IDR_ACCELERATOR));
        host_->SetMessageFilter([this](MSG& message) {
            return target_ != nullptr && accelerators_->Translate(*target_, message);
        });
    }
    void TearDown() override {
        accelerators_.reset();
        host_.reset();
        if (module_) FreeLibrary(module_);
    }
    HMODULE module_ = nullptr;
    std::unique_ptr<Win32Host> host_;
    std::unique_ptr<Win32Accelerators> accelerators_;
    const Dialog* target_ = nullptr;
};

TEST_F(AcceleratorsTest, TheMasterListGetsAltDAndKeepsItsOwnMnemonics) {
    KeyDialog list(IDD_MASTER_LIST, {IDC_MASTER_DOMAIN_LIST});
    KeyDialog question(IDD_CHANGE_DOMAIN, {});
    question.endOnCommand = IDCANCEL;
    target_ = &list;
    int questionResult = 0;
    std::vector<std::string> beforeQuestion;
    list.onTick = [&](KeyDialog& d) {
        switch (d.ticks) {
            case 1:
                for (int id : {IDC_ML_USE_DOMAIN, IDC_ML_TEST_LINK, IDC_ML_VIEW_CELL}) {
                    d.w().Enable(id, true);
                }
                d.w().SetFocus(IDC_ML_LIST);
                PressAlt('T');
                break;
            case 4:
                PressAlt('U');
                break;
            case 7:
                PressAlt('V');
                break;
            case 10:
                PressAlt('D');
                break;
            case 13:
                beforeQuestion = d.events;
                questionResult = host_->RunModal(question);
                d.w().End(1);
                break;
        }
    };
    // Over the list: Alt+D is not the list's there, Alt+N is "&No".
    question.onTick = [&](KeyDialog& d) {
        if (d.ticks == 2) PressAlt('D');
        if (d.ticks == 5) PressAlt('N');
    };
    EXPECT_EQ(host_->RunModal(list), 1);
    EXPECT_EQ(beforeQuestion,
              (std::vector<std::string>{"command " + std::to_string(IDC_ML_TEST_LINK),
                                        "command " + std::to_string(IDC_ML_USE_DOMAIN),
                                        "command " + std::to_string(IDC_ML_VIEW_CELL),
                                        "accel " + std::to_string(IDC_MASTER_DOMAIN_LIST)}));
    EXPECT_EQ(list.events, beforeQuestion);
    EXPECT_EQ(questionResult, IDCANCEL);
    EXPECT_EQ(question.events, (std::vector<std::string>{"command 2"}));
}

// The Configuration window gets its own entries (Alt+T the station type) and keeps the
// mnemonics the table does not hold ("&Cancel").
TEST_F(AcceleratorsTest, TheConfigurationGetsItsEntries) {
    KeyDialog configuration(
        IDD_CONFIGURATION,
        {IDC_STATION_TYPE, IDC_MASTER_NAME, IDC_CHANNEL, IDC_SUBCHANNEL, IDC_DOMAIN,
         IDC_MAC_OPTIMIZE, IDC_ROAM_CONFIG, IDC_INACTIVITY_SECONDS, IDC_INACTIVITY_MINUTES});
    configuration.endOnCommand = IDCANCEL;
    target_ = &configuration;
    configuration.onTick = [](KeyDialog& d) {
        if (d.ticks == 1) PressAlt('T');
        if (d.ticks == 4) PressAlt('N');
        if (d.ticks == 7) PressAlt('C');
    };
    EXPECT_EQ(host_->RunModal(configuration), IDCANCEL);
    EXPECT_EQ(configuration.events,
              (std::vector<std::string>{"accel " + std::to_string(IDC_STATION_TYPE),
                                        "accel " + std::to_string(IDC_DOMAIN), "command 2"}));
}

}  // namespace
}  // namespace odr::ui::win32
