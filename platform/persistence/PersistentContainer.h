#pragma once

#include "platform/persistence/ManagedObjectContext.h"
#include "platform/persistence/PersistenceError.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

class SqliteStore;

struct PersistentStoreDescription {
    std::string type;
    std::filesystem::path url;
};

// An object store with one context for the main thread, kept in an SQLite
// file named after the container in the application's data folder. Nothing is
// opened until loadPersistentStores().
class PersistentContainer {
public:
    using LoadCompletion = std::function<void(const PersistentStoreDescription&, const std::optional<PersistenceError>&)>;

    explicit PersistentContainer(std::string name);
    ~PersistentContainer();
    PersistentContainer(const PersistentContainer&) = delete;
    PersistentContainer& operator=(const PersistentContainer&) = delete;

    const std::string& name() const { return name_; }
    // <data folder>/Library/Application Support/<name>.sqlite
    static std::filesystem::path defaultStoreURL(const std::string& name);

    // Opens the store, creating its file and folder when missing, and calls
    // `completion` once before returning. A file that is not a store of this
    // kind is reported and left untouched; the context then has no store.
    void loadPersistentStores(const LoadCompletion& completion);

    ManagedObjectContext& viewContext() { return viewContext_; }

private:
    const std::string name_;
    PersistentStoreDescription description_;
    std::unique_ptr<SqliteStore> store_;
    ManagedObjectContext viewContext_;
};

} // namespace platform
