// A measuring window's log: one CSV row per event, the local time first, written to the file
// as it comes, so that a crash or a pulled battery loses at most the row being written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace odr::platform {
class Os;
}

namespace odr::shell {

// One CSV field: quoted, with its quotes doubled, when it holds a comma, a quote or a line
// break.
std::string CsvField(const std::string& text);
// Fields joined by commas, ended by CR LF.
std::string CsvLine(const std::vector<std::string>& fields);

class SessionLog {
  public:
    // `header` names the fields after the time stamp.
    SessionLog(platform::Os& os, std::vector<std::string> header);

    // Starts logging to `path`: the file is created (or replaced: the save dialog asked)
    // with the header line. False, and no log, when it cannot be written.
    bool Start(const std::string& path);
    // Appends the time stamp and `fields` as one row. False when it could not be written;
    // the log has then stopped.
    bool Append(const std::vector<std::string>& fields);
    void Stop() { path_.clear(); }

    bool IsOn() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }
    uint64_t BytesWritten() const { return bytes_; }

  private:
    platform::Os& os_;
    std::vector<std::string> header_;
    std::string path_;
    uint64_t bytes_ = 0;
};

}  // namespace odr::shell
