#include "common/scantexts.h"
#include "stats/diskspacetexts.h"
#include "stats/statisticstexts.h"
#include "stats/typeranking.h"

#include <gtest/gtest.h>

using namespace kelvane;

TEST(TopTenRanks, ElevenDifferentSums)
{
    // Table order is not value order.
    const std::vector<uint64_t> sums = {500, 100, 1100, 300, 900, 700, 200, 1000, 400, 800, 600};
    const std::vector<int> ranks = topTenRanks(sums);
    EXPECT_EQ(ranks, (std::vector<int>{7, 0, 1, 9, 3, 5, 10, 2, 8, 4, 6}));
}

TEST(TopTenRanks, TiesTakePlacesButShowOnTheFirstRowOnly)
{
    // Two extensions share the largest count: the earlier one shows 2, the
    // other nothing, and ranks 3 to 10 go to the next eight values.
    const std::vector<uint64_t> counts = {12, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3};
    EXPECT_EQ(topTenRanks(counts), (std::vector<int>{2, 0, 3, 4, 5, 6, 7, 8, 9, 10, 0}));

    // A tie further down: the first row with the value keeps the last rank.
    const std::vector<uint64_t> middle = {1, 5, 3, 5, 9};
    EXPECT_EQ(topTenRanks(middle), (std::vector<int>{5, 3, 4, 0, 1}));

    // A tie across the tenth place: only as many places as there are.
    std::vector<uint64_t> wide(12, 7);
    wide[5] = 8;
    std::vector<int> expected(12, 0);
    expected[5] = 1;
    expected[0] = 10;
    EXPECT_EQ(topTenRanks(wide), expected);
}

TEST(TopTenRanks, FewerThanTenDistinctValuesAllRanked)
{
    EXPECT_EQ(topTenRanks(std::vector<uint64_t>{3, 1, 2}), (std::vector<int>{1, 3, 2}));
    EXPECT_TRUE(topTenRanks(std::vector<uint64_t>{}).empty());
}

TEST(DiskSpaceTexts, AThirdFree)
{
    const DiskSpaceTexts t = diskSpaceTexts("/home", DiskSpace{3000000000000, 1000000000000, 4096});
    EXPECT_EQ(t.freeShare, 33);
    EXPECT_EQ(t.freeCaption, "Free Space on Drive /home: ");
    EXPECT_EQ(t.usedCaption, "Used Space on Drive /home: ");
    EXPECT_EQ(t.total, "3,000,000,000,000");
    EXPECT_EQ(t.free, "1,000,000,000,000");
    EXPECT_EQ(t.used, "2,000,000,000,000");
    EXPECT_EQ(t.freePercent, "bytes (33 %) ");
    EXPECT_EQ(t.usedPercent, "bytes (67 %) ");
}

// 10,000 blocks: 1,000 written, 500 free but kept for root, 8,500 free.
TEST(DiskSpaceTexts, RootReservedSpaceIsNeitherUsedNorFree)
{
    DiskSpace space;
    space.capacity = 10000 * 4096;
    space.free = 8500 * 4096;
    space.reserved = 500 * 4096;
    space.clusterSize = 4096;
    const DiskSpaceTexts t = diskSpaceTexts("/", space);
    EXPECT_EQ(t.used, "4,096,000");
    EXPECT_EQ(t.usedPercent, "bytes (10 %) ");
    EXPECT_EQ(t.free, "34,816,000");
    EXPECT_EQ(t.freePercent, "bytes (85 %) ");
    EXPECT_EQ(t.reserved, "2,048,000");
    EXPECT_EQ(t.reservedPercent, "bytes (5 %) ");
    EXPECT_EQ(t.reservedShare, 5);
    EXPECT_EQ(t.reservedCaption, "Reserved for root on Drive /: ");
    // Figures that do not add up are held to the capacity.
    space.reserved = space.capacity;
    EXPECT_EQ(diskSpaceTexts("/", space).reserved, "6,144,000");
    EXPECT_EQ(diskSpaceTexts("/", space).used, "0");
}

TEST(DiskSpaceTexts, NoCapacityIsNotADivisionByZero)
{
    const DiskSpaceTexts t = diskSpaceTexts("/x", DiskSpace{0, 0, 4096});
    EXPECT_EQ(t.freeShare, 0);
    EXPECT_EQ(t.usedPercent, "bytes (100 %) ");
}

TEST(StatisticsTexts, MessagesStatusAndCaptions)
{
    EXPECT_EQ(noDiskMessage("/media/usb"), "Error: There is no disk in drive /media/usb");
    EXPECT_EQ(scanNotice("/"), "Drive \"/\" will be scanned.  The analysis may take some time.  You may quit "
                               "at any time by clicking CANCEL or pressing ESC.");
    EXPECT_EQ(clusterNote("/home", 4096), "Since drive /home is partitioned into 4096 bytes per cluster, the "
                                          "smallest file of only 1 byte will consume 4096 bytes.");
    EXPECT_EQ(cantOpenDriveText("/home"), "Can't open drive /home");
    EXPECT_EQ(processingStatus(0), "");
    EXPECT_EQ(processingStatus(1), "Processing files ... standby : 0");
    EXPECT_EQ(processingStatus(10), "Processing files ... standby : 0");
    EXPECT_EQ(processingStatus(11), "Processing files ... standby : 10");
    EXPECT_EQ(processingStatus(12345), "Processing files ... standby : 12340");
    EXPECT_EQ(finishedStatus(1234, false), "Finished - 1234 files processed");
    EXPECT_EQ(finishedStatus(7, true), "Finished - 7 files processed INCOMPLETE ... ABORTED");
    EXPECT_EQ(collectedCaption("/home", false), "Statistics for drive /home completed.");
    EXPECT_EQ(collectedCaption("/home", true), "File Statistics for drive /home incomplete ... aborted.");
}
