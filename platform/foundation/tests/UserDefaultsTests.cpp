#include "platform/foundation/AppPaths.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Console.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/testing/DamagedPropertyLists.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/testing/Seams.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

using platform::PlistValue;
using platform::UserDefaults;

namespace {

std::string contentsOf(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), {} };
}

// Writes `path` as a process killed just before the rename would have: the
// temporary stays behind. Returns its path.
std::filesystem::path leaveTemporaryOfKilledWrite(const std::filesystem::path& path)
{
    struct Killed { };
    std::filesystem::path temporary;
    platform::setBeforeRenameHookForTesting([&](const std::filesystem::path& written) {
        temporary = written;
        throw Killed {};
    });
    try {
        platform::writeFileAtomically(path, "half-written");
    } catch (const Killed&) {
    }
    platform::setBeforeRenameHookForTesting(nullptr);
    return temporary;
}

} // namespace

TEST(UserDefaults, MissingValuesReadAsThePlatformDoes)
{
    platform::TestEnvironment env;
    auto& defaults = UserDefaults::standard();
    EXPECT_EQ(defaults.integerForKey("missing"), 0);
    EXPECT_FALSE(defaults.boolForKey("missing"));
    EXPECT_FALSE(defaults.stringForKey("missing"));
    EXPECT_FALSE(defaults.arrayForKey("missing"));
}

