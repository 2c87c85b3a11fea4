// odrcfg's dialog templates as Windows builds them: each window is created from the
// program's own resources and holds its title and every control its dialog reaches by id.
#include <gtest/gtest.h>
#include <windows.h>

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
};

INT_PTR CALLBACK Quiet(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

class TemplatesTest : public ::testing::Test {
  protected:
    void SetUp() override {
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
