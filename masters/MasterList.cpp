// The master list's records and domain cycle.
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

}  // namespace odr::masters
