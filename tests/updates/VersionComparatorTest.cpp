// SPDX-License-Identifier: MIT
#include "updates/VersionComparator.h"

#include <gtest/gtest.h>

namespace {

struct Ordering {
    const char* older;
    const char* newer;
};

class VersionOrderTest : public ::testing::TestWithParam<Ordering> {};

TEST_P(VersionOrderTest, OlderComesFirstBothWays)
{
    const Ordering& row = GetParam();
    EXPECT_LT(VersionComparator::compare(row.older, row.newer), 0);
    EXPECT_GT(VersionComparator::compare(row.newer, row.older), 0);
}

INSTANTIATE_TEST_SUITE_P(Versions, VersionOrderTest,
                         ::testing::Values(Ordering{"1.0", "1.1"}, Ordering{"1.9", "1.10"},
                                           Ordering{"1.2", "1.2.1"}, Ordering{"1.2b1", "1.2"},
                                           Ordering{"1.2a", "1.2b"}, Ordering{"1.2 beta", "1.2"},
                                           Ordering{"9", "10"}, Ordering{"0.1.0", "999.1.0"},
                                           Ordering{"99999999999999999999",
                                                    "100000000000000000000"},
                                           Ordering{"unknown", "0.0.1"}, Ordering{"1..2", "1.2"},
                                           Ordering{"140", "1400"}));

TEST(VersionComparatorTest, SameVersions)
{
    for (const char* version : {"1.2.3", "007", "1.2b1", ""})
        EXPECT_EQ(VersionComparator::compare(version, version), 0) << version;
    EXPECT_EQ(VersionComparator::compare("1.02", "1.2"), 0);
    EXPECT_EQ(VersionComparator::compare("1.2 ", "1.2"), 0);
}

} // namespace
