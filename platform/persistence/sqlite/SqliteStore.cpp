#include "platform/persistence/sqlite/SqliteStore.h"

#include "platform/persistence/PersistenceError.h"

#include <sqlite3.h>

namespace platform {

namespace {

PersistenceError storeError(PersistenceError::Code code, const std::string& what, const std::filesystem::path& path,
    sqlite3* database, int status)
{
    std::string reason = database ? sqlite3_errmsg(database) : sqlite3_errstr(status);
    return { code, what + ": " + reason + ".",
        { { "path", path.string() }, { "sqliteCode", std::to_string(status) }, { "sqliteMessage", reason } } };
}

// Runs `statements` and throws the failure of the first that fails.
void execute(sqlite3* database, const char* statements, PersistenceError::Code code, const std::string& what,
    const std::filesystem::path& path)
{
    int status = sqlite3_exec(database, statements, nullptr, nullptr, nullptr);
    if (status != SQLITE_OK)
        throw storeError(code, what, path, database, status);
}

} // namespace

std::unique_ptr<SqliteStore> SqliteStore::open(const std::filesystem::path& path)
{
    const std::string what = "The persistent store could not be opened";
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error)
        throw PersistenceError { PersistenceError::Code::storeOpenFailed, what + ": " + error.message() + ".", { { "path", path.string() } } };

    sqlite3* database = nullptr;
    int status = sqlite3_open_v2(path.c_str(), &database, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<SqliteStore> store(new SqliteStore(database, path));
    if (status != SQLITE_OK)
        throw storeError(PersistenceError::Code::storeOpenFailed, what, path, database, status);
    // The first statement reads the file's header, so a file that is not a
    // database fails here, before anything is written to it.
    execute(database,
        "CREATE TABLE IF NOT EXISTS objects ("
        " id INTEGER PRIMARY KEY AUTOINCREMENT,"
        " entity TEXT NOT NULL,"
        " attributes BLOB NOT NULL)",
        PersistenceError::Code::storeOpenFailed, what, path);
    return store;
}

SqliteStore::SqliteStore(sqlite3* database, std::filesystem::path path)
    : database_(database)
    , path_(std::move(path))
{
}

SqliteStore::~SqliteStore()
{
    sqlite3_close_v2(database_);
}

void SqliteStore::insertRows(const std::vector<Row>& rows)
{
    const std::string what = "The changes could not be saved";
    const auto code = PersistenceError::Code::saveFailed;
    execute(database_, "BEGIN IMMEDIATE", code, what, path_);
    sqlite3_stmt* statement = nullptr;
    int status = sqlite3_prepare_v2(database_, "INSERT INTO objects (entity, attributes) VALUES (?1, ?2)", -1, &statement, nullptr);
    for (const auto& row : rows) {
        if (status != SQLITE_OK && status != SQLITE_DONE)
            break;
        sqlite3_bind_text(statement, 1, row.entityName.data(), static_cast<int>(row.entityName.size()), SQLITE_TRANSIENT);
        sqlite3_bind_blob(statement, 2, row.attributes.data(), static_cast<int>(row.attributes.size()), SQLITE_TRANSIENT);
        status = sqlite3_step(statement);
        sqlite3_reset(statement);
    }
    sqlite3_finalize(statement);
    if (status == SQLITE_OK || status == SQLITE_DONE)
        status = sqlite3_exec(database_, "COMMIT", nullptr, nullptr, nullptr);
    if (status != SQLITE_OK && status != SQLITE_DONE) {
        auto failure = storeError(code, what, path_, database_, status);
        sqlite3_exec(database_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw failure;
    }
}

} // namespace platform
