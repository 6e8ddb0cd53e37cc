#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;

namespace platform {

// One SQLite file holding the objects of a container: a row per object with
// its entity name and its attributes as a property list.
class SqliteStore {
public:
    struct Row {
        std::string entityName;
        std::string attributes;
    };

    // Opens (or creates) the store at `path`. Throws PersistenceError when the
    // file cannot be opened or is not an SQLite database; such a file is left
    // as it was.
    static std::unique_ptr<SqliteStore> open(const std::filesystem::path& path);
    ~SqliteStore();
    SqliteStore(const SqliteStore&) = delete;
    SqliteStore& operator=(const SqliteStore&) = delete;

    // Adds `rows` in one transaction: all of them or, on a failure (thrown as
    // PersistenceError), none.
    void insertRows(const std::vector<Row>& rows);

private:
    SqliteStore(sqlite3* database, std::filesystem::path path);

    sqlite3* database_;
    const std::filesystem::path path_;
};

} // namespace platform
