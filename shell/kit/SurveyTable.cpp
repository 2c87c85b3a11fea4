// The site survey's node table and its figures.
#include "shell/kit/SurveyTable.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "driver/Measure.h"

namespace odr::shell {

void SurveyNode::ComputeStatistics() {
    int total = 0;
    int sum = 0;
    int n = 0;
    for (int s = 0; s < kSlots; ++s) {
        total += replies[s];
        if (reading[s] != -1) {
            sum += reading[s];
            ++n;
        }
    }
    if (age != 0) {
        linkQuality = std::min(static_cast<int>(0.5 + 5.0 * total / age), kMaxLinkQuality);
    } else {
        linkQuality = 0;
    }
    average = n == 0 ? -1 : static_cast<int>(static_cast<double>(sum) / n + 0.5);
    strength = SignalBar(n == 0 ? 0 : average);
}

int CompareAddresses(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const int x = std::tolower(static_cast<unsigned char>(*a));
        const int y = std::tolower(static_cast<unsigned char>(*b));
        if (x != y || x == 0) return x - y;
    }
}

void SurveyTable::Reset() {
    for (SurveyNode& node : nodes_) node = SurveyNode();
    highest_ = -1;
    nodeCount_ = 0;
    currentSlot_ = 1;
    masterHeard_ = false;
    order_[0] = 0;
}

int SurveyTable::AddReply(const char* address, int signal, bool fromMaster) {
    if (!IsNodeAddress(address)) return -1;
    signal = std::clamp(signal, 0, kMaxReading);
    if (fromMaster) {
        if (masterHeard_) {
            Update(0, signal);
        } else {
            if (highest_ == -1) highest_ = 0;
            Add(0, address, signal);
            masterHeard_ = true;
        }
        return 0;
    }
    // Entry 0 belongs to the master only once it has answered.
    for (int i = masterHeard_ ? 0 : 1; i <= highest_; ++i) {
        if (std::strcmp(nodes_[i].address, address) == 0) {
            Update(i, signal);
            return i;
        }
    }
    const int index = highest_ == -1 ? 1 : highest_ + 1;
    if (index >= kMaxNodes) return -1;
    highest_ = index;
    Add(index, address, signal);
    return index;
}

void SurveyTable::Add(int index, const char* address, int signal) {
    SurveyNode& node = nodes_[index];
    node = SurveyNode();
    std::fill(std::begin(node.reading), std::end(node.reading), -1);
    std::memcpy(node.address, address, 12);
    node.address[12] = '\0';
    node.age = 1;
    node.replies[currentSlot_] = 1;
    node.reading[currentSlot_] = signal;
    ++nodeCount_;
    order_[index] = index;
    if (index < 2) return;
    for (int p = 1; p < index; ++p) {
        if (CompareAddresses(nodes_[order_[p]].address, address) > 0) {
            std::memmove(&order_[p + 1], &order_[p], sizeof(int) * size_t(index - p));
            order_[p] = index;
            return;
        }
    }
}

void SurveyTable::Update(int index, int signal) {
    SurveyNode& node = nodes_[index];
    node.replies[currentSlot_] += 1;
    node.reading[currentSlot_] = signal;
}

void SurveyTable::EndRound() {
    currentSlot_ = (currentSlot_ + 1) % kSlots;
    for (int i = 0; i <= highest_; ++i) {
        SurveyNode& node = nodes_[i];
        node.replies[currentSlot_] = 0;
        node.reading[currentSlot_] = -1;
        node.age = std::min(node.age + 1, kSlots);
    }
}

void SurveyTable::ComputeStatistics() {
    for (int i = 0; i <= highest_; ++i) nodes_[i].ComputeStatistics();
}

int SurveyTable::IndexAt(int position, int sortMode) const {
    if (position < 0 || position >= kMaxNodes) return -1;
    return sortMode != 0 ? order_[position] : position;
}

bool SurveyTable::IsActive(int index) const {
    const SurveyNode& node = nodes_[index];
    return node.replies[currentSlot_] > 0 || node.replies[(currentSlot_ + kSlots - 1) % kSlots] > 0;
}

bool SurveyTable::IsFilled(int position) const {
    return (position >= 1 && position <= highest_) || (position == 0 && masterHeard_);
}

}  // namespace odr::shell
