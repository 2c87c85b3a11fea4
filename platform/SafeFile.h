// Reading a file with a size limit, and saving one so that a crash or a full disk at any
// moment leaves a complete file: the old one or the new one. Windows 95 cannot replace a
// file in one step, so a save goes
//   1. write NAME.new (a failed or short write removes it: NAME is untouched);
//   2. rename NAME to NAME.bak (a stale NAME.bak is deleted first);
//   3. rename NAME.new to NAME (on failure NAME.bak is renamed back);
//   4. delete NAME.bak.
// A reader that finds NAME missing takes NAME.new (complete once step 2 has begun; beside
// NAME.bak, step 3 did not happen), else NAME.bak.
#pragma once

#include <cstdint>
#include <string>

namespace odr::platform {

class Os;

// Reads the whole file at `path` unless it is larger than `maxBytes`. On failure `*error`
// says why, naming the file.
bool ReadFileCapped(Os& os, const std::string& path, uint64_t maxBytes, std::string* bytes,
                    std::string* error);

// Saves `bytes` at `path` by the steps above (first finishing an earlier save that stopped
// between steps 2 and 3). On failure `*error` says what happened and which complete file
// remains.
bool SaveFileSafely(Os& os, const std::string& path, const std::string& bytes, std::string* error);

// Reads what the last save left at `path`, as ReadFileCapped, recovering from an interrupted
// save as described above. `*readFrom` is the file actually read: `path` or a recovered one.
bool ReadSavedFile(Os& os, const std::string& path, uint64_t maxBytes, std::string* bytes,
                   std::string* readFrom, std::string* error);

}  // namespace odr::platform
