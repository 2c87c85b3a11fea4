// Win32 implementations of platform::Clock and platform::Os.
#include "platform/win32/Win32Platform.h"

#include <windows.h>

// windows.h defines Yield() as an empty macro; Clock::Yield is meant here.
#undef Yield

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Format.h"

namespace odr::platform {
namespace {

class Win32Clock : public Clock {
  public:
    Win32Clock() : start_(GetTickCount()) {}
    // Unsigned subtraction stays right across the 49.7-day wrap of GetTickCount.
    uint32_t Now() override { return static_cast<uint32_t>(GetTickCount() - start_); }
    void Yield() override { ::Sleep(0); }
    void Sleep(uint32_t ms) override { ::Sleep(ms); }

  private:
    DWORD start_;
};

// Closes a file handle on every way out.
class ScopedHandle {
  public:
    explicit ScopedHandle(HANDLE h) : h_(h) {}
    ~ScopedHandle() {
        if (valid()) CloseHandle(h_);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    bool valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }

  private:
    HANDLE h_;
};

class Win32Os : public Os {
  public:
    OsVersion GetVersion() override {
        OsVersion v;
        OSVERSIONINFOA info = {};
        info.dwOSVersionInfoSize = sizeof(info);
        if (GetVersionExA(&info)) {
            v.platformId = info.dwPlatformId;
            v.major = info.dwMajorVersion;
            v.minor = info.dwMinorVersion;
        }
        return v;
    }

    void Beep(unsigned frequency, unsigned durationMs) override { ::Beep(frequency, durationMs); }

    std::string GetEnv(const std::string& name) override {
        std::vector<char> buffer(256);
        for (;;) {
            SetLastError(ERROR_SUCCESS);
            DWORD n = GetEnvironmentVariableA(name.c_str(), buffer.data(),
                                              static_cast<DWORD>(buffer.size()));
            if (n == 0) return std::string();
            // A too-small buffer gives the needed size including the terminator.
            if (n < buffer.size()) return std::string(buffer.data(), n);
            buffer.resize(n);
        }
    }

    void SetEnv(const std::string& name, const std::string& value) override {
        SetEnvironmentVariableA(name.c_str(), value.c_str());
    }

    std::string ProgramFolder() override {
        std::vector<char> buffer(MAX_PATH);
        for (;;) {
            DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
            if (n == 0) return std::string();
            // A full buffer means the path may have been cut: try a larger one.
            if (n < buffer.size()) {
                std::string path(buffer.data(), n);
                size_t slash = path.find_last_of("\\/");
                return slash == std::string::npos ? std::string() : path.substr(0, slash);
            }
            if (buffer.size() >= 32768) return std::string();
            buffer.resize(buffer.size() * 2);
        }
    }

    bool FileExists(const std::string& path) override {
        DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    bool StartProcess(const std::string& path, const std::string& arguments) override {
        // CreateProcessA may write into the command line, so it gets its own copy.
        std::string commandLine = "\"" + path + "\"";
        if (!arguments.empty()) commandLine += " " + arguments;
        std::vector<char> buffer(commandLine.begin(), commandLine.end());
        buffer.push_back('\0');
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(path.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process)) {
            return false;
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return true;
    }

    void DebugOutput(const std::string& text) override { OutputDebugStringA(text.c_str()); }

    bool NewFile(const std::string& path, const std::string& text) override {
        return Write(path, CREATE_ALWAYS, text);
    }

    bool AppendToFile(const std::string& path, const std::string& text) override {
        return Write(path, OPEN_ALWAYS, text);
    }

    // Writes `text` at the end of the file opened with `disposition`. Windows 95 knows only
    // the generic rights: write access, then the end of the file.
    static bool Write(const std::string& path, DWORD disposition, const std::string& text) {
        ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) return false;
        if (SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
            GetLastError() != NO_ERROR) {
            return false;
        }
        size_t done = 0;
        while (done < text.size()) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 20));
            DWORD written = 0;
            if (!WriteFile(file.get(), text.data() + done, chunk, &written, nullptr) ||
                written == 0) {
                return false;
            }
            done += written;
        }
        return true;
    }

    std::string LocalTimestamp() override {
        SYSTEMTIME t = {};
        GetLocalTime(&t);
        char text[32];
        platform::FormatText(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u", t.wYear, t.wMonth,
                             t.wDay, t.wHour, t.wMinute, t.wSecond);
        return text;
    }

    bool ReadTextFile(const std::string& path, std::string* contents) override {
        ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) return false;
        std::string text;
        char buffer[4096];
        for (;;) {
            DWORD read = 0;
            if (!ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr)) return false;
            if (read == 0) break;
            text.append(buffer, read);
        }
        *contents = std::move(text);
        return true;
    }

    bool FileSize(const std::string& path, uint64_t* size) override {
        ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) return false;
        DWORD high = 0;
        SetLastError(NO_ERROR);
        DWORD low = GetFileSize(file.get(), &high);
        if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
        *size = (uint64_t(high) << 32) | low;
        return true;
    }

    // MoveFileA (not MoveFileEx, which Windows 95 lacks) fails when the target exists.
    bool MoveFileTo(const std::string& from, const std::string& to) override {
        return MoveFileA(from.c_str(), to.c_str()) != FALSE;
    }

    bool RemoveFile(const std::string& path) override { return DeleteFileA(path.c_str()) != FALSE; }
};

}  // namespace

std::unique_ptr<Clock> CreateWin32Clock() {
    return std::make_unique<Win32Clock>();
}

std::unique_ptr<Os> CreateWin32Os() {
    return std::make_unique<Win32Os>();
}

}  // namespace odr::platform
