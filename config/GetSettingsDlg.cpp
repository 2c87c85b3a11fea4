// The Get Settings window.
#include "config/GetSettingsDlg.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "driver/AdapterStatus.h"
#include "resources/resource.h"

namespace odr::config {

namespace {

// A fixed-size text field of AdapterStatus, up to its first NUL.
template <size_t N>
std::string Field(const char (&text)[N]) {
    return std::string(text, strnlen(text, N));
}

}  // namespace

CGetSettingsDlg::CGetSettingsDlg(const AdapterStatus& status)
    : ui::Dialog(IDD_GET_SETTINGS), status_(status) {}

bool CGetSettingsDlg::OnInitDialog() {
    window().SetText(IDC_GS_NODE_ADDRESS, Field(status_.nodeAddress));
    window().SetText(IDC_GS_ROM_VERSION, Field(status_.romVersion));
    char country[8];
    std::snprintf(country, sizeof country, "%x", unsigned(status_.countryCode));
    window().SetText(IDC_GS_COUNTRY_CODE, country);
    window().SetText(IDC_GS_RSSI_MAP, Field(status_.rssiText));
    return true;
}

void CGetSettingsDlg::OnCommand(int id) {
    // "Done", Enter, Escape and the close box.
    if (id == 1 || id == 2) window().End(id);
}

}  // namespace odr::config
