#include "platform/persistence/ManagedObjectContext.h"

#include "platform/persistence/PersistenceError.h"
#include "platform/persistence/sqlite/SqliteStore.h"

namespace platform {

void ManagedObjectContext::insertObject(std::string entityName, PlistValue::Dictionary attributes)
{
    inserted_.push_back({ std::move(entityName), std::move(attributes) });
}

void ManagedObjectContext::save()
{
    if (!hasChanges())
        return;
    if (!store_)
        throw PersistenceError { PersistenceError::Code::noPersistentStore, "This context has no persistent store to save to.", {} };
    std::vector<SqliteStore::Row> rows;
    rows.reserve(inserted_.size());
    for (const auto& object : inserted_)
        rows.push_back({ object.entityName, serializePropertyList(object.attributes) });
    store_->insertRows(rows);
    inserted_.clear();
}

} // namespace platform
