// The Site Survey window from odrcfg's own template and button images, on the Win32 window
// layer and the simulated default site, under Wine: every control of the template is there
// with its kind, and a few rounds in real time fill row 0 with the master.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/Operations.h"
#include "driver/RssiTable.h"
#include "driver/Trace.h"
#include "platform/MemoryRegistry.h"
#include "resources/resource.h"
#include "settings/AdapterSettings.h"
#include "shell/kit/ShellContext.h"
#include "shell/kit/ToolLauncher.h"
#include "sim/SimDevice.h"
#include "survey/SiteSurveyDlg.h"
#include "survey/SurveyScroll.h"

// The portable headers first: <windows.h> renames Yield and LoadString.
#include "platform/win32/Win32Platform.h"
#include "ui/win32/Win32Host.h"

namespace odr::survey {
namespace {

// odrcfg.exe of the same build, loaded for its resources only; null when this build has no
// programs (the 32-bit test-only build).
HMODULE LoadProgram() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path);
    folder = folder.substr(0, folder.find_last_of("\\/"));  // tests\windows
    return LoadLibraryExA((folder + "\\..\\..\\odrcfg.exe").c_str(), nullptr,
                          LOAD_LIBRARY_AS_DATAFILE);
}

std::string ClassOf(HWND control) {
    char name[64] = {};
    GetClassNameA(control, name, sizeof name);
    return name;
}

// The survey, looking at its own window after a few rounds and then closing itself.
class ProbedSurvey : public CSiteSurveyDlg {
  public:
    using CSiteSurveyDlg::CSiteSurveyDlg;
    ui::win32::Win32Host* host = nullptr;
    int rounds = 0;
    std::string title, row0, count;
    bool buttonShown = false;
    LONG buttonStyle = 0;
    std::vector<std::string> problems;

    bool OnInitDialog() override {
        const bool focus = CSiteSurveyDlg::OnInitDialog();
        HWND hwnd = host->WindowOf(*this);
        char text[64] = {};
        GetWindowTextA(hwnd, text, sizeof text);
        title = text;
        auto expect = [&](int id, const char* kind) {
            HWND control = GetDlgItem(hwnd, id);
            if (control == nullptr) {
                problems.push_back("no control " + std::to_string(id));
            } else if (lstrcmpiA(ClassOf(control).c_str(), kind) != 0) {
                problems.push_back(std::to_string(id) + " is a " + ClassOf(control));
            }
        };
        for (int r = 0; r < kRows; ++r) {
            expect(IDC_SURVEY_TEST_FIRST + r, "Button");
            expect(IDC_SURVEY_ADDRESS_FIRST + r, "Static");
            expect(IDC_SURVEY_MASTER_FIRST + r, "Static");
            expect(IDC_SURVEY_QUALITY_FIRST + r, "Static");
            expect(IDC_SURVEY_ACTIVITY_FIRST + r, "Static");
            expect(IDC_SURVEY_BAR_FIRST + r, "msctls_progress32");
            expect(IDC_SURVEY_VALUE_FIRST + r, "Static");
        }
        for (int id : {IDC_SURVEY_ROAMING, IDC_SURVEY_TIME_ORDER, IDC_SURVEY_ADDRESS_ORDER, IDOK,
                       IDC_SURVEY_HELP, IDC_SURVEY_FRAME})
            expect(id, "Button");
        expect(IDC_SURVEY_SCROLL, "ScrollBar");
        expect(IDC_SURVEY_NODE_COUNT, "Static");
        expect(IDC_SURVEY_OUT_OF_RANGE, "Static");
        return focus;
    }
    void OnTimer(int id) override {
        const bool round = RoundRunning();
        CSiteSurveyDlg::OnTimer(id);
        if (round && !RoundRunning()) ++rounds;
        if (rounds < 3 || !RoundRunning()) return;
        HWND hwnd = host->WindowOf(*this);
        char text[64] = {};
        GetDlgItemTextA(hwnd, IDC_SURVEY_ADDRESS_FIRST, text, sizeof text);
        row0 = text;
        GetDlgItemTextA(hwnd, IDC_SURVEY_NODE_COUNT, text, sizeof text);
        count = text;
        HWND button = GetDlgItem(hwnd, IDC_SURVEY_TEST_FIRST);
        buttonShown = IsWindowVisible(button) != FALSE;
        buttonStyle = GetWindowLongA(button, GWL_STYLE);
        OnCommand(IDOK);
    }
};

TEST(SurveyWindowTest, TemplateHasEveryControlAndRowZeroShowsTheMaster) {
    HMODULE program = LoadProgram();
    if (program == nullptr) GTEST_SKIP() << "this build has no odrcfg.exe";
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(IDD_SITE_SURVEY), MAKEINTRESOURCEA(5));
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(program, found)));
    std::vector<uint8_t> dialogTemplate(bytes, bytes + SizeofResource(program, found));

    ui::win32::Win32Host host(GetModuleHandleA(nullptr));
    host.SetTemplate(IDD_SITE_SURVEY, dialogTemplate);
    for (const char* name : {"DLU", "DLD"}) {
        HANDLE image = LoadImageA(program, name, IMAGE_BITMAP, 0, 0, 0);
        ASSERT_NE(image, nullptr) << name;
        host.SetBitmap(name, static_cast<HBITMAP>(image));
    }

    std::unique_ptr<platform::Os> os = platform::CreateWin32Os();
    std::unique_ptr<platform::Clock> clock = platform::CreateWin32Clock();
    sim::SimDeviceHost devices(sim::DefaultScenario(), *clock);
    Trace trace;
    Channel channel(devices, *os, *clock, trace);
    ASSERT_EQ(channel.OpenDriver(), 0);
    AdapterStatus status;
    RssiTable rssi;
    AdapterContext adapter{channel, *clock, *os, status, rssi, nullptr};
    uint8_t sync = 0;
    ASSERT_EQ(ReattachDriver(channel, 0), 0);
    ASSERT_EQ(InitCard(adapter, &sync, 0, 0), 0);
    ASSERT_NE(sync, 0);

    platform::MemoryRegistry registry;
    shell::ShellContext ctx(adapter, host, registry);
    settings::AdapterSettings settings(registry, *os, [] { return settings::kNoDriverKind; });
    shell::NoTools tools;
    ProbedSurvey survey(ctx, settings, tools);
    survey.host = &host;
    EXPECT_EQ(host.RunModal(survey), IDOK);

    EXPECT_EQ(survey.title, "Site Survey");
    EXPECT_TRUE(survey.problems.empty()) << survey.problems.front();
    EXPECT_EQ(survey.row0, "0020a6100001");
    EXPECT_NE(survey.count, "0");
    EXPECT_NE(survey.count, "");
    EXPECT_TRUE(survey.buttonShown);
    EXPECT_EQ(survey.buttonStyle & BS_TYPEMASK, BS_OWNERDRAW);  // drawn from DLU and DLD
    FreeLibrary(program);
}

}  // namespace
}  // namespace odr::survey
