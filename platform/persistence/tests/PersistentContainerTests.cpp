#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/persistence/PersistentContainer.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <sstream>

using namespace platform;

namespace {

std::optional<PersistenceError> load(PersistentContainer& container)
{
    std::optional<PersistenceError> failure;
    int calls = 0;
    container.loadPersistentStores([&](const PersistentStoreDescription& description, const std::optional<PersistenceError>& error) {
        EXPECT_EQ(description.url, PersistentContainer::defaultStoreURL(container.name()));
        failure = error;
        ++calls;
    });
    EXPECT_EQ(calls, 1);
    return failure;
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A second connection to the store, as another process would hold it.
struct OtherConnection {
    explicit OtherConnection(const std::filesystem::path& path) { sqlite3_open(path.c_str(), &database); }
    ~OtherConnection() { sqlite3_close(database); }
    int count(const char* entity)
    {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(database, "SELECT count(*) FROM objects WHERE entity = ?1", -1, &statement, nullptr);
        sqlite3_bind_text(statement, 1, entity, -1, SQLITE_TRANSIENT);
        int rows = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
        sqlite3_finalize(statement);
        return rows;
    }
    sqlite3* database = nullptr;
};

} // namespace

TEST(PersistentContainer, CreatesItsStoreInTheDataFolderOnLoadAndSavesOnlyChanges)
{
    TestEnvironment env;
    PersistentContainer container("ZelMcard");
    auto url = PersistentContainer::defaultStoreURL("ZelMcard");
    EXPECT_EQ(url.parent_path().parent_path().parent_path(), env.dataFolder());
    EXPECT_FALSE(std::filesystem::exists(url));

    EXPECT_FALSE(load(container));
    EXPECT_TRUE(std::filesystem::exists(url));
    auto& context = container.viewContext();
    EXPECT_FALSE(context.hasChanges());
    EXPECT_NO_THROW(context.save());

    context.insertObject("Visit", { { "door", PlistValue("A-1") } });
    EXPECT_TRUE(context.hasChanges());
    context.save();
    EXPECT_FALSE(context.hasChanges());
    EXPECT_EQ(OtherConnection(url).count("Visit"), 1);

    // A later launch finds the same store.
    PersistentContainer relaunched("ZelMcard");
    EXPECT_FALSE(load(relaunched));
    EXPECT_EQ(OtherConnection(url).count("Visit"), 1);
}

TEST(PersistentContainer, AFileThatIsNoDatabaseIsReportedAndLeftAlone)
{
    TestEnvironment env;
    auto url = PersistentContainer::defaultStoreURL("ZelMcard");
    const std::string notADatabase(4096, 'x');
    ASSERT_TRUE(writeFileAtomically(url, notADatabase));

    PersistentContainer container("ZelMcard");
    auto failure = load(container);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->code, PersistenceError::Code::storeOpenFailed);
    EXPECT_NE(failure->description.find("file is not a database"), std::string::npos) << failure->description;
    EXPECT_EQ(failure->userInfo.at("path"), url.string());
    EXPECT_EQ(failure->userInfo.at("sqliteCode"), std::to_string(SQLITE_NOTADB));
    EXPECT_EQ(failure->userInfoDescription().front(), '{');

    auto& context = container.viewContext();
    context.insertObject("Visit", {});
    try {
        context.save();
        ADD_FAILURE() << "saved without a store";
    } catch (const PersistenceError& error) {
        EXPECT_EQ(error.code, PersistenceError::Code::noPersistentStore);
    }
    EXPECT_TRUE(context.hasChanges());
    EXPECT_EQ(readFile(url), notADatabase);
}

TEST(PersistentContainer, AFailedSaveKeepsItsChangesForTheNextSave)
{
    TestEnvironment env;
    PersistentContainer container("ZelMcard");
    ASSERT_FALSE(load(container));
    auto& context = container.viewContext();
    context.insertObject("Visit", { { "door", PlistValue("A-1") } });

    OtherConnection other(PersistentContainer::defaultStoreURL("ZelMcard"));
    ASSERT_EQ(sqlite3_exec(other.database, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    try {
        context.save();
        ADD_FAILURE() << "saved into a locked store";
    } catch (const PersistenceError& error) {
        EXPECT_EQ(error.code, PersistenceError::Code::saveFailed);
        EXPECT_EQ(error.userInfo.at("sqliteCode"), std::to_string(SQLITE_BUSY));
    }
    EXPECT_TRUE(context.hasChanges());

    sqlite3_exec(other.database, "ROLLBACK", nullptr, nullptr, nullptr);
    context.save();
    EXPECT_FALSE(context.hasChanges());
    EXPECT_EQ(other.count("Visit"), 1);
}
