// The Configuration window.
#include "config/ConfigDlg.h"

#include "config/GetSettingsDlg.h"
#include "config/SetupWarningDlg.h"
#include "driver/DriverTypes.h"
#include "driver/Operations.h"
#include "resources/resource.h"
#include "settings/AdapterSettings.h"
#include "shell/kit/HelpDlg.h"
#include "shell/kit/ShellContext.h"

namespace odr::config {

namespace {

// What a Station has no use for: its own master name, channel, subchannel and MAC
// optimisation, with their labels.
constexpr int kMasterControls[] = {
    IDC_CFG_MASTER_NAME_LABEL, IDC_CHANNEL,      IDC_CFG_CHANNEL_LABEL, IDC_SUBCHANNEL,
    IDC_CFG_SUBCHANNEL_LABEL,  IDC_MAC_OPTIMIZE, IDC_CFG_MAC_LABEL,     IDC_MASTER_NAME};
// The inactivity lists with their labels; a Master has no time-out.
constexpr int kInactivityControls[] = {IDC_CFG_SECONDS_LABEL, IDC_INACTIVITY_SECONDS,
                                       IDC_CFG_MINUTES_LABEL, IDC_INACTIVITY_MINUTES};

std::string CutName(const std::string& name) {
    return name.substr(0, size_t(kMasterNameLimit));
}

}  // namespace

CConfigDlg::CConfigDlg(shell::ShellContext& context, AdapterSettings& settings)
    : ui::Dialog(IDD_CONFIGURATION), ctx_(context), settings_(settings) {}

void CConfigDlg::FillLists() {
    const std::pair<int, std::vector<std::string>> lists[] = {
        {IDC_STATION_TYPE, StationTypeItems()},
        {IDC_CHANNEL, ChannelItems()},
        {IDC_SUBCHANNEL, ChannelItems()},
        {IDC_DOMAIN, DomainItems()},
        {IDC_MAC_OPTIMIZE, MacOptimizeItems()},
        {IDC_ROAM_CONFIG, RoamConfigItems()},
        {IDC_INACTIVITY_SECONDS, InactivitySecondsItems()},
        {IDC_INACTIVITY_MINUTES, InactivityMinutesItems()},
    };
    for (const auto& list : lists) {
        ui::DropList& drop = window().GetDropList(list.first);
        drop.Clear();
        for (const std::string& item : list.second) drop.Add(item);
    }
}

bool CConfigDlg::OnInitDialog() {
    FillLists();
    window().LimitText(IDC_MASTER_NAME, kMasterNameLimit);
    Refresh();

    SelectIndex(IDC_STATION_TYPE, StationTypeIndex(values_.stationType));
    SelectIndex(IDC_CHANNEL, LeadingInt(values_.channel.c_str()) - 1);
    SelectIndex(IDC_SUBCHANNEL, LeadingInt(values_.subchannel.c_str()) - 1);
    SelectIndex(IDC_DOMAIN, LeadingInt(values_.domain.c_str()));
    SelectIndex(IDC_MAC_OPTIMIZE, values_.macOptimize == kMacNormalText ? 0 : 1);
    SelectIndex(IDC_ROAM_CONFIG, RoamConfigIndex(values_.roamConfig));
    SelectIndex(IDC_INACTIVITY_SECONDS,
                values_.inactivitySecondsIndex < 1 ? 0 : values_.inactivitySecondsIndex);
    SelectIndex(IDC_INACTIVITY_MINUTES, values_.inactivityMinutesIndex);

    ctx_.acceleratorTarget = this;
    window().ShowControl(IDC_CFG_VERY_ADVANCED, false);
    return true;
}

void CConfigDlg::SelectIndex(int id, int index) {
    // An index outside the list leaves it without a selection.
    window().GetDropList(id).Select(index);
}

void CConfigDlg::SelectText(int id, const std::string& text) {
    window().GetDropList(id).SelectText(text);
}

void CConfigDlg::SetMasterNameText() {
    // Setting the edit's text reports a change like typing does; that is not the user's.
    settingName_ = true;
    window().SetText(IDC_MASTER_NAME, CutName(values_.masterName));
    settingName_ = false;
}

void CConfigDlg::Refresh() {
    ui::Window& w = window();
    SelectIndex(IDC_STATION_TYPE, StationTypeIndex(values_.stationType));
    SetMasterNameText();

    const bool master = values_.masterCapable && values_.stationType == kMasterText;
    if (values_.masterCapable) {
        SelectText(IDC_CHANNEL, values_.channel);
        SelectText(IDC_SUBCHANNEL, values_.subchannel);
        SelectText(IDC_MAC_OPTIMIZE, values_.macOptimize);
        for (int id : kMasterControls) w.Enable(id, true);
    } else {
        // The lists keep their selection, greyed.
        for (int id : kMasterControls) w.Enable(id, false);
    }

    if (master) {
        // A Master does not roam, always talks peer to peer and never times out.
        w.Enable(IDC_ROAM_CONFIG, false);
        w.Enable(IDC_CFG_ROAM_LABEL, false);
        values_.peerToPeer = 1;
        w.SetCheck(IDC_CFG_PEER_TO_PEER, true);
        w.Enable(IDC_CFG_PEER_TO_PEER, false);
    } else {
        w.Enable(IDC_ROAM_CONFIG, true);
        w.Enable(IDC_CFG_ROAM_LABEL, true);
        w.Enable(IDC_CFG_PEER_TO_PEER, true);
        w.SetCheck(IDC_CFG_PEER_TO_PEER, values_.peerToPeer == 1);
    }
    SelectIndex(IDC_INACTIVITY_SECONDS, values_.inactivitySecondsIndex);
    SelectIndex(IDC_INACTIVITY_MINUTES, values_.inactivityMinutesIndex);
    for (int id : kInactivityControls) w.Enable(id, !master);

    SelectText(IDC_DOMAIN, values_.domain);
    if (values_.stationType != kMasterText) SelectText(IDC_ROAM_CONFIG, values_.roamConfig);
}

void CConfigDlg::OnNotify(int id, ui::Notify code) {
    if (code == ui::Notify::EditChanged && id == IDC_MASTER_NAME) {
        if (!settingName_) values_.masterName = window().GetText(IDC_MASTER_NAME);
        return;
    }
    if (code != ui::Notify::SelectionChanged) {
        ui::Dialog::OnNotify(id, code);
        return;
    }
    const std::string selected = window().GetDropList(id).SelectedText();
    switch (id) {
        case IDC_STATION_TYPE:
            values_.stationType = selected;
            values_.masterCapable = selected != kStationText ? 1 : 0;
            Refresh();
            break;
        case IDC_CHANNEL:
            values_.channel = selected;
            break;
        case IDC_SUBCHANNEL:
            values_.subchannel = selected;
            break;
        case IDC_DOMAIN:
            values_.domain = selected;
            break;
        case IDC_MAC_OPTIMIZE:
            values_.macOptimize = selected;
            break;
        case IDC_ROAM_CONFIG:
            values_.roamConfig = selected;
            break;
        case IDC_INACTIVITY_SECONDS:
            values_.inactivitySecondsIndex = LeadingInt(selected.c_str()) / kInactivityStep;
            break;
        case IDC_INACTIVITY_MINUTES:
            values_.inactivityMinutesIndex = LeadingInt(selected.c_str());
            break;
    }
}

void CConfigDlg::OnCommand(int id) {
    switch (id) {
        case IDC_CFG_PEER_TO_PEER:
            values_.peerToPeer = window().IsChecked(IDC_CFG_PEER_TO_PEER) ? 1 : 0;
            break;
        case IDC_CFG_DEFAULTS:
            values_ = FactoryValues(values_.pcCard);
            Refresh();
            break;
        case IDC_CFG_GET_SETTINGS: {
            CGetSettingsDlg info(ctx_.adapter.status);
            ctx_.host.RunModal(info);
            break;
        }
        case IDC_CFG_SECURITY_ID: {
            CSetupWarningDlg warning(ctx_);
            ctx_.host.RunModal(warning);
            break;
        }
        case IDC_CFG_HELP: {
            shell::CHelpDlg help(ctx_.adapter.os, shell::kHelpContextConfiguration);
            ctx_.host.RunModal(help);
            break;
        }
        case IDC_CFG_OK:
            Ok();
            break;
        case ui::kIdCancel:
            Finish(2);
            break;
    }
}

bool CConfigDlg::HandlesAccelerator(int id) const {
    switch (id) {
        case IDC_STATION_TYPE:
        case IDC_MASTER_NAME:
        case IDC_CHANNEL:
        case IDC_SUBCHANNEL:
        case IDC_DOMAIN:
        case IDC_MAC_OPTIMIZE:
        case IDC_ROAM_CONFIG:
        case IDC_INACTIVITY_SECONDS:
        case IDC_INACTIVITY_MINUTES:
            return true;
        default:
            return false;
    }
}

void CConfigDlg::OnAccelerator(int id) {
    if (HandlesAccelerator(id)) window().SetFocus(id);
}

void CConfigDlg::OnMouse(ui::Mouse event, int, int) {
    if (event != ui::Mouse::RightDoubleClick) return;
    window().ShowControl(IDC_CFG_VERY_ADVANCED, true);
    window().Enable(IDC_CFG_VERY_ADVANCED, true);
}

void CConfigDlg::Ok() {
    const ConfigValues& v = values_;
    // The adapter holds 11 characters and a zero; a longer stored name is sent cut.
    const std::string name = CutName(v.masterName);
    SetCardOptions(ctx_.adapter.channel, v.masterCapable, name.c_str(), v.stationType.c_str(),
                   v.channel.c_str(), v.subchannel.c_str(), v.domain.c_str(), v.macOptimize.c_str(),
                   v.roamConfig.c_str(), v.peerToPeer, v.pcCard,
                   int(uint16_t(v.inactivitySecondsIndex)), int(uint16_t(v.inactivityMinutesIndex)),
                   kAdapter);
    SaveValues(v, settings_);
    Finish(1);
}

void CConfigDlg::Finish(int result) {
    window().End(result);
}

void CConfigDlg::OnDestroy() {
    // Keystrokes are no longer translated for a window that is gone.
    if (ctx_.acceleratorTarget == this) ctx_.acceleratorTarget = nullptr;
}

}  // namespace odr::config
