// The CSV session log.
#include "shell/kit/SessionLog.h"

#include "platform/Platform.h"

namespace odr::shell {

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ',';
        line += CsvField(fields[i]);
    }
    return line + "\r\n";
}

SessionLog::SessionLog(platform::Os& os, std::vector<std::string> header)
    : os_(os), header_(std::move(header)) {
    header_.insert(header_.begin(), "time");
}

bool SessionLog::Start(const std::string& path) {
    path_.clear();
    bytes_ = 0;
    const std::string line = CsvLine(header_);
    if (path.empty() || !os_.NewFile(path, line)) return false;
    path_ = path;
    bytes_ = line.size();
    return true;
}

bool SessionLog::Append(const std::vector<std::string>& fields) {
    if (!IsOn()) return false;
    std::vector<std::string> row;
    row.reserve(fields.size() + 1);
    row.push_back(os_.LocalTimestamp());
    row.insert(row.end(), fields.begin(), fields.end());
    const std::string line = CsvLine(row);
    if (!os_.AppendToFile(path_, line)) {
        Stop();
        return false;
    }
    bytes_ += line.size();
    return true;
}

}  // namespace odr::shell
