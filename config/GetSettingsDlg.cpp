// The Get Settings window.
#include "config/GetSettingsDlg.h"

#include <cstring>
#include <string>

#include "driver/AdapterStatus.h"
#include "driver/FixedText.h"
#include "platform/Format.h"
#include "resources/resource.h"

namespace odr::config {

CGetSettingsDlg::CGetSettingsDlg(const AdapterStatus& status)
    : ui::Dialog(IDD_GET_SETTINGS), status_(status) {}

bool CGetSettingsDlg::OnInitDialog() {
    window().SetText(IDC_GS_NODE_ADDRESS, FieldText(status_.nodeAddress));
    window().SetText(IDC_GS_ROM_VERSION, FieldText(status_.romVersion));
    char country[8];
    platform::FormatText(country, sizeof country, "%x", unsigned(status_.countryCode));
    window().SetText(IDC_GS_COUNTRY_CODE, country);
    window().SetText(IDC_GS_RSSI_MAP, FieldText(status_.rssiText));
    return true;
}

void CGetSettingsDlg::OnCommand(int id) {
    // "Done", Enter, Escape and the close box.
    if (id == ui::kIdOk || id == ui::kIdCancel) window().End(id);
}

}  // namespace odr::config
