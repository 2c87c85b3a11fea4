// Opening the tools.
#include "shell/ToolSet.h"

#include "linktest/DirectedLinkDlg.h"
#include "snoop/SnoopDlg.h"

namespace odr::shell {

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

}  // namespace odr::shell
