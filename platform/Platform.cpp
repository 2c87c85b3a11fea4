// Path helpers shared by the program lookup and the help file lookup.
#include "platform/Platform.h"

namespace odr::platform {

std::vector<std::string> SplitPath(const std::string& pathValue) {
    std::vector<std::string> folders;
    size_t start = 0;
    while (start <= pathValue.size()) {
        size_t end = pathValue.find(';', start);
        if (end == std::string::npos) end = pathValue.size();
        if (end > start) folders.push_back(pathValue.substr(start, end - start));
        start = end + 1;
    }
    return folders;
}

std::string JoinPath(const std::string& folder, const std::string& file) {
    if (folder.empty()) return file;
    char last = folder.back();
    if (last == '\\' || last == '/') return folder + file;
    return folder + "\\" + file;
}

std::string FindFileIn(Os& os, const std::vector<std::string>& folders, const std::string& file) {
    for (const std::string& folder : folders) {
        std::string path = JoinPath(folder, file);
        if (os.FileExists(path)) return path;
    }
    return std::string();
}

}  // namespace odr::platform
