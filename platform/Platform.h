// OS services the programs call on, as small interfaces. platform/win32 implements them
// over the Win32 API; tests use fakes with a virtual clock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace odr::platform {

// Process clock and processor yield. On a virtual clock Yield() advances time.
class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds since the process started.
    virtual uint32_t Now() = 0;
    // Gives up the rest of the time slice (sleep 0).
    virtual void Yield() = 0;
    // Suspends the thread for `ms` milliseconds.
    virtual void Sleep(uint32_t ms) = 0;
};

struct OsVersion {
    uint32_t platformId = 2;  // 1 Windows 95 family, 2 Windows NT family
    uint32_t major = 4;
    uint32_t minor = 0;
    bool IsWin95Layout() const { return major >= 4 && platformId == 1; }
};

class Os {
  public:
    virtual ~Os() = default;
    virtual OsVersion GetVersion() = 0;
    virtual void Beep(unsigned frequency, unsigned durationMs) = 0;
    virtual std::string GetEnv(const std::string& name) = 0;
    virtual void SetEnv(const std::string& name, const std::string& value) = 0;
    // Folder of the running program, without a trailing separator.
    virtual std::string ProgramFolder() = 0;
    // Reports whether a regular file exists at `path`.
    virtual bool FileExists(const std::string& path) = 0;
    // Starts a program without waiting for it. Returns success.
    virtual bool StartProcess(const std::string& path, const std::string& arguments) = 0;
    // Sends a text to the debugger output.
    virtual void DebugOutput(const std::string& text) = 0;
    // Creates the file at `path`, or empties it, and writes `text`; false when it cannot.
    virtual bool NewFile(const std::string& path, const std::string& text) = 0;
    // Appends a line to a file; false when it cannot be written.
    virtual bool AppendToFile(const std::string& path, const std::string& text) = 0;
    // Reads a whole text file; false when it cannot be opened.
    virtual bool ReadTextFile(const std::string& path, std::string* contents) = 0;
    // The size of a file in bytes; false when it cannot be opened.
    virtual bool FileSize(const std::string& path, uint64_t* size) = 0;
    // Renames the file `from` to `to` on the same disk; false when it cannot, also when `to`
    // exists (Windows 95 cannot replace a file in one step).
    virtual bool MoveFileTo(const std::string& from, const std::string& to) = 0;
    // Deletes a file; false when it cannot, also when it does not exist.
    virtual bool RemoveFile(const std::string& path) = 0;
    // The local date and time in ISO 8601, "2026-12-09T17:40:05".
    virtual std::string LocalTimestamp() = 0;
};

// Splits a PATH value at ';' and returns each non-empty folder.
std::vector<std::string> SplitPath(const std::string& pathValue);

// Joins a folder and a file name with a backslash unless the folder already ends in one.
std::string JoinPath(const std::string& folder, const std::string& file);

// Looks `file` up in each folder in turn and returns the first existing path, or "".
std::string FindFileIn(Os& os, const std::vector<std::string>& folders, const std::string& file);

}  // namespace odr::platform
