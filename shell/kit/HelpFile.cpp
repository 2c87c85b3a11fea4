// Help file lookup and section extraction.
#include "shell/kit/HelpFile.h"

#include "platform/Platform.h"

namespace odr::shell {

HelpTopic HelpTopicFor(int helpContext) {
    switch (helpContext) {
        case kHelpContextMain:
            return {"HELPMAIN", "HELPMSTR", "Main Help"};
        case kHelpContextMasterList:
            return {"HELPMSTR", "HELPCONFIG", "Master List Help"};
        case kHelpContextSiteSurvey:
            return {"HELPSITE", "HELPSDIR", "Site Survey Help"};
        case kHelpContextSnoop:
            return {"HELPSNOP", "ZZZZZZZZ", "Snoop Help"};
        case kHelpContextConfiguration:
            return {"HELPCONFIG", "HELPSITE", "Configuration Help"};
        case kHelpContextDirectedLink:
            return {"HELPSDIR", "HELPMSTR", "Directed Site Survey Help"};
        case kHelpContextCoverageMap:
            return {"HELPCMAP", "ZZZZZZZZ", "Coverage Map Help"};
        default:
            return {};
    }
}

bool LineBeginsWithKeyword(const std::string& line, const std::string& keyword) {
    if (keyword.empty()) return false;
    size_t run = 0;
    while (run < line.size() && keyword.find(line[run]) != std::string::npos) ++run;
    return run == keyword.size() && line.compare(0, run, keyword) == 0;
}

std::vector<std::string> ExtractHelpSection(const std::string& contents,
                                            const std::string& startKeyword,
                                            const std::string& endKeyword) {
    std::vector<std::string> lines;
    bool inSection = false;
    size_t pos = 0;
    while (pos < contents.size()) {
        size_t end = contents.find('\n', pos);
        size_t next = end == std::string::npos ? contents.size() : end + 1;
        if (end == std::string::npos) end = contents.size();
        if (end > pos && contents[end - 1] == '\r') --end;
        std::string line = contents.substr(pos, end - pos);
        pos = next;

        if (!inSection) {
            inSection = LineBeginsWithKeyword(line, startKeyword);
            continue;
        }
        if (LineBeginsWithKeyword(line, endKeyword)) break;
        if (!line.empty() && line[0] == ';') continue;
        lines.push_back(std::move(line));
    }
    return lines;
}

bool ReadHelpFile(platform::Os& os, std::string* contents) {
    std::vector<std::string> candidates;
    candidates.push_back(kHelpFileName);
    std::string programFolder = os.ProgramFolder();
    if (!programFolder.empty())
        candidates.push_back(platform::JoinPath(programFolder, kHelpFileName));
    for (const std::string& folder : platform::SplitPath(os.GetEnv("PATH"))) {
        candidates.push_back(platform::JoinPath(folder, kHelpFileName));
    }
    for (const std::string& path : candidates) {
        if (os.ReadTextFile(path, contents)) return true;
    }
    contents->clear();
    return false;
}

}  // namespace odr::shell
