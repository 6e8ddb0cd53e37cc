#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/testing/TestEnvironment.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

using platform::PlistValue;
using platform::UserDefaults;

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

    auto damaged = env.dataFolder() / "Library/Preferences/com.example.damaged.plist";
    std::filesystem::create_directories(damaged.parent_path());
    std::ofstream(damaged) << "not a property list";
    EXPECT_FALSE(UserDefaults::suite("com.example.damaged"));
    std::ifstream kept(damaged);
    std::string content((std::istreambuf_iterator<char>(kept)), {});
    EXPECT_EQ(content, "not a property list");
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
