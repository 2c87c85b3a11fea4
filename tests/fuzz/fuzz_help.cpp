// The help file's section extraction over any text and any keywords.
#include <string>

#include "shell/kit/HelpFile.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using odr::fuzz::Require;
    odr::fuzz::FuzzInput in(data, size);
    const std::string start = in.Text(16);
    const std::string end = in.Text(16);
    const std::string contents = in.Rest();
    for (const std::string& line : odr::shell::ExtractHelpSection(contents, start, end)) {
        Require(line.find('\n') == std::string::npos, "a help line holds no line end");
        Require(line.empty() || line[0] != ';', "comment lines are left out");
        Require(line.size() <= contents.size(), "a help line comes from the text");
    }
    odr::shell::LineBeginsWithKeyword(contents, start);
    return 0;
}