TEST(UserDefaults, ReadsAcrossTypesLikeThePlatform)
{
    platform::TestEnvironment env;
    auto& defaults = UserDefaults::standard();
    struct Case {
        PlistValue stored;
        std::int64_t integer;
        bool flag;
    };
    const Case cases[] = {
        { PlistValue(true), 1, true },
        { PlistValue(std::int64_t { -1 }), -1, true },
        { PlistValue(2.9), 2, true },
        { PlistValue("12"), 12, true },
        { PlistValue("YES"), 0, true },
        { PlistValue("no"), 0, false },
        { PlistValue(PlistValue::Array {}), 0, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(platform::serializePropertyList(c.stored));
        defaults.setObject("value", c.stored);
        EXPECT_EQ(defaults.integerForKey("value"), c.integer);
        EXPECT_EQ(defaults.boolForKey("value"), c.flag);
    }
}

TEST(UserDefaults, PersistsOwnerOnlyAndSurvivesReopening)
{
    platform::TestEnvironment env;
    auto suite = UserDefaults::suite("com.example.cards");
    ASSERT_TRUE(suite);
    suite->setInteger("proximityLevel", 1);
    suite->setObject("rsscheck", PlistValue(PlistValue::Array { PlistValue(PlistValue::Dictionary {
                                     { "0", PlistValue(PlistValue::Array { PlistValue(70), PlistValue(-70) }) } }) }));

    auto reread = platform::readPropertyListFile(suite->path());
    ASSERT_TRUE(reread);
    auto fresh = UserDefaults(suite->path(), *reread->get<PlistValue::Dictionary>());
    EXPECT_EQ(fresh.integerForKey("proximityLevel"), 1);
    EXPECT_EQ(fresh.objectForKey("rsscheck"), suite->objectForKey("rsscheck"));

    struct stat info {};
    ASSERT_EQ(::stat(suite->path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600);
}

TEST(UserDefaults, SameSuiteNameIsOneDomain)
{
    platform::TestEnvironment env;
    UserDefaults::suite("com.example.shared")->setString("enc", "abc");
    EXPECT_EQ(UserDefaults::suite("com.example.shared")->stringForKey("enc"), "abc");
}

TEST(UserDefaults, UnusableSuiteIsAbsentAndDamagedFileIsKept)
{
    platform::TestEnvironment env;
    EXPECT_FALSE(UserDefaults::suite(""));
    EXPECT_FALSE(UserDefaults::suite("../escape"));
    EXPECT_FALSE(UserDefaults::suite("com.brantwick.tolven.tests")); // the application's own domain

    int n = 0;
    for (const auto& sample : platform::testing::damagedPropertyLists()) {
        SCOPED_TRACE(sample.name);
        auto name = "com.example.damaged" + std::to_string(++n);
        auto damaged = platform::preferencesFolder() / (name + ".plist");
        ASSERT_TRUE(platform::writeFileAtomically(damaged, sample.bytes));
        EXPECT_FALSE(UserDefaults::suite(name));
        EXPECT_EQ(contentsOf(damaged), sample.bytes);
    }
}

TEST(UserDefaults, DamagedStandardFileIsMovedAsideAndTheApplicationStarts)
{
    std::vector<std::string> lines;
    platform::setConsoleSinkForTesting([&](std::string_view line) { lines.emplace_back(line); });
    for (const auto& sample : platform::testing::damagedPropertyLists()) {
        SCOPED_TRACE(sample.name);
        platform::TestEnvironment env;
        auto file = platform::preferencesFolder() / "com.brantwick.tolven.tests.plist";
        auto earlier = file;
        earlier += ".damaged";
        ASSERT_TRUE(platform::writeFileAtomically(earlier, "damaged before"));
        ASSERT_TRUE(platform::writeFileAtomically(file, sample.bytes));
        lines.clear();

        auto& defaults = UserDefaults::standard();
        EXPECT_FALSE(defaults.objectForKey("k"));
        defaults.setString("enc", "fresh");
        auto aside = file;
        aside += ".damaged-2";
        EXPECT_EQ(contentsOf(aside), sample.bytes);
        EXPECT_EQ(contentsOf(earlier), "damaged before");
        EXPECT_EQ(lines, std::vector<std::string>({ "UserDefaults: com.brantwick.tolven.tests.plist could not be read and was moved aside" }));
        auto stored = platform::readPropertyListFile(file);
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->get<PlistValue::Dictionary>()->at("enc"), PlistValue("fresh"));
    }
    platform::setConsoleSinkForTesting(nullptr);
}

TEST(UserDefaults, OpeningRemovesOnlyTheTemporariesOfKilledWrites)
{
    platform::TestEnvironment env;
    auto file = platform::preferencesFolder() / "com.example.killed.plist";
    auto killed = leaveTemporaryOfKilledWrite(file);
    ASSERT_TRUE(std::filesystem::exists(killed));
    auto otherStore = leaveTemporaryOfKilledWrite(platform::preferencesFolder() / "com.example.other.plist");
    const std::string keptNames[] = { ".com.example.killed.plist.lock", ".com.example.killed.plist.a1b2c", "com.example.killed.plist.a1b2c3",
        ".com.example.killed.plist.a1b2c3d", ".com.example.killed.plist.a1-2c3" };
    for (const auto& name : keptNames)
        ASSERT_TRUE(platform::writeFileAtomically(platform::preferencesFolder() / name, "keep"));
    // A link named like a temporary is not one, and neither is its target.
    auto target = env.dataFolder() / "target";
    ASSERT_TRUE(platform::writeFileAtomically(target, "keep"));
    auto link = platform::preferencesFolder() / ".com.example.killed.plist.Link00";
    std::filesystem::create_symlink(target, link);

    ASSERT_TRUE(UserDefaults::suite("com.example.killed"));
    EXPECT_FALSE(std::filesystem::exists(killed));
    EXPECT_TRUE(std::filesystem::exists(otherStore));
    for (const auto& name : keptNames)
        EXPECT_TRUE(std::filesystem::exists(platform::preferencesFolder() / name)) << name;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(contentsOf(target), "keep");
}

TEST(UserDefaults, TemporaryOfAWriteInProgressIsKept)
{
    platform::TestEnvironment env;
    auto file = platform::preferencesFolder() / "com.example.busy.plist";
    bool kept = false;
    platform::setBeforeRenameHookForTesting([&](const std::filesystem::path& temporary) {
        platform::removeStaleTemporaries(file);
        kept = std::filesystem::exists(temporary);
    });
    bool written = platform::writeFileAtomically(file, "new");
    platform::setBeforeRenameHookForTesting(nullptr);
    EXPECT_TRUE(kept);
    EXPECT_TRUE(written);
    EXPECT_EQ(contentsOf(file), "new");
}

TEST(UserDefaults, CrashBetweenWriteAndRenameKeepsPreviousContent)
{
    platform::TestEnvironment env;
    auto suite = UserDefaults::suite("com.example.crash");
    suite->setString("enc", "first");

    struct SimulatedCrash { };
    platform::setBeforeRenameHookForTesting([](const std::filesystem::path&) { throw SimulatedCrash {}; });
    EXPECT_THROW(suite->setString("enc", "second"), SimulatedCrash);
    platform::setBeforeRenameHookForTesting(nullptr);

    auto onDisk = platform::readPropertyListFile(suite->path());
    ASSERT_TRUE(onDisk);
    EXPECT_EQ(*onDisk->get<PlistValue::Dictionary>()->at("enc").get<std::string>(), "first");
}
