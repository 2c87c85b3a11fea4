// Opening the tools.
#include "shell/ToolSet.h"

#include "config/ConfigDlg.h"
#include "linktest/DirectedLinkDlg.h"
#include "map/CoverageMapDlg.h"
#include "masters/MasterListDlg.h"
#include "snoop/SnoopDlg.h"
#include "survey/SiteSurveyDlg.h"

namespace odr::shell {

void CToolSet::RunMasterList(settings::AdapterSettings& settings, int* searchMode) {
    masters::CMasterListDlg list(ctx_, settings, *this);
    list.SetSearchMode(*searchMode);
    ctx_.host.RunModal(list);
    *searchMode = list.SearchMode();
}

void CToolSet::RunSiteSurvey(settings::AdapterSettings& settings) {
    survey::CSiteSurveyDlg survey(ctx_, settings, *this);
    survey.SetSortMode(0);
    ctx_.host.RunModal(survey);
}

void CToolSet::RunCellSurvey(settings::AdapterSettings& settings, bool inRange) {
    const int helpContext = ctx_.helpContext;
    ctx_.helpContext = kHelpContextSiteSurvey;
    survey::CSiteSurveyDlg survey(ctx_, settings, *this);
    survey.SetSortMode(0);
    survey.SetInRange(inRange);
    ctx_.host.RunModal(survey);
    ctx_.helpContext = helpContext;
}

void CToolSet::RunSnoop() {
    snoop::CSnoopDlg snoop(ctx_);
    ctx_.host.RunModal(snoop);
}

void CToolSet::RunLinkTest(const LinkTestTarget& target) {
    LinkTestDefaults& defaults = ctx_.linkTestDefaults;
    linktest::CDirectedLinkDlg link(ctx_, target, defaults.packetSize, defaults.pingType);
    ctx_.host.RunModal(link);
    defaults.packetSize = link.PacketSize();
    defaults.pingType = link.PingType();
}

void CToolSet::RunCoverageMap(settings::AdapterSettings& settings) {
    map::CCoverageMapDlg coverage(ctx_, settings);
    ctx_.host.RunModal(coverage);
}

void CToolSet::RunConfiguration(settings::AdapterSettings& settings) {
    config::CConfigDlg configuration(ctx_, settings);
    configuration.Fill(settings);
    ctx_.host.RunModal(configuration);
}

}  // namespace odr::shell
