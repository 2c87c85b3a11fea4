// The Master List window: opening, the search tick and its domain steps, choosing a master,
// Search All / Search One and the domain list, Use Domain, Test Link, View Cell, Help and
// closing.
#include "masters/MasterListDlg.h"

#include <algorithm>

#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/Firmware.h"
#include "driver/FixedText.h"
#include "driver/Operations.h"
#include "driver/Queries.h"
#include "masters/ChangeDomainDlg.h"
#include "platform/Platform.h"
#include "resources/resource.h"
#include "settings/AdapterSettings.h"
#include "shell/kit/HelpDlg.h"
#include "shell/kit/HelpFile.h"

namespace odr::masters {

namespace {

// The stop-search pause sleeps in slices this long, serving paints in between.
constexpr uint32_t kPauseSliceMs = 20;

const struct {
    const char* title;
    int width;
} kColumns[] = {{"Address", 96}, {"Domain", 48}, {"Ch/Sub", 56}, {"Name", 99}};

}  // namespace

CMasterListDlg::CMasterListDlg(shell::ShellContext& context, settings::AdapterSettings& settings,
                               shell::ToolLauncher& tools)
    : ui::Dialog(IDD_MASTER_LIST), ctx_(context), settings_(settings), tools_(tools) {}

bool CMasterListDlg::OnInitDialog() {
    ui::Window& w = window();
    AdapterContext& adapter = ctx_.adapter;
    dismissed_ = false;
    w.SetRadioIndex(IDC_ML_SEARCH_ALL, searchMode_);
    ui::DropList& domains = w.GetDropList(IDC_MASTER_DOMAIN_LIST);
    if (domains.Count() == 0) {
        for (int d = 0; d < kDomains; ++d) domains.Add(std::to_string(d));
    }

    // A stored domain outside 0-15 would make every search a refused request: start at 0.
    currentDomain_ = settings_.domain >= 0 && settings_.domain < kDomains ? settings_.domain : 0;
    char version[8] = {};
    GetVersion(adapter.channel, version, kAdapter);
    testSupported_ = SupportsDirectedSync(version);
    domains.SelectText(std::to_string(currentDomain_));
    lastDomainStep_ = adapter.clock.Now() - 2000;
    ClearMasterAddr(adapter.channel, kAdapter);
    if (settings_.stationType != kStation) {
        // A master does not hear other masters: listen as a station while the list is open.
        SetStationType(adapter.channel, 0, kAdapter);
        uint8_t syncState = 0;
        InitCard(adapter, &syncState, kAdapter, 0);
    }

    ui::ListView& list = w.GetListView(IDC_ML_LIST);
    if (list.ColumnCount() == 0) {
        for (const auto& c : kColumns) list.AddColumn(c.title, c.width);
    }
    selected_ = nullptr;
    rowCount_ = 0;
    DisableActions();
    ctx_.acceleratorTarget = this;
    w.SetTimer(kSearchTimer, kSearchTickMs);
    ShowDomain();
    w.Enable(IDC_MASTER_DOMAIN_LIST, searchMode_ != kSearchAll);
    return true;
}

void CMasterListDlg::OnTimer(int id) {
    if (id == kSearchTimer) Tick();
}

void CMasterListDlg::Tick() {
    // Nothing else until the driver answers the re-attach.
    if (reattach_.Needed() && !reattach_.Restore(ctx_.adapter)) return;
    RecordSynchronisedMaster();
    if (reattach_.Needed()) return;
    if (ctx_.adapter.clock.Now() - lastDomainStep_ >= kDomainListenMs) StepDomain();
}

void CMasterListDlg::NoteResult(int result) {
    reattach_.Note(result);
}

void CMasterListDlg::RecordSynchronisedMaster() {
    const MasterNode node = ReadMasterNode(ctx_.adapter.channel, kAdapter);
    NoteResult(node.result);
    if (!node.Read() || node.syncState == 0) return;
    const CMasterEntry* entry = masters_.Add(node.masterAddress, node.masterName, currentDomain_,
                                             node.channel, node.subchannel);
    if (entry == nullptr) return;
    // A row refers to its record by position + 1 (0 is no row).
    if (window().GetListView(IDC_ML_LIST).InsertRow(rowCount_, entry->Cells(), masters_.Count()) >=
        0) {
        ++rowCount_;
    }
}

void CMasterListDlg::StepDomain() {
    AdapterContext& adapter = ctx_.adapter;
    StopSearchPause();
    ClearMasterAddr(adapter.channel, kAdapter);
    currentDomain_ = NextDomain(currentDomain_, searchMode_);
    ShowDomain();
    NoteResult(SearchAsynchronous(adapter.channel, uint8_t(currentDomain_), kAdapter));
    lastDomainStep_ = adapter.clock.Now();
}

void CMasterListDlg::StopSearchPause() {
    platform::Clock& clock = ctx_.adapter.clock;
    ui::Window& w = window();
    const uint32_t start = clock.Now();
    const int result = StopSearch(ctx_.adapter.channel, kAdapter);
    // The pause is a pause: sleep it out (painting meanwhile) rather than spin.
    for (uint32_t elapsed = clock.Now() - start; elapsed < kStopSearchPauseMs;
         elapsed = clock.Now() - start) {
        w.ServePendingPaint();
        clock.Sleep(std::min(kStopSearchPauseMs - elapsed, kPauseSliceMs));
    }
    if (!SearchStopped(result)) StopSearch(ctx_.adapter.channel, kAdapter);
}

void CMasterListDlg::ShowDomain() {
    window().SetText(IDC_ML_SEARCHING, std::to_string(currentDomain_));
}

void CMasterListDlg::TakeSelection() {
    ui::ListView& list = window().GetListView(IDC_ML_LIST);
    selected_ = nullptr;
    for (int row = 0; row < list.RowCount(); ++row) {
        if (list.IsSelected(row)) selected_ = masters_.At(int(list.RowRef(row)) - 1);
    }
    if (selected_ == nullptr) return;
    window().Enable(IDC_ML_USE_DOMAIN, true);
    if (testSupported_) {
        window().Enable(IDC_ML_TEST_LINK, true);
        window().Enable(IDC_ML_VIEW_CELL, true);
    }
}

void CMasterListDlg::DisableActions() {
    window().Enable(IDC_ML_VIEW_CELL, false);
    window().Enable(IDC_ML_USE_DOMAIN, false);
    window().Enable(IDC_ML_TEST_LINK, false);
}

void CMasterListDlg::OnNotify(int id, ui::Notify code) {
    if (id == IDC_ML_LIST) {
        if (code == ui::Notify::Clicked || code == ui::Notify::FocusGained) {
            TakeSelection();
        } else if (code == ui::Notify::DoubleClicked && testSupported_) {
            TakeSelection();
            TestLink();
            if (!IsOpen()) return;
            ui::ListView& list = window().GetListView(IDC_ML_LIST);
            for (int row = 0; row < list.RowCount(); ++row) {
                if (list.IsSelected(row)) list.SetSelected(row, false);
            }
        }
        return;
    }
    if (id == IDC_MASTER_DOMAIN_LIST) {
        if (code == ui::Notify::SelectionChanged) DomainChanged();
        return;
    }
    ui::Dialog::OnNotify(id, code);
}

void CMasterListDlg::OnCommand(int id) {
    switch (id) {
        case ui::kIdOk:
            searchMode_ = window().RadioIndex(IDC_ML_SEARCH_ALL);
            Dismiss(ui::kIdOk);
            break;
        case ui::kIdCancel:
            Dismiss(ui::kIdCancel);
            break;
        case IDC_ML_SEARCH_ALL:
            SearchAll();
            break;
        case IDC_ML_SEARCH_ONE:
            SearchOne();
            break;
        case IDC_ML_USE_DOMAIN:
            UseDomain();
            break;
        case IDC_ML_TEST_LINK:
            TestLink();
            break;
        case IDC_ML_VIEW_CELL:
            ViewCell();
            break;
        case IDC_ML_HELP: {
            shell::CHelpDlg help(ctx_.adapter.os, shell::kHelpContextMasterList);
            ctx_.host.RunModal(help);
            break;
        }
    }
}

void CMasterListDlg::Dismiss(int result) {
    // The window goes only when the running handler returns (SynchToMaster may be polling).
    dismissed_ = true;
    window().End(result);
}

void CMasterListDlg::OnAccelerator(int id) {
    if (HandlesAccelerator(id)) window().SetFocus(id);
}

void CMasterListDlg::SearchAll() {
    ui::Window& w = window();
    selected_ = nullptr;
    w.Enable(IDC_MASTER_DOMAIN_LIST, false);
    w.Enable(IDC_ML_DOMAIN_LABEL, false);
    DisableActions();
    searchMode_ = kSearchAll;
}

void CMasterListDlg::SearchOne() {
    ui::Window& w = window();
    selected_ = nullptr;
    w.Enable(IDC_MASTER_DOMAIN_LIST, true);
    TakeListedDomain();
    w.Enable(IDC_ML_DOMAIN_LABEL, true);
    DisableActions();
    searchMode_ = kSearchOne;
}

void CMasterListDlg::TakeListedDomain() {
    // The items are "0" to "15": the index is the domain. Without a selection the domain
    // being searched stays.
    const int listed = window().GetDropList(IDC_MASTER_DOMAIN_LIST).Selection();
    if (listed < 0 || listed >= kDomains) return;
    currentDomain_ = listed;
    ShowDomain();
}

void CMasterListDlg::DomainChanged() {
    TakeListedDomain();
    selected_ = nullptr;
    DisableActions();
}

void CMasterListDlg::UseDomain() {
    if (selected_ != nullptr) {
        CChangeDomainDlg question(selected_->domain);
        ctx_.host.RunModal(question);
        if (question.Confirmed() && IsOpen()) {
            ui::Window& w = window();
            const int domain = question.Domain();
            const std::string text = std::to_string(domain);
            currentDomain_ = domain;
            w.Enable(IDC_MASTER_DOMAIN_LIST, true);
            w.GetDropList(IDC_MASTER_DOMAIN_LIST).SelectText(text);
            w.Enable(IDC_ML_DOMAIN_LABEL, true);
            searchMode_ = kSearchOne;
            SetDomain(ctx_.adapter.channel, text.c_str(), kAdapter);
            settings_.SaveDomain(domain);
            w.SetRadioIndex(IDC_ML_SEARCH_ALL, kSearchOne);
        }
    }
    if (!IsOpen()) return;
    selected_ = nullptr;
    DisableActions();
}

template <typename Open>
void CMasterListDlg::OnChosenMaster(Open open) {
    ui::Window& w = window();
    w.KillTimer(kSearchTimer);
    StopSearchPause();
    if (selected_ != nullptr) {
        const CMasterEntry master = *selected_;
        const int result =
            SynchToMaster(ctx_.adapter, uint8_t(settings_.stationType), uint8_t(master.domain),
                          uint8_t(master.channel), uint8_t(master.subchannel), master.name.c_str(),
                          master.address.c_str(), kAdapter);
        // The move lets mouse messages through: the choice may have been undone, or the
        // window dismissed, meanwhile.
        if (selected_ != nullptr && IsOpen() && !dismissed_) {
            if (result != kOk) {
                // The tool names the chosen master even though the adapter is not on it.
                AdapterStatus& status = ctx_.adapter.status;
                StoreFieldText(status.masterName, master.name);
                StoreFieldText(status.masterAddress, master.address);
            }
            open(master, result);
        }
    }
    if (!IsOpen() || dismissed_) return;
    w.SetTimer(kSearchTimer, kSearchTickMs);
    selected_ = nullptr;
    DisableActions();
}

void CMasterListDlg::TestLink() {
    OnChosenMaster([this](const CMasterEntry& master, int result) {
        settings_.LoadSettings();
        shell::LinkTestTarget target;
        target.address = master.address;
        target.radioMode = settings_.radioMode;
        target.masterDomain = uint8_t(master.domain);
        target.masterChannel = uint8_t(master.channel);
        target.masterSubchannel = uint8_t(master.subchannel);
        target.stationType = uint8_t(settings_.stationType);
        const int helpContext = ctx_.helpContext;
        ctx_.helpContext = shell::kHelpContextDirectedLink;
        tools_.RunLinkTest(target);
        ctx_.helpContext = helpContext;
        // The adapter never synchronised: leave it not searching.
        if (result == kSynchNone) StopSearch(ctx_.adapter.channel, kAdapter);
    });
}

void CMasterListDlg::ViewCell() {
    OnChosenMaster([this](const CMasterEntry&, int result) {
        tools_.RunCellSurvey(settings_, result == kOk);
    });
}

void CMasterListDlg::OnDestroy() {
    window().KillTimer(kSearchTimer);
    if (settings_.stationType != kStation) {
        SetStationType(ctx_.adapter.channel, uint8_t(settings_.stationType), kAdapter);
    }
    if (ctx_.acceleratorTarget == this) ctx_.acceleratorTarget = nullptr;
}

}  // namespace odr::masters
