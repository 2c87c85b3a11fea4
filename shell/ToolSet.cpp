// Opening the tools.
#include "shell/ToolSet.h"

#include "snoop/SnoopDlg.h"

namespace odr::shell {

void CToolSet::RunSnoop() {
    snoop::CSnoopDlg snoop(ctx_);
    ctx_.host.RunModal(snoop);
}

}  // namespace odr::shell
