// The master list's records, domain cycle and firmware test.
#include "masters/MasterList.h"

#include <cctype>
#include <cstring>

#include "driver/Queries.h"

namespace odr::masters {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::vector<std::string> CMasterEntry::Cells() const {
    return {address, std::to_string(domain),
            std::to_string(channel) + "/" + std::to_string(subchannel), name};
}

const CMasterEntry* MasterList::Add(const char* address, const char* name, int domain, int channel,
                                    int subchannel) {
    if (!IsNodeAddress(address) || Find(address) != nullptr) return nullptr;
    auto entry = std::make_unique<CMasterEntry>();
    entry->address = Lower(address);
    if (name != nullptr) entry->name.assign(name, strnlen(name, kMaxNameLength));
    entry->domain = domain;
    entry->channel = channel;
    entry->subchannel = subchannel;
    entries_.push_back(std::move(entry));
    return entries_.back().get();
}

const CMasterEntry* MasterList::Find(const std::string& address) const {
    const std::string key = Lower(address);
    for (const auto& e : entries_) {
        if (e->address == key) return e.get();
    }
    return nullptr;
}

const CMasterEntry* MasterList::At(int index) const {
    return index >= 0 && index < Count() ? entries_[size_t(index)].get() : nullptr;
}

int NextDomain(int domain, int searchMode) {
    if (domain < 0 || domain >= kDomains) return 0;
    if (searchMode != kSearchAll) return domain;
    return domain + 1 == kDomains ? 0 : domain + 1;
}

namespace {

// The decimal number of the digits of text[from, to), others left out.
int Digits(const char* text, size_t from, size_t to) {
    int n = 0;
    for (size_t i = from; i < to; ++i) {
        if (std::isdigit(static_cast<unsigned char>(text[i])) && n < 100000) {
            n = n * 10 + (text[i] - '0');
        }
    }
    return n;
}

}  // namespace

bool SupportsDirectedSync(const char* version) {
    if (version == nullptr) return false;
    const size_t length = std::strlen(version);
    // Major: from the second character up to the first '.', letters left out.
    size_t dot = 1;
    while (dot < length && version[dot] != '.') ++dot;
    const int major = length > 1 ? Digits(version, 1, dot) : 0;
    // Minor: the leading digits from the fourth character, up to a letter or the end.
    int minor = 0;
    for (size_t i = 3;
         i < length && std::isdigit(static_cast<unsigned char>(version[i])) && minor < 100000;
         ++i) {
        minor = minor * 10 + (version[i] - '0');
    }
    if (minor < 10) minor *= 10;
    return minor >= 49 || major >= 2 || std::strncmp(version, "V1.47a", 6) == 0;
}

}  // namespace odr::masters
