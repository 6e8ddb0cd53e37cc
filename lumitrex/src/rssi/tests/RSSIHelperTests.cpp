#include "rssi/RSSIHelper.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/testing/TestEnvironment.h"

#include <gtest/gtest.h>

namespace lumitrex {
namespace {

using platform::PlistValue;
using Values = std::vector<std::int64_t>;

const Values kTemplate(10, 70);

PlistValue storedList(const Values& values)
{
    return PlistValue::Array(values.begin(), values.end());
}

class RSSIHelperTests : public ::testing::Test {
protected:
    platform::UserDefaults& defaults() { return platform::UserDefaults::standard(); }

    // The history as it is stored now, decoded by a helper of its own.
    std::vector<RSSIHelper::Entry> storedHistory()
    {
        auto stored = defaults().objectForKey("rsscheck");
        auto* array = stored ? stored->get<PlistValue::Array>() : nullptr;
        if (!array)
            return {};
        std::vector<RSSIHelper::Entry> history;
        for (const auto& element : *array) {
            RSSIHelper::Entry entry;
            for (const auto& [key, value] : *element.get<PlistValue::Dictionary>())
                for (const auto& number : *value.get<PlistValue::Array>())
                    entry[key].push_back(*number.get<std::int64_t>());
            history.push_back(entry);
        }
        return history;
    }

