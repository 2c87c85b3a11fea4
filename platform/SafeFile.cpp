// The capped read and the four-step save through Os.
#include "platform/SafeFile.h"

#include "platform/Platform.h"

namespace odr::platform {
namespace {

std::string SizeText(uint64_t bytes) {
    return bytes >= (1u << 20) ? std::to_string(bytes >> 20) + " MB"
                               : std::to_string(bytes) + " bytes";
}

}  // namespace

bool ReadFileCapped(Os& os, const std::string& path, uint64_t maxBytes, std::string* bytes,
                    std::string* error) {
    uint64_t size = 0;
    if (!os.FileSize(path, &size)) {
        *error = path + ": the file cannot be opened.";
        return false;
    }
    if (size > maxBytes) {
        *error = path + ": the file is too large (" + SizeText(size) + "; at most " +
                 SizeText(maxBytes) + " can be read).";
        return false;
    }
    if (!os.ReadTextFile(path, bytes)) {
        *error = path + ": the file cannot be read.";
        return false;
    }
    // The file may have grown since its size was asked.
    if (bytes->size() > maxBytes) {
        bytes->clear();
        *error = path + ": the file is too large.";
        return false;
    }
    return true;
}

bool SaveFileSafely(Os& os, const std::string& path, const std::string& bytes, std::string* error) {
    const std::string fresh = path + ".new";
    const std::string old = path + ".bak";
    uint64_t written = 0;
    // An earlier save stopped between steps 2 and 3: its complete NAME.new becomes NAME
    // first, so that a failure now cannot lose it.
    if (!os.FileExists(path) && os.FileExists(fresh) && os.FileExists(old)) {
        os.MoveFileTo(fresh, path);
    }
    if (os.FileExists(fresh)) os.RemoveFile(fresh);
    if (!os.NewFile(fresh, bytes) || !os.FileSize(fresh, &written) || written != bytes.size()) {
        os.RemoveFile(fresh);
        *error = "Could not write " + fresh + " (is the disk full or write-protected?). " +
                 (os.FileExists(path) ? path + " is unchanged." : "Nothing was saved.");
        return false;
    }
    const bool hadOld = os.FileExists(path);
    if (hadOld) {
        if (os.FileExists(old) && !os.RemoveFile(old)) {
            os.RemoveFile(fresh);
            *error = "Could not delete the old backup " + old + ". " + path + " is unchanged.";
            return false;
        }
        if (!os.MoveFileTo(path, old)) {
            os.RemoveFile(fresh);
            *error = "Could not rename " + path + " to " + old + ". " + path + " is unchanged.";
            return false;
        }
    }
    if (!os.MoveFileTo(fresh, path)) {
        if (hadOld && os.MoveFileTo(old, path)) {
            os.RemoveFile(fresh);
            *error = "Could not rename " + fresh + " to " + path + ". " + path + " is unchanged.";
        } else if (hadOld) {
            *error = "Could not rename " + fresh + " to " + path + ". The new file is " + fresh +
                     " and the previous one " + old + ".";
        } else {
            *error =
                "Could not rename " + fresh + " to " + path + ". The new file is " + fresh + ".";
        }
        return false;
    }
    // A backup left behind does no harm: the next save deletes it.
    if (os.FileExists(old)) os.RemoveFile(old);
    return true;
}

bool ReadSavedFile(Os& os, const std::string& path, uint64_t maxBytes, std::string* bytes,
                   std::string* readFrom, std::string* error) {
    const std::string fresh = path + ".new";
    const std::string old = path + ".bak";
    *readFrom = path;
    if (!os.FileExists(path)) {
        if (os.FileExists(fresh)) {
            *readFrom = fresh;
        } else if (os.FileExists(old)) {
            *readFrom = old;
        }
    }
    return ReadFileCapped(os, *readFrom, maxBytes, bytes, error);
}

}  // namespace odr::platform
