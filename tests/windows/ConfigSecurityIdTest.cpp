// The security ID worker under Wine: the entry window from a template sends its request
// from a second thread and closes at once (the worker's late message is dropped), and a
// window still open receives the worker's message and releases its mouse capture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/SecurityIdDlg.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/RssiTable.h"
#include "driver/SecurityIdSender.h"
#include "native/fakes/FakeDevice.h"
#include "native/fakes/FakePlatform.h"
#include "platform/MemoryRegistry.h"
#include "resources/resource.h"
#include "shell/kit/ShellContext.h"

// <windows.h> after the portable headers: its LoadString and Yield macros would rename
// their methods.
#include <windows.h>

#include "ui/win32/Win32Host.h"
#include "windows/DialogTemplate.h"

namespace odr::config {
namespace {

std::vector<uint8_t> EntryTemplate() {
    test::DialogTemplate t("Security ID", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 3,
                           186, 70);
    t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 22, 166, 12, IDC_SECURITY_ID_EDIT, t.kEdit,
           "");
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 35, 48, 50, 14, IDC_SECURITY_ID_OK, t.kButton, "OK");
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, 101, 48, 50, 14, IDCANCEL, t.kButton, "&Cancel");
    return t.bytes();
}

struct Rig {
    Rig() {
        devices.existing = {"\\\\.\\ODRWINNT1"};
        channel.OpenDriver(&status);
        host.SetTemplate(IDD_SECURITY_ID, EntryTemplate());
    }
    std::vector<std::vector<uint8_t>> SecurityIds() const {
        std::vector<std::vector<uint8_t>> sent;
        for (size_t i = 0; i < adapter.Calls(); ++i) {
            if (adapter.CommandOf(i) == CMD_SET_SECURITY_ID) sent.push_back(adapter.DataOf(i));
        }
        return sent;
    }

    test::FakeClock clock;
    test::FakeOs os;
    test::FakeAdapter adapter;
    test::FakeDeviceHost devices{adapter};
    Trace trace;
    Channel channel{devices, os, clock, trace};
    AdapterStatus status;
    RssiTable rssi;
    AdapterContext adapterContext{channel, clock, os, status, rssi, nullptr};
    platform::MemoryRegistry registry;
    ui::win32::Win32Host host{GetModuleHandleA(nullptr)};
    shell::ShellContext ctx{adapterContext, host, registry};
};

// The entry as a user fills it in and presses OK, the moment it opens.
class TypedEntry : public CSecurityIdDlg {
  public:
    using CSecurityIdDlg::CSecurityIdDlg;
    bool OnInitDialog() override {
        CSecurityIdDlg::OnInitDialog();
        window().SetText(IDC_SECURITY_ID_EDIT, "GUESTNET-AND-MORE-THAN-20");
        OnCommand(IDC_SECURITY_ID_OK);
        return true;
    }
};

TEST(ConfigSecurityIdWinTest, EntryFromItsTemplateSendsFromTheWorkerAndClosesAtOnce) {
    Rig rig;
    TypedEntry entry(rig.ctx);
    EXPECT_EQ(rig.host.RunModal(entry), 1);
    rig.ctx.securityId.Wait();
    const std::string sent = "GUESTNET-AND-MORE-TH";  // the edit takes 20 characters
    std::vector<uint8_t> expected(sent.begin(), sent.end());
    expected.push_back(0);
    ASSERT_EQ(rig.SecurityIds().size(), 1u);
    EXPECT_EQ(rig.SecurityIds()[0], expected);
    // The worker's message finds no window; it is dropped.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    EXPECT_EQ(GetCapture(), nullptr);
}

// A window that waits for the worker, as the entry would if it stayed open.
class Waiting : public ui::Dialog {
  public:
    explicit Waiting(SecurityIdSender& sender) : ui::Dialog(IDD_SECURITY_ID), sender_(sender) {}
    bool OnInitDialog() override {
        window().CaptureMouse();
        window().SetWaitCursor(true);
        capturedBefore = window().HasMouseCapture();
        ui::Poster post = window().MakePoster(kSecurityIdSent);
        sender_.Send("GUESTNET", [this, post] {
            workerPriority = GetThreadPriority(GetCurrentThread());
            post();
        });
        window().SetTimer(1, 5000);  // gives up when no message comes
        return true;
    }
    bool OnPosted(unsigned code) override {
        if (code != kSecurityIdSent) return false;
        window().ReleaseMouse();
        window().SetWaitCursor(false);
        releasedAfter = !window().HasMouseCapture();
        window().End(1);
        return true;
    }
    void OnTimer(int) override { window().End(2); }

    bool capturedBefore = false;
    bool releasedAfter = false;
    int workerPriority = 0;

  private:
    SecurityIdSender& sender_;
};

TEST(ConfigSecurityIdWinTest, WorkerPostsItsMessageToAnOpenWindow) {
    Rig rig;
    Waiting waiting(rig.ctx.securityId);
    EXPECT_EQ(rig.host.RunModal(waiting), 1);
    EXPECT_TRUE(waiting.capturedBefore);
    EXPECT_TRUE(waiting.releasedAfter);
    rig.ctx.securityId.Wait();
    EXPECT_EQ(waiting.workerPriority, THREAD_PRIORITY_HIGHEST);
    EXPECT_EQ(rig.SecurityIds().size(), 1u);
}

}  // namespace
}  // namespace odr::config
