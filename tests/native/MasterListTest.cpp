// The master list's plain logic: the domain cycle and the record list.
#include <gtest/gtest.h>

#include "masters/MasterList.h"

namespace odr::masters {
namespace {

TEST(MasterListTest, SearchAllCyclesTheSixteenDomainsTheOthersStay) {
    EXPECT_EQ(NextDomain(15, kSearchAll), 0);
    EXPECT_EQ(NextDomain(0, kSearchAll), 1);
    EXPECT_EQ(NextDomain(7, kSearchOne), 7);
    EXPECT_EQ(NextDomain(7, kSearchNone), 7);
    // A stored domain out of range never reaches the adapter.
    EXPECT_EQ(NextDomain(16, kSearchAll), 0);
    EXPECT_EQ(NextDomain(-3, kSearchOne), 0);
}

TEST(MasterListTest, OneRecordPerAddressKeepingWhatItWasFirstHeardWith) {
    MasterList list;
    const CMasterEntry* lobby = list.Add("0020a6100001", "LOBBY", 1, 3, 2);
    ASSERT_NE(lobby, nullptr);
    EXPECT_EQ(lobby->Cells(), (std::vector<std::string>{"0020a6100001", "1", "3/2", "LOBBY"}));
    // Heard again in a later domain, on another channel, or spelled in capitals.
    EXPECT_EQ(list.Add("0020a6100001", "LOBBY", 2, 5, 1), nullptr);
    EXPECT_EQ(list.Add("0020A6100001", "OTHER", 3, 5, 1), nullptr);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Find("0020a6100001")->domain, 1);
    EXPECT_EQ(list.Find("0020A6100001"), lobby);

    ASSERT_NE(list.Add("0020A61000FF", "ANNEX", 7, 5, 1), nullptr);
    EXPECT_EQ(list.At(1)->address, "0020a61000ff");  // keys are lower case
    EXPECT_EQ(list.At(2), nullptr);
    EXPECT_EQ(list.At(-1), nullptr);
}

TEST(MasterListTest, HostileDriverTextsNeverBreakTheKeyOrTheRow) {
    MasterList list;
    // Not twelve hex digits: not listed.
    for (const char* a : {"", "0020a610000", "0020a61000011", "0020a6zz0001", " 020a6100001"}) {
        EXPECT_EQ(list.Add(a, "X", 1, 1, 1), nullptr) << a;
    }
    EXPECT_EQ(list.Add(nullptr, "X", 1, 1, 1), nullptr);
    // A name without its terminator is cut to 11 characters; a missing one is empty.
    const char unterminated[16] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H',
                                   'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P'};
    const CMasterEntry* e = list.Add("0020a6100001", unterminated, 0, 255, 255);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->name, "ABCDEFGHIJK");
    EXPECT_EQ(e->Cells()[2], "255/255");
    EXPECT_EQ(list.Add("0020a6100002", nullptr, 0, 0, 0)->name, "");
    EXPECT_EQ(list.Count(), 2);
}

}  // namespace
}  // namespace odr::masters
