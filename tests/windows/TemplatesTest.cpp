// odrcfg's dialog templates as Windows builds them: each window is created from the
// program's own resources and holds its title and every control its dialog reaches by id.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

struct Window {
    int templateId;
    const char* title;
    std::vector<int> controls;
};

const Window kWindows[] = {
    {IDD_ODRCFG_DIALOG,
     "Ondrel Site Survey & Configuration Tool",
     {IDC_MASTERS, IDC_SITE_SURVEY, IDC_STATUS_TEXT, IDC_SNOOP, IDC_CONFIGURATION, IDC_MAIN_HELP,
      IDOK}},
    {IDD_ERROR, "Error", {IDC_ERROR_HEADING, IDC_ERROR_MESSAGE, IDOK}},
    {IDD_STATUS, "Status", {IDC_STATUS_MESSAGE}},
    {IDD_HELP, "Help", {IDC_HELP_LIST, IDOK}},
    {IDD_SNOOP,
     "Snoop",
     {IDC_SNOOP_GRAPH, IDC_SNOOP_FIRST_FREQ, IDC_SNOOP_LAST_FREQ, IDC_SNOOP_SLOW, IDC_SNOOP_MEDIUM,
      IDC_SNOOP_FAST, IDOK, IDC_SNOOP_HELP}},
    {IDD_MASTER_LIST,
     "Master List",
     {IDC_ML_SEARCH_ALL, IDC_ML_SEARCH_ONE, IDC_ML_DOMAIN_LABEL, IDC_MASTER_DOMAIN_LIST,
      IDC_ML_SEARCHING, IDC_ML_LIST, IDOK, IDC_ML_USE_DOMAIN, IDC_ML_TEST_LINK, IDC_ML_VIEW_CELL,
      IDC_ML_HELP}},
    {IDD_CHANGE_DOMAIN, "Change Domain", {IDC_CD_QUESTION, IDOK, IDCANCEL}},
    {IDD_GET_SETTINGS,
     "Get Settings",
     {IDC_GS_NODE_ADDRESS, IDC_GS_ROM_VERSION, IDC_GS_COUNTRY_CODE, IDC_GS_RSSI_MAP, IDC_GS_SPARE,
      IDOK}},
    {IDD_CONFIGURATION,
     "Configuration",
     {IDC_STATION_TYPE,
      IDC_CFG_MASTER_NAME_LABEL,
      IDC_MASTER_NAME,
      IDC_CFG_CHANNEL_LABEL,
      IDC_CHANNEL,
      IDC_CFG_SUBCHANNEL_LABEL,
      IDC_SUBCHANNEL,
      IDC_DOMAIN,
      IDC_CFG_MAC_LABEL,
      IDC_MAC_OPTIMIZE,
      IDC_CFG_ROAM_LABEL,
      IDC_ROAM_CONFIG,
      IDC_CFG_SECONDS_LABEL,
      IDC_INACTIVITY_SECONDS,
      IDC_CFG_MINUTES_LABEL,
      IDC_INACTIVITY_MINUTES,
      IDC_CFG_PEER_TO_PEER,
      IDC_CFG_GET_SETTINGS,
      IDC_CFG_SECURITY_ID,
      IDC_CFG_DEFAULTS,
      IDC_CFG_OK,
      IDCANCEL,
      IDC_CFG_HELP,
      IDC_CFG_VERY_ADVANCED}},
    {IDD_SETUP_WARNING, "Ondrel Setup", {IDC_SETUP_CONTINUE, IDCANCEL}},
    {IDD_SECURITY_ID, "Security ID", {IDC_SECURITY_ID_EDIT, IDC_SECURITY_ID_OK, IDCANCEL}},
};

INT_PTR CALLBACK Quiet(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

class TemplatesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
        ASSERT_TRUE(InitCommonControlsEx(&controls));
        module_ = LoadLibraryExA(ODR_ODRCFG_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr) << ODR_ODRCFG_EXE;
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }
    HMODULE module_ = nullptr;
};

