// The plain-text help file: finding it, the keyword rule and section extraction, and the
// table of help contexts the main window's Help button chooses from.
#pragma once

#include <string>
#include <vector>

namespace odr::platform {
class Os;
}

namespace odr::shell {

constexpr const char kHelpFileName[] = "odrcfg.hlp";

// Help context ids: the window in front.
constexpr int kHelpContextMain = 102;
constexpr int kHelpContextMasterList = 1000;
constexpr int kHelpContextSiteSurvey = 1001;
constexpr int kHelpContextSnoop = 1010;
constexpr int kHelpContextConfiguration = 1051;
constexpr int kHelpContextDirectedLink = 1124;
constexpr int kHelpContextCoverageMap = 1170;

struct HelpTopic {
    std::string startKeyword;
    std::string endKeyword;
    std::string title;
};

// The section for a help context; an unknown context gives empty keywords and title.
HelpTopic HelpTopicFor(int helpContext);

// True when `line` begins with `keyword`: the longest run of characters at the line's start
// that all occur in the keyword equals the keyword. An empty keyword never matches.
bool LineBeginsWithKeyword(const std::string& line, const std::string& keyword);

// The lines of the section that starts after the line beginning with `startKeyword` and
// runs to the line beginning with `endKeyword` or to the end of the text. Comment lines
// (first character ';') are left out; empty lines are kept. Line ends (LF or CRLF) are
// removed.
std::vector<std::string> ExtractHelpSection(const std::string& contents,
                                            const std::string& startKeyword,
                                            const std::string& endKeyword);

// Reads the help file: the current folder first, then the program's own folder, then each
// folder of PATH. False when none could be read.
bool ReadHelpFile(platform::Os& os, std::string* contents);

}  // namespace odr::shell