    platform::TestEnvironment env;
};

TEST_F(RSSIHelperTests, FirstStartStoresTheDefaultHistory)
{
    RSSIHelper helper;
    std::vector<RSSIHelper::Entry> expected { { { "0", kTemplate } } };
    EXPECT_EQ(helper.history(), expected);
    EXPECT_EQ(storedHistory(), expected);
    EXPECT_EQ(helper.thresholdFor("A1B2C3D4-0000-0000-0000-000000000001"), 70);
}

TEST_F(RSSIHelperTests, StoredHistoryOfAnotherShapeIsReplaced)
{
    const std::pair<const char*, PlistValue> cases[] = {
        { "text", PlistValue("rsscheck") },
        { "array of integers", PlistValue::Array { 1, 2 } },
        { "values not arrays", PlistValue::Array { PlistValue::Dictionary { { "R", 70 } } } },
        { "real numbers", PlistValue::Array { PlistValue::Dictionary { { "R", PlistValue::Array { 70.5 } } } } },
        { "one bad entry among good", PlistValue::Array { PlistValue::Dictionary { { "R", storedList(kTemplate) } }, PlistValue("x") } },
    };
    for (const auto& [what, stored] : cases) {
        SCOPED_TRACE(what);
        defaults().setObject("rsscheck", stored);
        RSSIHelper helper;
        std::vector<RSSIHelper::Entry> expected { { { "0", kTemplate } } };
        EXPECT_EQ(helper.history(), expected);
        EXPECT_EQ(storedHistory(), expected);
    }
}

TEST_F(RSSIHelperTests, StoredHistoryIsLoadedInOrder)
{
    defaults().setObject("rsscheck",
        PlistValue::Array {
            PlistValue::Dictionary { { "R1", storedList({ 75, 75, 75, 75, 75, 75, 75, 75, 75, 75 }) } },
            PlistValue::Dictionary { { "R2", storedList({ 65, 70, 70, 70, 70, 70, 70, 70, 70, 70 }) } },
            PlistValue::Dictionary { { "R1", storedList({ 65, 65, 65, 65, 65, 65, 65, 65, 65, 65 }) } },
        });
    RSSIHelper helper;
    EXPECT_EQ(helper.history().size(), 3u);
    EXPECT_EQ(helper.thresholdFor("R1"), 75); // the first entry holding the reader
    EXPECT_EQ(helper.thresholdFor("R2"), 69); // 695 / 10, toward zero
    EXPECT_EQ(helper.thresholdFor("R3"), 70);
    EXPECT_EQ(helper.history().size(), 3u);
}

TEST_F(RSSIHelperTests, ThresholdOfOddStoredLists)
{
    defaults().setObject("rsscheck",
        PlistValue::Array {
            PlistValue::Dictionary { { "empty", storedList({}) } },
            PlistValue::Dictionary { { "short", storedList({ 75 }) } },
            PlistValue::Dictionary { { "negative", storedList({ -75, 0, 0, 0, 0, 0, 0, 0, 0, 0 }) } },
            PlistValue::Dictionary { { "huge", storedList({ INT64_MAX, INT64_MAX }) } },
        });
    RSSIHelper helper;
    EXPECT_EQ(helper.thresholdFor("empty"), 70);
    EXPECT_EQ(helper.thresholdFor("short"), 7); // the divisor is 10 whatever the length
    EXPECT_EQ(helper.thresholdFor("negative"), -7);
    EXPECT_EQ(helper.thresholdFor("huge"), INT64_MAX / 5);
}

TEST_F(RSSIHelperTests, EmptyStoredHistoryLearnsTheFirstReaderAsked)
{
    defaults().setObject("rsscheck", PlistValue::Array {});
    RSSIHelper helper;
    EXPECT_TRUE(helper.history().empty());
    EXPECT_FALSE(helper.hasReader("R"));
    EXPECT_EQ(helper.thresholdFor("R"), 60);
    EXPECT_TRUE(helper.hasReader("R"));
    EXPECT_EQ(helper.thresholdFor("R"), 70);
    // Kept in memory only until the next save.
    EXPECT_EQ(defaults().objectForKey("rsscheck"), PlistValue(PlistValue::Array {}));
}

TEST_F(RSSIHelperTests, SavingClampsAndLearns)
{
    RSSIHelper helper;
    helper.saveRssiHistory("R1", 90);
    EXPECT_EQ(helper.history().back(), (RSSIHelper::Entry { { "R1", { 75, 70, 70, 70, 70, 70, 70, 70, 70, 70 } } }));
    EXPECT_EQ(helper.thresholdFor("R1"), 70); // 705 / 10

    helper.saveRssiHistory("R1", 40);
    EXPECT_EQ(helper.history().back(), (RSSIHelper::Entry { { "R1", { 65, 75, 70, 70, 70, 70, 70, 70, 70, 70 } } }));

    // A second new reader starts from the template, whose first value is the latest save;
    // the first reader keeps its own list.
    helper.saveRssiHistory("R2", 72);
    EXPECT_EQ(helper.history()[1], (RSSIHelper::Entry { { "R1", { 65, 75, 70, 70, 70, 70, 70, 70, 70, 70 } } }));
    EXPECT_EQ(helper.history()[2], (RSSIHelper::Entry { { "R2", { 72, 70, 70, 70, 70, 70, 70, 70, 70, 70 } } }));
    EXPECT_EQ(helper.templateValues()[0], 72);
    EXPECT_EQ(storedHistory(), helper.history());

    // The stored history is what the next start sees.
    RSSIHelper restarted;
    EXPECT_EQ(restarted.history(), helper.history());
}

TEST_F(RSSIHelperTests, ThresholdReachesTheBoundsAfterTenSaves)
{
    RSSIHelper helper;
    for (int i = 0; i < 10; ++i)
        helper.saveRssiHistory("R", 99);
    EXPECT_EQ(helper.thresholdFor("R"), 75);
    for (int i = 0; i < 10; ++i)
        helper.saveRssiHistory("R", -20);
    EXPECT_EQ(helper.thresholdFor("R"), 65);
}

TEST_F(RSSIHelperTests, HistoryGrowsToFiftyOneEntriesThenDropsTheOldest)
{
    RSSIHelper helper; // starts with entry "0"
    for (int i = 1; i <= 50; ++i)
        helper.saveRssiHistory("R" + std::to_string(i), 70);
    ASSERT_EQ(helper.history().size(), 51u);
    EXPECT_TRUE(helper.hasReader("0"));

    helper.saveRssiHistory("R25", 66); // known: the count stays
    EXPECT_EQ(helper.history().size(), 51u);
    EXPECT_TRUE(helper.hasReader("0"));

    helper.saveRssiHistory("NEW", 70);
    EXPECT_EQ(helper.history().size(), 51u);
    EXPECT_FALSE(helper.hasReader("0"));
    EXPECT_TRUE(helper.history().front().contains("R1"));
    EXPECT_TRUE(helper.history().back().contains("NEW"));
    EXPECT_EQ(storedHistory().size(), 51u);
}

TEST_F(RSSIHelperTests, AddRssiRewritesEveryEntryOfTheReaderAsItsOwn)
{
    defaults().setObject("rsscheck",
        PlistValue::Array {
            PlistValue::Dictionary { { "R", storedList(kTemplate) }, { "OTHER", storedList(kTemplate) } },
            PlistValue::Dictionary { { "X", storedList(kTemplate) } },
            PlistValue::Dictionary { { "R", storedList({ 66, 67 }) } },
        });
    RSSIHelper helper;
    helper.addRssi("R", 75);
    EXPECT_EQ(helper.history()[0], (RSSIHelper::Entry { { "R", { 75, 70, 70, 70, 70, 70, 70, 70, 70, 70 } } }));
    EXPECT_EQ(helper.history()[1], (RSSIHelper::Entry { { "X", kTemplate } }));
    EXPECT_EQ(helper.history()[2], (RSSIHelper::Entry { { "R", { 75, 66 } } }));
    EXPECT_FALSE(helper.hasReader("OTHER"));
}

} // namespace
} // namespace lumitrex