TEST_F(TemplatesTest, EveryWindowHasItsTitleAndControls) {
    for (const Window& w : kWindows) {
        HWND dialog =
            CreateDialogParamA(module_, MAKEINTRESOURCEA(w.templateId), nullptr, Quiet, 0);
        ASSERT_NE(dialog, nullptr) << "template " << w.templateId;
        char title[128] = {};
        GetWindowTextA(dialog, title, sizeof title);
        EXPECT_EQ(std::string(title), w.title) << "template " << w.templateId;
        for (int id : w.controls) {
            EXPECT_NE(GetDlgItem(dialog, id), nullptr)
                << "template " << w.templateId << " id " << id;
        }
        DestroyWindow(dialog);
    }
}

// The Master List's action buttons wait for a chosen master; its list is a single-selection
// report whose headers do not sort.
TEST_F(TemplatesTest, MasterListStartsWithItsActionsDisabled) {
    HWND dialog = CreateDialogParamA(module_, MAKEINTRESOURCEA(IDD_MASTER_LIST), nullptr, Quiet, 0);
    ASSERT_NE(dialog, nullptr);
    for (int id : {IDC_ML_USE_DOMAIN, IDC_ML_TEST_LINK, IDC_ML_VIEW_CELL}) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;
    }
    const LONG style = GetWindowLongA(GetDlgItem(dialog, IDC_ML_LIST), GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_NE(style & LVS_SINGLESEL, 0);
    EXPECT_NE(style & LVS_SHOWSELALWAYS, 0);
    EXPECT_NE(style & LVS_NOSORTHEADER, 0);
    DestroyWindow(dialog);
}

// The Configuration window's master-only controls and the hidden button start disabled;
// OK is the default button and "&Peer To Peer" ticks itself.
TEST_F(TemplatesTest, ConfigurationStartsWithTheMastersControlsDisabled) {
    HWND dialog =
        CreateDialogParamA(module_, MAKEINTRESOURCEA(IDD_CONFIGURATION), nullptr, Quiet, 0);
    ASSERT_NE(dialog, nullptr);
    for (int id : {IDC_CFG_MASTER_NAME_LABEL, IDC_MASTER_NAME, IDC_CFG_CHANNEL_LABEL, IDC_CHANNEL,
                   IDC_CFG_SUBCHANNEL_LABEL, IDC_SUBCHANNEL, IDC_CFG_MAC_LABEL, IDC_MAC_OPTIMIZE,
                   IDC_CFG_VERY_ADVANCED}) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;
    }
    for (int id : {IDC_STATION_TYPE, IDC_DOMAIN, IDC_ROAM_CONFIG, IDC_INACTIVITY_SECONDS,
                   IDC_INACTIVITY_MINUTES, IDC_CFG_PEER_TO_PEER, IDC_CFG_OK, IDCANCEL}) {
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;
    }
    EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog, IDC_CFG_OK), GWL_STYLE) & BS_TYPEMASK,
              BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog, IDC_CFG_PEER_TO_PEER), GWL_STYLE) & BS_TYPEMASK,
              BS_AUTOCHECKBOX);
    DestroyWindow(dialog);
}

// Bitmap statics take their images from the program: the Snoop legend's squares are solid
// green and navy.
TEST_F(TemplatesTest, SnoopLegendSquaresAreGreenAndNavy) {
    const struct {
        int id;
        COLORREF colour;
    } legend[] = {{IDB_SNOOP_PEAK, RGB(0, 255, 0)}, {IDB_SNOOP_AVERAGE, RGB(0, 0, 128)}};
    for (const auto& l : legend) {
        HBITMAP bitmap = static_cast<HBITMAP>(
            LoadImageA(module_, MAKEINTRESOURCEA(l.id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        ASSERT_NE(bitmap, nullptr) << l.id;
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        EXPECT_EQ(GetPixel(dc, 0, 0), l.colour) << l.id;
        EXPECT_EQ(GetPixel(dc, 3, 3), l.colour) << l.id;
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
}

}  // namespace
