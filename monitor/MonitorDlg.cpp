// odrstat's information window: poll, tray icon, information text.
#include "monitor/MonitorDlg.h"

#include <cstring>

#include "driver/DriverTypes.h"
#include "driver/FixedText.h"
#include "driver/Operations.h"
#include "driver/Queries.h"
#include "monitor/MonitorAboutDlg.h"
#include "monitor/MonitorErrorDlg.h"
#include "monitor/MonitorSettings.h"
#include "resources/odrstat_res.h"

namespace odr::monitor {

const char kToolRunningText[] = "Utility is running, the data is static.  ";
const char kNoMasterText[] =
    "\n\nCould not find a Master to synchronize with.  Verify that your Domain and Security ID "
    "match those of a Master.";
const char kOutOfRangeTip[] = "Out of Range of Master";

namespace {

constexpr char kToolProgram[] = "odrcfg.exe";

}  // namespace

std::string DriverOpenErrorText(bool win95, const std::string& product, const std::string& protocol,
                                const std::string& monitorName) {
    std::string text;
    if (win95) {
        text = "Unable to access " + product +
               " Windows 95 driver. Verify that the driver is installed and configured "
               "properly.";
        text += "\nAlso verify that the " + protocol + "API protocol has been installed.";
    } else {
        text = "\n\nUnable to access " + product +
               " Windows NT driver. Verify that the driver is installed and configured "
               "properly.";
    }
    text += "\n\nThe " + monitorName + " will not be loaded";
    return text;
}

std::string CoverageTip(const std::string& masterName) {
    return ui::FitTooltip("Coverage: Normal.  Master Name: " + masterName);
}

CMonitorDlg::CMonitorDlg(MonitorContext& context) : ui::Dialog(IDD_MONITOR), ctx_(context) {}

CMonitorDlg::~CMonitorDlg() = default;

bool CMonitorDlg::OnInitDialog() {
    ui::Host& host = ctx_.host;
    const std::string about = host.LoadString(IDS_MONITOR_ABOUTBOX);
    if (!about.empty()) window().AppendSystemMenu(IDM_MONITOR_ABOUT, about);
    window().SetIcon(IDI_MONITOR);
    productName_ = host.LoadString(IDS_MONITOR_PRODUCT);
    toolTitle_ = host.LoadString(IDS_TOOL_TITLE);

    const platform::OsVersion version = ctx_.os.GetVersion();
    const StoredSettings stored = ReadStoredSettings(ctx_.registry, version);
    storedStationType_ = stored.stationType;
    pcCard_ = stored.pcCard;

    tray_ = host.CreateTray(*this, kTrayMessage);

    if (ctx_.channel.OpenDriver(&ctx_.status) != kOk) {
        CMonitorErrorDlg error(DriverOpenErrorText(version.IsWin95Layout(), productName_,
                                                   host.LoadString(IDS_MONITOR_PROTOCOL),
                                                   host.LoadString(IDS_MONITOR_NAME)));
        host.RunModal(error);
        // A PC card may be inserted later: keep polling for it.
        if (!pcCard_) {
            window().End(0);
            return true;
        }
    } else {
        FillInformation();
    }

    trayState_ = kTrayNone;
    toolRunning_ = false;
    synchronised_ = false;
    blinkPhase_ = false;
    restorePending_ = false;
    hidePending_ = true;
    window().SetTimer(kPollTimer, kFirstTickMs);
    return true;
}

void CMonitorDlg::OnTimer(int id) {
    if (hidePending_) {
        window().Show(false);
        hidePending_ = false;
        window().SetTimer(kPollTimer, kFirstTickMs);
    }
    if (restorePending_) {
        restorePending_ = false;
        window().SetTimer(kPollTimer, kPollMs);
    }
    if (id != kPollTimer) return;
    Poll();
}

int CMonitorDlg::QueryMasterNode() {
    ctx_.syncState = 0;
    return GetMasterNode(ctx_.channel, ctx_.status.masterAddress, ctx_.status.masterName,
                         &ctx_.syncChannel, &ctx_.syncSubchannel, ctx_.status.nodeAddress,
                         &ctx_.syncState, kAdapter);
}

void CMonitorDlg::Poll() {
    const uint32_t start = ctx_.clock.Now();

    toolRunning_ = ctx_.host.FindTopLevelWindow(toolTitle_);
    if (toolRunning_) {
        // odrcfg owns the adapter meanwhile: no driver call.
        window().SetTimer(kPollTimer, kSlowPollMs);
        UpdateTray(trayState_ == kTrayNone ? TrayAction::Add : TrayAction::Change, synchronised_);
        return;
    }

    window().SetTimer(kPollTimer, kPollMs);
    // After a call that was not carried the driver answers again only once re-attached. A
    // refused re-attach is an error of this poll like any other: the next one asks for the
    // master again.
    int result = 0;
    if (reattach_.Needed()) {
        result = reattach_.Attach(ctx_.channel);
        if (result != kNotCarried) reattach_.Clear();
    }
    if (result == kOk) {
        result = QueryMasterNode();
    } else {
        ctx_.syncState = 0;
    }
    // An adapter that answers but is not synchronised yet is asked again, for a quarter of
    // a second at most, so the window never stalls; the pause between two questions keeps
    // an out-of-range adapter from costing processor time.
    while (result == kOk && ctx_.syncState == 0 && ctx_.clock.Now() - start < kSyncWaitLimitMs) {
        ctx_.clock.Sleep(kSyncRetryMs);
        result = QueryMasterNode();
    }
    if (result == kNotCarried) {
        reattach_.Need();
        window().KillTimer(kPollTimer);
        ctx_.channel.OpenDriver(&ctx_.status);
        UpdateTray(TrayAction::Remove, false);
        window().SetTimer(kPollTimer, kSlowPollMs);
        restorePending_ = true;
        return;
    }
    if (result != kOk) {
        restorePending_ = true;
        window().SetTimer(kPollTimer, kSlowPollMs);
    }

    synchronised_ = ctx_.syncState != 0;
    const std::string name = FieldText(ctx_.status.masterName);
    if (synchronised_ && result == kOk && name != lastMasterName_) lastMasterName_ = name;

    UpdateTray(trayState_ == kTrayNone ? TrayAction::Add : TrayAction::Change, synchronised_);
    FillInformation();
}

bool CMonitorDlg::TrayAdd(int id, int image, const std::string& tip) {
    return tray_ && tray_->Add(id, image, tip);
}

bool CMonitorDlg::TrayChange(int image, const std::string& tip) {
    return tray_ && tray_->Modify(trayIconId_, image, tip);
}

void CMonitorDlg::UpdateTray(TrayAction action, bool synchronised) {
    if (action == TrayAction::Remove) {
        if (trayState_ != kTrayNone && tray_ && tray_->Remove(trayIconId_)) {
            trayState_ = kTrayNone;
        }
        return;
    }
    const std::string masterName = FieldText(ctx_.status.masterName);

    if (toolRunning_) {
        if (trayState_ == kTrayTool) return;
        if (trayState_ == kTrayNone) {
            TrayAdd(IDI_TRAY_TOOL, 0, "");
            trayIconId_ = IDI_TRAY_TOOL;
        }
        if (TrayChange(IDI_TRAY_TOOL, synchronised ? CoverageTip(masterName) : kOutOfRangeTip)) {
            trayState_ = kTrayTool;
        }
        return;
    }

    if (synchronised) {
        blinkPhase_ = !blinkPhase_;
        const int image = blinkPhase_ ? IDI_TRAY_SYNC_A : IDI_TRAY_SYNC_B;
        const int state = blinkPhase_ ? kTraySyncA : kTraySyncB;
        const std::string tip = CoverageTip(masterName);
        if (trayState_ == kTrayNone) {
            if (TrayAdd(image, image, tip)) {
                trayIconId_ = image;
                trayState_ = state;
            }
        } else if (TrayChange(image, tip)) {
            trayState_ = state;
        }
        return;
    }

    if (trayState_ == kTrayOutOfRange) return;
    if (trayState_ == kTrayNone) {
        if (TrayAdd(IDI_TRAY_OUT_OF_RANGE, IDI_TRAY_OUT_OF_RANGE, kOutOfRangeTip)) {
            trayIconId_ = IDI_TRAY_OUT_OF_RANGE;
            trayState_ = kTrayOutOfRange;
        }
    } else if (TrayChange(IDI_TRAY_OUT_OF_RANGE, kOutOfRangeTip)) {
        trayState_ = kTrayOutOfRange;
    }
}

std::string CMonitorDlg::NodeLine(const char* label) const {
    // Country code and marker are never read by the monitor; a zero marker adds nothing,
    // as a NUL character would end the text.
    std::string line = "\n\nNode address:  " + FieldText(ctx_.status.nodeAddress) + label +
                       FieldText(ctx_.status.romVersion) + "/" +
                       std::to_string(ctx_.status.countryCode & 0x3F);
    if (ctx_.status.rssiMarker != 0) line += ctx_.status.rssiMarker;
    return line;
}

std::string CMonitorDlg::SynchronisedLine() const {
    return "\n\nSynchronized to " + FieldText(ctx_.status.masterAddress) + "  " +
           FieldText(ctx_.status.masterName);
}

std::string CMonitorDlg::VersionLine() const {
    return productName_ + " driver version " + FieldText(ctx_.status.driverVersion) +
           " accessed successfully.";
}

void CMonitorDlg::ShowInformation(const std::string& text, bool partial) {
    // The partial texts show progress to a user watching slow driver calls; a hidden window
    // gets only the final text, and an unchanged text is not set again (once a second, each
    // would cost the window system a round trip).
    if (partial && !window().IsVisible()) return;
    if (text == shownText_) return;
    window().SetText(IDC_MONITOR_INFO, text);
    shownText_ = text;
}

void CMonitorDlg::FillInformation() {
    if (toolRunning_) {
        // Nothing is asked of the driver while odrcfg runs: the values last read.
        std::string text = kToolRunningText + VersionLine() + NodeLine("  ROM version ");
        text += synchronised_ ? SynchronisedLine() : kNoMasterText;
        ShowInformation(text, false);
        return;
    }

    std::string text;
    if (GetDriverVersion(ctx_.channel, ctx_.status.driverVersion, kAdapter) == kOk) {
        text = VersionLine();
        ShowInformation(text, true);
    }
    QueryMasterNode();
    char rom[8] = {};
    GetVersion(ctx_.channel, rom, kAdapter);
    rom[7] = '\0';  // the 7-byte item need not hold a terminator
    std::memcpy(ctx_.status.romVersion, rom, sizeof rom);
    text += NodeLine("  ROM version:  ");
    ShowInformation(text, true);

    if (ctx_.syncState != 0) {
        const std::string name = FieldText(ctx_.status.masterName);
        // Only an icon already shown is changed: before the first poll there is none, and
        // adding one here would leave it behind when the poll adds its own.
        if (name != lastMasterName_ && trayState_ != kTrayNone) {
            UpdateTray(TrayAction::Change, true);
        }
        lastMasterName_ = name;
        text += SynchronisedLine();
    } else {
        text += kNoMasterText;
    }
    ShowInformation(text, false);
}

void CMonitorDlg::StartTool() {
    // The monitor's own folder first, then PATH; never the current folder, where another
    // program of that name could have been planted.
    std::vector<std::string> folders{ctx_.os.ProgramFolder()};
    for (const std::string& folder : platform::SplitPath(ctx_.os.GetEnv("PATH"))) {
        folders.push_back(folder);
    }
    const std::string path = platform::FindFileIn(ctx_.os, folders, kToolProgram);
    if (!path.empty()) ctx_.os.StartProcess(path, "");
}

void CMonitorDlg::HideWindow() {
    window().Show(false);
}

void CMonitorDlg::OnCommand(int id) {
    switch (id) {
        case ui::kIdOk:  // Remove
            UpdateTray(TrayAction::Remove, false);
            window().KillTimer(kPollTimer);
            window().End(ui::kIdOk);
            break;
        case ui::kIdCancel:  // Esc
        case IDC_MONITOR_HIDE:
            HideWindow();
            break;
        default:
            break;
    }
}

void CMonitorDlg::OnClose() {
    HideWindow();
}

bool CMonitorDlg::OnSysCommand(int command) {
    if (command != IDM_MONITOR_ABOUT) return false;
    CMonitorAboutDlg about;
    ctx_.host.RunModal(about);
    return true;
}

void CMonitorDlg::OnDestroy() {
    // The icon never outlives the program.
    UpdateTray(TrayAction::Remove, false);
    window().KillTimer(kPollTimer);
}

void CMonitorDlg::OnTrayEvent(ui::TrayEvent event) {
    switch (event) {
        case ui::TrayEvent::DoubleClick:
            window().KillTimer(kPollTimer);
            StartTool();
            window().SetTimer(kPollTimer, kPollMs);
            break;
        case ui::TrayEvent::RightClick:
            FillInformation();
            window().Show(true);
            window().BringToForeground();
            break;
        case ui::TrayEvent::Recreated:
            // Our icon went with the old notification area: add it again.
            if (trayState_ != kTrayNone) {
                trayState_ = kTrayNone;
                UpdateTray(TrayAction::Add, synchronised_);
            }
            break;
    }
}

}  // namespace odr::monitor
