#include "platform/persistence/PersistentContainer.h"

#include "platform/foundation/AppPaths.h"
#include "platform/persistence/sqlite/SqliteStore.h"

namespace platform {

PersistentContainer::PersistentContainer(std::string name)
    : name_(std::move(name))
    , description_ { "SQLite", defaultStoreURL(name_) }
{
}

PersistentContainer::~PersistentContainer() = default;

std::filesystem::path PersistentContainer::defaultStoreURL(const std::string& name)
{
    return dataRoot() / "Library" / "Application Support" / (name + ".sqlite");
}

void PersistentContainer::loadPersistentStores(const LoadCompletion& completion)
{
    std::optional<PersistenceError> failure;
    try {
        store_ = SqliteStore::open(description_.url);
        viewContext_.store_ = store_.get();
    } catch (const PersistenceError& error) {
        failure = error;
    }
    if (completion)
        completion(description_, failure);
}

} // namespace platform
