// The master list's plain logic: the masters heard, keyed by address across all domains and
// kept in the order first heard; the domain cycle of a search; the firmware test that tells
// whether the adapter can be moved onto a chosen master.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace odr::masters {

constexpr int kDomains = 16;
constexpr size_t kMaxNameLength = 11;

// Search modes, as the radio group reads them: Search All, Search One, neither checked.
constexpr int kSearchAll = 0;
constexpr int kSearchOne = 1;
constexpr int kSearchNone = -1;

struct CMasterEntry {
    virtual ~CMasterEntry() = default;
    std::string address;  // 12 lower-case hex digits
    std::string name;     // at most 11 characters
    int domain = 0;       // the domain searched when the master was first heard
    int channel = 0;
    int subchannel = 0;

    // The list row's cells: address, domain, "channel/subchannel", name.
    std::vector<std::string> Cells() const;
};

class MasterList {
  public:
    // Records a master heard while `domain` was searched. Null when the address is already
    // listed (the record keeps what it had) or is not twelve hex digits; otherwise the new
    // record, appended. The name is cut at its first NUL or at 11 characters.
    const CMasterEntry* Add(const char* address, const char* name, int domain, int channel,
                            int subchannel);
    const CMasterEntry* Find(const std::string& address) const;
    int Count() const { return static_cast<int>(entries_.size()); }
    // Null outside the list.
    const CMasterEntry* At(int index) const;

  private:
    std::vector<std::unique_ptr<CMasterEntry>> entries_;
};

// The domain searched after `domain`: the next one (16 wraps to 0) in Search All, the same
// one otherwise. A domain outside 0-15 goes to 0.
int NextDomain(int domain, int searchMode);

}  // namespace odr::masters
