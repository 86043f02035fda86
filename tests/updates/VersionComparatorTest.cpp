// SPDX-License-Identifier: MIT
#include "updates/VersionComparator.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionComparatorTest, OrdersVersionsBothWays)
{
    const std::pair<const char*, const char*> olderNewer[] = {
        {"1.0", "1.1"},
        {"1.9", "1.10"},
        {"1.2", "1.2.1"},
        {"1.2b1", "1.2"},
        {"1.2a", "1.2b"},
        {"1.2 beta", "1.2"},
        {"9", "10"},
        {"0.1.0", "999.1.0"},
        {"99999999999999999999", "100000000000000000000"},
        {"unknown", "0.0.1"},
        {"1..2", "1.2"},
        {"140", "1400"},
    };
    for (const auto& [older, newer] : olderNewer) {
        SCOPED_TRACE(std::string(older) + " < " + newer);
        EXPECT_LT(VersionComparator::compare(older, newer), 0);
        EXPECT_GT(VersionComparator::compare(newer, older), 0);
    }
    for (const char* version : {"1.2.3", "007", "1.2b1", ""})
        EXPECT_EQ(VersionComparator::compare(version, version), 0) << version;
    EXPECT_EQ(VersionComparator::compare("1.02", "1.2"), 0);
    EXPECT_EQ(VersionComparator::compare("1.2 ", "1.2"), 0);
}

} // namespace
