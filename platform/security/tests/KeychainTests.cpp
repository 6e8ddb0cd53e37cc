#include "platform/security/Keychain.h"

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/testing/DamagedPropertyLists.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/testing/Seams.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

using namespace platform;

namespace {

std::vector<std::uint8_t> bytes(std::string_view text)
{
    return { text.begin(), text.end() };
}

GenericPasswordItem item(std::string account, std::string_view value, bool synchronizable = false)
{
    return { "com.example.service", std::move(account), bytes(value),
        KeychainAccessibility::afterFirstUnlockThisDeviceOnly, synchronizable };
}

GenericPasswordQuery query(std::string account, SynchronizableMatch synchronizable = SynchronizableMatch::any)
{
    return { "com.example.service", std::move(account), synchronizable };
}

std::string contentsOf(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class KeychainTest : public ::testing::Test {
protected:
    void TearDown() override { setKeychainBeforeOperationHookForTesting({}); }

    TestEnvironment env;
    Keychain& keychain = Keychain::standard();
};

} // namespace

TEST_F(KeychainTest, AddCopyUpdateDeleteRoundTrip)
{
    std::optional<GenericPasswordItem> found;
    EXPECT_EQ(keychain.copyMatching(query("TOLVEN"), found), errSecItemNotFound);
    EXPECT_FALSE(found);

    ASSERT_EQ(keychain.addItem(item("TOLVEN", "abc")), errSecSuccess);
    ASSERT_EQ(keychain.copyMatching(query("TOLVEN"), found), errSecSuccess);
    EXPECT_EQ(found, item("TOLVEN", "abc"));

    EXPECT_EQ(keychain.addItem(item("TOLVEN", "other")), errSecDuplicateItem);
    ASSERT_EQ(keychain.updateItem(query("TOLVEN"), bytes("new")), errSecSuccess);
    ASSERT_EQ(keychain.copyMatching(query("TOLVEN"), found), errSecSuccess);
    EXPECT_EQ(found->data, bytes("new"));
    EXPECT_EQ(found->accessibility, KeychainAccessibility::afterFirstUnlockThisDeviceOnly);

    EXPECT_EQ(keychain.updateItem(query("nobody"), bytes("x")), errSecItemNotFound);
    EXPECT_EQ(keychain.deleteItem(query("TOLVEN")), errSecSuccess);
    EXPECT_EQ(keychain.deleteItem(query("TOLVEN")), errSecItemNotFound);
    EXPECT_EQ(keychain.copyMatching(query("TOLVEN"), found), errSecItemNotFound);
}

TEST_F(KeychainTest, StoreIsOwnerOnlyAndBelowTheDataFolder)
{
    ASSERT_EQ(keychain.addItem(item("TOLVEN", "abc")), errSecSuccess);
    auto file = keychain.file();
    EXPECT_EQ(file.string().rfind(env.dataFolder().string(), 0), 0u);
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(KeychainTest, SynchronisationStateIsPartOfTheIdentityAndOfMatching)
{
    ASSERT_EQ(keychain.addItem(item("A", "local")), errSecSuccess);
    ASSERT_EQ(keychain.addItem(item("A", "synced", true)), errSecSuccess);
    ASSERT_EQ(keychain.addItem(item("B", "synced only", true)), errSecSuccess);

    struct Case {
        const char* account;
        SynchronizableMatch match;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        { "A", SynchronizableMatch::notSynchronizable, "local" },
        { "A", SynchronizableMatch::synchronizable, "synced" },
        { "B", SynchronizableMatch::notSynchronizable, std::nullopt },
        { "B", SynchronizableMatch::any, "synced only" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.account);
        std::optional<GenericPasswordItem> found;
        auto status = keychain.copyMatching(query(c.account, c.match), found);
        if (c.value) {
            ASSERT_EQ(status, errSecSuccess);
            EXPECT_EQ(found->data, bytes(*c.value));
        } else {
            EXPECT_EQ(status, errSecItemNotFound);
        }
    }

    // A delete for any state removes both items of the account.
    EXPECT_EQ(keychain.deleteItem(query("A")), errSecSuccess);
    std::optional<GenericPasswordItem> found;
    EXPECT_EQ(keychain.copyMatching(query("A"), found), errSecItemNotFound);
}

TEST_F(KeychainTest, DamagedStoreIsReportedAndLeftAsItWas)
{
    auto samples = platform::testing::damagedPropertyLists();
    samples.push_back({ "cut short", "<?xml version=\"1.0\"?><plist><array><dict><key>svce</key>" });
    for (const auto& sample : samples) {
        SCOPED_TRACE(sample.name);
        ASSERT_TRUE(writeFileAtomically(keychain.file(), sample.bytes));
        std::optional<GenericPasswordItem> found;
        EXPECT_EQ(keychain.copyMatching(query("TOLVEN"), found), errSecDecode);
        EXPECT_EQ(keychain.addItem(item("TOLVEN", "abc")), errSecDecode);
        EXPECT_EQ(keychain.updateItem(query("TOLVEN"), bytes("x")), errSecDecode);
        EXPECT_EQ(keychain.deleteItem(query("TOLVEN")), errSecDecode);
        EXPECT_EQ(contentsOf(keychain.file()), sample.bytes);
    }
}

TEST_F(KeychainTest, FirstUseRemovesOnlyTheTemporariesOfKilledWrites)
{
    // Left by a process killed between writing the store and the rename.
    struct Killed { };
    std::filesystem::path temporary;
    setBeforeRenameHookForTesting([&](const std::filesystem::path& written) {
        temporary = written;
        throw Killed {};
    });
    EXPECT_THROW(writeFileAtomically(keychain.file(), "half-written"), Killed);
    setBeforeRenameHookForTesting(nullptr);
    auto folder = keychain.file().parent_path();
    const std::string keptNames[] = { "keychain.plist.a1b2c3", ".other.plist.a1b2c3", ".keychain.plist.a1b2c" };
    for (const auto& name : keptNames)
        ASSERT_TRUE(writeFileAtomically(folder / name, "keep"));
    ASSERT_TRUE(std::filesystem::exists(temporary));

    std::optional<GenericPasswordItem> found;
    EXPECT_EQ(keychain.copyMatching(query("TOLVEN"), found), errSecItemNotFound);
    EXPECT_FALSE(std::filesystem::exists(temporary));
    for (const auto& name : keptNames)
        EXPECT_TRUE(std::filesystem::exists(folder / name)) << name;
}

TEST_F(KeychainTest, UnreadableStoreAnswersAnIOError)
{
    // A folder where the file should be cannot be read as a file.
    std::filesystem::create_directories(keychain.file());
    std::optional<GenericPasswordItem> found;
    EXPECT_EQ(keychain.copyMatching(query("TOLVEN"), found), errSecIO);
    EXPECT_EQ(keychain.addItem(item("TOLVEN", "abc")), errSecIO);
}

TEST_F(KeychainTest, HookLetsAnotherCallerAddFirst)
{
    Keychain other(keychain.file());
    setKeychainBeforeOperationHookForTesting([&](Keychain::Operation operation) {
        if (operation != Keychain::Operation::add)
            return;
        setKeychainBeforeOperationHookForTesting({});
        EXPECT_EQ(other.addItem(item("TOLVEN", "theirs")), errSecSuccess);
    });
    EXPECT_EQ(keychain.addItem(item("TOLVEN", "mine")), errSecDuplicateItem);
    std::optional<GenericPasswordItem> found;
    ASSERT_EQ(keychain.copyMatching(query("TOLVEN"), found), errSecSuccess);
    EXPECT_EQ(found->data, bytes("theirs"));
}

TEST_F(KeychainTest, ConcurrentWritersInSeveralProcessesAndThreadsLoseNothing)
{
    constexpr int processes = 4;
    constexpr int threadsPerProcess = 2;
    constexpr int itemsPerThread = 15;
    auto file = keychain.file();
    // Returns whether every add succeeded.
    auto writeAll = [&](int process) {
        std::atomic<bool> allAdded = true;
        std::vector<std::thread> threads;
        for (int t = 0; t < threadsPerProcess; ++t) {
            threads.emplace_back([&, t] {
                Keychain store(file);
                for (int i = 0; i < itemsPerThread; ++i) {
                    auto account = std::to_string(process) + "-" + std::to_string(t) + "-" + std::to_string(i);
                    if (store.addItem(item(account, "v")) != errSecSuccess)
                        allAdded = false;
                }
            });
        }
        for (auto& thread : threads)
            thread.join();
        return allAdded.load();
    };

    std::vector<pid_t> children;
    for (int p = 1; p < processes; ++p) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::_Exit(writeAll(p) ? 0 : 1);
        }
        children.push_back(child);
    }
    EXPECT_TRUE(writeAll(0));
    for (auto child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    for (int p = 0; p < processes; ++p) {
        for (int t = 0; t < threadsPerProcess; ++t) {
            for (int i = 0; i < itemsPerThread; ++i) {
                auto account = std::to_string(p) + "-" + std::to_string(t) + "-" + std::to_string(i);
                std::optional<GenericPasswordItem> found;
                EXPECT_EQ(keychain.copyMatching(query(account), found), errSecSuccess) << account;
            }
        }
    }
}
