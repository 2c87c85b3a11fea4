// The Directed Link window's template as odrcfg.exe carries it: created under Wine from the
// program's own resources, with its title, every control the window reaches by id, the
// common controls it needs and the "Out of Range of Master" text hidden at first.
#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

#include <string>
#include <vector>

#include "resources/resource.h"

namespace odr::linktest {
namespace {

// odrcfg.exe of this build: beside the test's folders (the 64-bit build), or the shipped
// 32-bit build beside a test-only build. Empty when none was built.
std::string FindProgram() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    for (int level = 0; level < 4; ++level) {
        const size_t slash = folder.find_last_of("\\/");
        if (slash == std::string::npos) break;
        folder.resize(slash);
        for (const char* candidate : {"\\odrcfg.exe", "\\win32\\odrcfg.exe"}) {
            const std::string file = folder + candidate;
            if (GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES) return file;
        }
    }
    return std::string();
}

INT_PTR CALLBACK NoHandling(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

std::string ClassOf(HWND control) {
    char name[64] = {};
    GetClassNameA(control, name, sizeof name);
    return name;
}

std::string TextOf(HWND control) {
    char text[128] = {};
    GetWindowTextA(control, text, sizeof text);
    return text;
}

TEST(LinkTestTemplateTest, CreatedFromTheProgramsTemplateWithEveryControl) {
    const std::string program = FindProgram();
    if (program.empty()) GTEST_SKIP() << "odrcfg.exe is not built beside this test";
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));

    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << program;
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(IDD_DIRECTED_LINK), RT_DIALOG);
    ASSERT_NE(resource, nullptr);
    HGLOBAL loaded = LoadResource(module, resource);
    ASSERT_NE(loaded, nullptr);
    auto* dialogTemplate = static_cast<LPCDLGTEMPLATEA>(LockResource(loaded));
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate, nullptr,
                                             NoHandling, 0);
    ASSERT_NE(dialog, nullptr) << GetLastError();

    EXPECT_EQ(TextOf(dialog), "Directed Link");
    const std::vector<int> ids = {IDC_LINK_MASTER_HEADING,
                                  IDC_LINK_ADDRESS,
                                  IDC_LINK_MASTER_NAME,
                                  IDC_LINK_PACKETS,
                                  IDC_LINK_BYTES,
                                  IDC_LINK_SIGNAL_BAR,
                                  IDC_LINK_SIGNAL_TEXT,
                                  IDC_LINK_LATENCY_GROUP,
                                  IDC_LINK_LATENCY_HEADING,
                                  IDC_LINK_MAXIMUM_HEADING,
                                  IDC_LINK_DEVIATION_HEADING,
                                  IDC_LINK_LATENCY,
                                  IDC_LINK_MAXIMUM,
                                  IDC_LINK_DEVIATION,
                                  IDC_LINK_SECONDS,
                                  IDC_LINK_AVERAGE_PACKETS,
                                  IDC_LINK_AVERAGE_BYTES,
                                  IDC_LINK_AVERAGE_LATENCY_HEADING,
                                  IDC_LINK_AVERAGE_LATENCY,
                                  IDC_LINK_RADIO_MODE_LABEL,
                                  IDC_LINK_RADIO_MODE,
                                  IDC_LINK_OUT_OF_RANGE,
                                  IDC_LINK_RADIO_LEVEL,
                                  IDC_LINK_DRIVER_LEVEL,
                                  IDC_LINK_PACKET_SIZE,
                                  IDC_LINK_PACKET_SLIDER,
                                  IDC_LINK_RESET,
                                  IDOK,
                                  IDC_LINK_HELP};
    for (int id : ids) EXPECT_NE(GetDlgItem(dialog, id), nullptr) << id;

    EXPECT_EQ(ClassOf(GetDlgItem(dialog, IDC_LINK_SIGNAL_BAR)), PROGRESS_CLASSA);
    EXPECT_EQ(ClassOf(GetDlgItem(dialog, IDC_LINK_PACKET_SLIDER)), TRACKBAR_CLASSA);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_LINK_OUT_OF_RANGE)));
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_LINK_OUT_OF_RANGE)), "Out of Range of Master");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_LINK_LATENCY_GROUP)),
              "Transmit Packet Latency (msec):");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_LINK_RADIO_LEVEL)), "&Radio-Level");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_LINK_DRIVER_LEVEL)), "&Driver-Level");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_LINK_RESET)), "Reset");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDOK)), "Done");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_LINK_HELP)), "&Help");
    for (int id :
         {IDC_LINK_LATENCY, IDC_LINK_MAXIMUM, IDC_LINK_DEVIATION, IDC_LINK_AVERAGE_LATENCY})
        EXPECT_EQ(TextOf(GetDlgItem(dialog, id)), "0") << id;

    // The two ping types form one group: the second follows the first.
    HWND radio = GetDlgItem(dialog, IDC_LINK_RADIO_LEVEL);
    EXPECT_NE(GetWindowLongA(radio, GWL_STYLE) & WS_GROUP, 0);
    EXPECT_EQ(GetNextDlgGroupItem(dialog, radio, FALSE), GetDlgItem(dialog, IDC_LINK_DRIVER_LEVEL));
    EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog, IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON,
              BS_DEFPUSHBUTTON);

    DestroyWindow(dialog);
    FreeLibrary(module);
}

}  // namespace
}  // namespace odr::linktest
