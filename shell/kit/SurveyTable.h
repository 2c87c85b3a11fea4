// A site survey's node table (the Site Survey window's and the coverage map's): up to 100
// nodes heard answering broadcast pings, each with a ring of ten sample slots (one per ping
// round), the address order, and the link quality and strength figures from the ring.
#pragma once

#include <string>

#include "driver/Queries.h"

namespace odr::shell {

constexpr int kMaxNodes = 100;
constexpr int kSlots = 10;
constexpr int kMaxLinkQuality = 5;
// Readings are signal percentages; anything higher counts as this.
constexpr int kMaxReading = 100;

// The rounds that fill it: a broadcast ping of this length; a round starts at least
// kRoundGapMs after the last one ended and waits kMaxPendingTicks round ticks at most for a
// ping the driver reports as running; one collection takes at most kMaxCollectedReplies
// replies off the queue, the rest wait for the next tick.
constexpr const char* kSurveyPingAddress = "ffffffffffff";
constexpr uint32_t kSurveyPingLength = 1500;
constexpr uint32_t kRoundGapMs = 500;
constexpr int kMaxPendingTicks = 15;
constexpr int kMaxCollectedReplies = 1000;

struct SurveyNode {
    char address[13] = {};  // 12 hex digits
    int replies[kSlots] = {};
    int reading[kSlots] = {};  // -1: no reply in the slot
    int strength = 0;          // percent, in tens
    int average = -1;          // the ring's mean reading, rounded; -1 without one
    int linkQuality = 0;       // 0-5
    int age = 0;               // rounds since added, 1 at insertion, at most 10

    // Link quality, average and strength from the ring.
    void ComputeStatistics();
};

class SurveyTable {
  public:
    SurveyTable() { Reset(); }

    // Empty table, slot 1, master not heard.
    void Reset();

    // A reply with signal percentage `signal`. The master always goes to index 0; another
    // node updates its entry or is added at the next index (indices from 1). Returns the
    // index, or -1 when the reply was dropped: an address that is not 12 hex digits, or a
    // new node with the table full. Signals above 100 count as 100.
    int AddReply(const char* address, int signal, bool fromMaster);

    // The round has ended: the next slot is emptied for every node and every node ages.
    void EndRound();

    // Link quality and strength of every node.
    void ComputeStatistics();

    int Highest() const { return highest_; }
    int NodeCount() const { return nodeCount_; }
    int CurrentSlot() const { return currentSlot_; }
    bool MasterHeard() const { return masterHeard_; }
    const SurveyNode& Node(int index) const { return nodes_[index]; }
    // Index at address-order position `position` (0 is always the master).
    int OrderAt(int position) const { return order_[position]; }
    // Index shown at table position `position`: in arrival order with sort mode 0, else in
    // address order; -1 outside the table.
    int IndexAt(int position, int sortMode) const;
    // Whether position `position` holds a node to show.
    bool IsFilled(int position) const;
    // Whether node `index` is active: it replied in the current slot or in the round that
    // ended last (replies arrive while a round runs, and the slot moves on when it ends).
    bool IsActive(int index) const;

  private:
    void Add(int index, const char* address, int signal);
    void Update(int index, int signal);

    SurveyNode nodes_[kMaxNodes];
    int order_[kMaxNodes] = {};
    int highest_ = -1;
    int nodeCount_ = 0;
    int currentSlot_ = 1;
    bool masterHeard_ = false;
};

// Case-insensitive comparison of two addresses, as strcmp.
int CompareAddresses(const char* a, const char* b);

}  // namespace odr::shell
