// The Master List window (template 134): searches the network domains one after another (or
// one chosen domain), lists every master heard, and on a chosen master adopts its domain,
// runs the directed link test or surveys its cell.
#pragma once

#include <cstdint>
#include <string>

#include "driver/Reattach.h"
#include "masters/MasterList.h"
#include "resources/resource.h"
#include "shell/kit/ShellContext.h"
#include "shell/kit/ToolLauncher.h"
#include "ui/Dialog.h"

namespace odr::settings {
class AdapterSettings;
}

namespace odr::masters {

constexpr int kSearchTimer = 1;
constexpr unsigned kSearchTickMs = 100;
// Each domain is listened to this long, then the search is stopped for the pause.
constexpr uint32_t kDomainListenMs = 1500;
constexpr uint32_t kStopSearchPauseMs = 500;

class CMasterListDlg : public ui::Dialog {
  public:
    // `settings` is the main window's record; `tools` opens the link test and the survey.
    CMasterListDlg(shell::ShellContext& context, settings::AdapterSettings& settings,
                   shell::ToolLauncher& tools);

    // Set by the opener before the window runs, read back after it has closed.
    void SetSearchMode(int mode) { searchMode_ = mode; }
    int SearchMode() const { return searchMode_; }

    bool OnInitDialog() override;
    void OnTimer(int id) override;
    void OnCommand(int id) override;
    void OnNotify(int id, ui::Notify code) override;
    void OnAccelerator(int id) override;
    // Of the program's accelerators only Alt+D (the domain list) is this window's.
    bool HandlesAccelerator(int id) const override { return id == IDC_MASTER_DOMAIN_LIST; }
    void OnClose() override { Dismiss(2); }
    void OnDestroy() override;

    // State, readable by tests.
    const MasterList& Masters() const { return masters_; }
    int CurrentDomain() const { return currentDomain_; }
    const CMasterEntry* Selected() const { return selected_; }
    bool TestSupported() const { return testSupported_; }
    bool ReattachNeeded() const { return reattach_.Needed(); }

  private:
    void Tick();
    void RecordSynchronisedMaster();
    void StepDomain();
    void StopSearchPause();
    void ShowDomain();
    // The domain chosen in the domain list becomes the one searched.
    void TakeListedDomain();
    void TakeSelection();
    void DisableActions();
    // Stops the search, moves the adapter onto the chosen master and runs `open` with the
    // SynchToMaster result; then restarts the search.
    template <typename Open>
    void OnChosenMaster(Open open);
    void TestLink();
    void ViewCell();
    void UseDomain();
    void SearchAll();
    void SearchOne();
    void DomainChanged();
    void NoteResult(int result);
    // Done, Esc or the close box.
    void Dismiss(int result);

    shell::ShellContext& ctx_;
    settings::AdapterSettings& settings_;
    shell::ToolLauncher& tools_;
    MasterList masters_;
    int currentDomain_ = 0;
    uint32_t lastDomainStep_ = 0;
    int rowCount_ = 0;
    const CMasterEntry* selected_ = nullptr;
    bool testSupported_ = false;
    Reattach reattach_;
    bool dismissed_ = false;  // closing: nothing more is opened from the list
    int searchMode_ = kSearchOne;
};

}  // namespace odr::masters
