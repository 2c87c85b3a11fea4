// The main window and its check run.
#include "shell/MainDlg.h"

#include <cstring>

#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/FixedText.h"
#include "driver/Operations.h"
#include "driver/Queries.h"
#include "resources/resource.h"
#include "shell/AboutDlg.h"
#include "shell/MainStatus.h"
#include "shell/kit/ErrorDlg.h"
#include "shell/kit/HelpDlg.h"
#include "shell/kit/HelpFile.h"

namespace odr::shell {

namespace {

constexpr int kCheckTimer = 1;
constexpr unsigned kCheckDelayMs = 100;
constexpr unsigned kReattachRetryMs = 1000;
constexpr unsigned kPcCardRetryMs = 10000;

}  // namespace

CMainDlg::CMainDlg(ShellContext& context, ToolLauncher& tools)
    : ui::Dialog(IDD_ODRCFG_DIALOG),
      ctx_(context),
      tools_(tools),
      settings_(context.registry, context.adapter.os, [&channel = context.adapter.channel] {
          // A failed open says nothing about which driver is installed: either one's key
          // is the adapter's, so a PC card whose driver is not loaded is still recognised.
          return channel.IsOpen() ? channel.GetDriverKind() : settings::kNoDriverKind;
      }) {}

std::string CMainDlg::String(int id, const char* fallback) {
    std::string text = ctx_.host.LoadString(id);
    return text.empty() ? fallback : text;
}

bool CMainDlg::OnInitDialog() {
    const std::string about = ctx_.host.LoadString(IDS_ABOUTBOX);
    if (!about.empty()) window().AppendSystemMenu(IDM_ABOUTBOX, about);
    window().SetIcon(IDR_MAINFRAME);
    window().GreySystemMenuItem("Ma&ximize");
    window().GreySystemMenuItem("&Size");

    adapterReady_ = false;
    searchMode_ = 1;
    reattach_.Need();
    closing_ = false;
    lastButton_ = IDC_MASTERS;
    ctx_.helpContext = kHelpContextMain;

    StartCheckTimer(kCheckDelayMs);
    return true;
}

void CMainDlg::OnTimer(int id) {
    if (id == kCheckTimer) CheckRun();
}

void CMainDlg::StartCheckTimer(unsigned ms) {
    window().SetTimer(kCheckTimer, ms);
    checkTimerMs_ = ms;
}

void CMainDlg::StopCheckTimer() {
    window().KillTimer(kCheckTimer);
    checkTimerMs_ = 0;
}

void CMainDlg::ShowStatus() {
    window().SetText(IDC_STATUS_TEXT, statusText_);
}

void CMainDlg::CheckRun() {
    AdapterContext& adapter = ctx_.adapter;
    StopCheckTimer();
    statusText_ = String(IDS_CHECKING_DRIVER, "Checking for Ondrel driver...");
    ShowStatus();
    for (int id : {1, IDC_MAIN_HELP, IDC_SITE_SURVEY, IDC_MASTERS, IDC_SNOOP, IDC_CONFIGURATION}) {
        window().Enable(id, false);
    }
    ctx_.host.BeginBusy();

    const int opened = adapter.channel.OpenDriver(&adapter.status);
    settings_.LoadSettings();
    settingsFound_ = settings_.foundKey != platform::kNoKey;
    window().Enable(1, true);
    window().Enable(IDC_MAIN_HELP, true);
    window().Enable(IDC_CONFIGURATION, true);

    if (opened != 0) {
        statusText_ = DriverFailureParagraph(
            String(IDS_DRIVER_UNAVAILABLE, "Unable to access Ondrel driver"),
            adapter.os.GetVersion().major >= 4, String(IDS_PROTOCOL_PREFIX, "odr"));
        ShowStatus();
        adapterReady_ = false;
        window().Enable(IDC_CONFIGURATION, false);
        if (settings_.pcCard) StartCheckTimer(kPcCardRetryMs);
        ctx_.host.EndBusy();
        return;
    }

    GetDriverVersion(adapter.channel, adapter.status.driverVersion, kAdapter);
    const std::string version = FieldText(adapter.status.driverVersion);
    statusText_ +=
        DriverVersionParagraph(String(IDS_DRIVER_VERSION, "Ondrel driver version"), version);
    ShowStatus();

    if (!IsDriverVersionAccepted(version)) {
        ctx_.host.EndBusy();
        CErrorDlg error(kVersionErrorHeading, VersionRefusalText(version));
        ctx_.host.RunModal(error);
        driverRefused_ = true;
        window().End(0);
        return;
    }

    if (reattach_.Needed()) {
        const int result = reattach_.Attach(adapter.channel);
        if (result != kOk) {
            if (result == kNotCarried) StartCheckTimer(kReattachRetryMs);
            ctx_.host.EndBusy();
            return;
        }
    }

    uint8_t syncState = 0;
    const uint8_t longWait = settings_.stationType == kAlternateMaster ? 1 : 0;
    if (InitCard(adapter, &syncState, kAdapter, longWait) == kNotCarried) {
        reattach_.Need();
        StartCheckTimer(kReattachRetryMs);
        ctx_.host.EndBusy();
        return;
    }
    SetInactivity(adapter.channel, 0, kAdapter);

    statusText_ +=
        NodeParagraph(FieldText(adapter.status.nodeAddress), FieldText(adapter.status.romVersion),
                      adapter.status.countryCode, adapter.status.rssiMarker);
    ShowStatus();
    if (syncState != 0) {
        statusText_ += SynchronizedParagraph(FieldText(adapter.status.masterAddress),
                                             FieldText(adapter.status.masterName));
        window().Enable(IDC_SITE_SURVEY, true);
    } else {
        statusText_ += kNoMasterParagraph;
    }
    ShowStatus();
    window().Enable(IDC_MASTERS, true);
    window().Enable(IDC_SNOOP, true);
    adapterReady_ = true;
    window().SetFocus(lastButton_);
    ctx_.host.EndBusy();
}

void CMainDlg::RunTool(int button) {
    // A pending retry must not fire inside the tool.
    StopCheckTimer();
    lastButton_ = button;
    ctx_.helpContext = button;
    switch (button) {
        case IDC_MASTERS:
            tools_.RunMasterList(settings_, &searchMode_);
            break;
        case IDC_SITE_SURVEY:
            tools_.RunSiteSurvey(settings_);
            break;
        case IDC_SNOOP:
            tools_.RunSnoop();
            break;
        case IDC_CONFIGURATION:
            tools_.RunConfiguration(settings_);
            break;
    }
    ctx_.helpContext = kHelpContextMain;
    // The tool's window is gone; so is the window keystrokes were translated for.
    ctx_.acceleratorTarget = nullptr;

    ctx_.host.BeginBusy();
    // The configuration leaves the channel open; every other tool hands back an adapter
    // in an unknown state, so the card and the channel start afresh.
    if (button != IDC_CONFIGURATION) {
        CloseCard(ctx_.adapter, kAdapter);
        ctx_.adapter.channel.CloseDriver();
    }
    StartCheckTimer(kCheckDelayMs);
    ctx_.host.EndBusy();
}

void CMainDlg::OnCommand(int id) {
    switch (id) {
        case IDC_MASTERS:
        case IDC_SITE_SURVEY:
        case IDC_SNOOP:
        case IDC_CONFIGURATION:
            RunTool(id);
            break;
        case IDC_MAIN_HELP: {
            // A pending retry waits until Help is closed, then starts over.
            const unsigned pendingMs = checkTimerMs_;
            StopCheckTimer();
            CHelpDlg help(ctx_.adapter.os, ctx_.helpContext);
            ctx_.host.RunModal(help);
            lastButton_ = IDC_MAIN_HELP;
            if (pendingMs != 0) StartCheckTimer(pendingMs);
            break;
        }
        case ui::kIdOk:
            window().End(ui::kIdOk);
            break;
        case ui::kIdCancel:
            // Escape does nothing; only a close request ends the window this way.
            if (closing_) window().End(ui::kIdCancel);
            break;
    }
}

bool CMainDlg::OnSysCommand(int command) {
    if (command < 16 || command > 31) return false;
    CAboutDlg about;
    ctx_.host.RunModal(about);
    return true;
}

void CMainDlg::OnClose() {
    closing_ = true;
    window().End(ui::kIdCancel);
}

void CMainDlg::OnDestroy() {
    AdapterContext& adapter = ctx_.adapter;
    StopCheckTimer();
    // A refused driver is left alone: nothing was changed in it.
    if (!driverRefused_) {
        if (adapter.status.cardInitialised) StopCard(adapter.channel, kAdapter);
        // Only a time-out read from the store is given back; the record's initial value is
        // nobody's setting.
        if (settingsFound_) {
            SetInactivity(adapter.channel,
                          InactivityUnits(settings_.inactivitySeconds, settings_.inactivityMinutes),
                          kAdapter);
        }
        CloseCard(adapter, kAdapter);
    }
    adapter.channel.CloseDriver();
}

}  // namespace odr::shell
