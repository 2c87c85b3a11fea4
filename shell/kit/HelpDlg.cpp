// The Help window.
#include "shell/kit/HelpDlg.h"

#include <utility>

#include "resources/resource.h"

namespace odr::shell {

CHelpDlg::CHelpDlg(platform::Os& os, std::string startKeyword, std::string endKeyword,
                   std::string title)
    : ui::Dialog(IDD_HELP),
      os_(os),
      startKeyword_(std::move(startKeyword)),
      endKeyword_(std::move(endKeyword)),
      title_(std::move(title)) {}

CHelpDlg::CHelpDlg(platform::Os& os, int helpContext) : ui::Dialog(IDD_HELP), os_(os) {
    HelpTopic topic = HelpTopicFor(helpContext);
    startKeyword_ = std::move(topic.startKeyword);
    endKeyword_ = std::move(topic.endKeyword);
    title_ = std::move(topic.title);
}

bool CHelpDlg::OnInitDialog() {
    // An unknown help context has no title; the template's "Help" stays.
    if (!title_.empty()) window().SetTitle(title_);
    window().ListClear(IDC_HELP_LIST);

    std::string contents;
    fileOpened_ = ReadHelpFile(os_, &contents);
    if (fileOpened_) {
        for (const std::string& line : ExtractHelpSection(contents, startKeyword_, endKeyword_)) {
            window().ListAdd(IDC_HELP_LIST, line);
        }
    }
    window().ListScrollToTop(IDC_HELP_LIST);
    return true;
}

void CHelpDlg::OnCommand(int id) {
    if (id == ui::kIdOk || id == ui::kIdCancel) window().End(id);
}

}  // namespace odr::shell
