#pragma once

#include "platform/foundation/PropertyList.h"

#include <string>
#include <vector>

namespace platform {

class SqliteStore;

// The context in which objects are changed before they are written to the
// container's store. Use it on the thread that made its container.
class ManagedObjectContext {
public:
    // Whether objects were inserted since the last successful save.
    bool hasChanges() const { return !inserted_.empty(); }

    void insertObject(std::string entityName, PlistValue::Dictionary attributes);

    // Writes the pending objects to the store in one transaction. Throws
    // PersistenceError; after a failure the store is as it was and the
    // changes stay pending.
    void save();

private:
    friend class PersistentContainer;
    struct PendingObject {
        std::string entityName;
        PlistValue::Dictionary attributes;
    };

    SqliteStore* store_ = nullptr;
    std::vector<PendingObject> inserted_;
};

} // namespace platform
