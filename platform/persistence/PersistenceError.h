#pragma once

#include <map>
#include <string>

namespace platform {

// Why a persistent store could not be loaded or saved. `userInfo` carries the
// details a developer needs (the store's path, SQLite's own code and message).
struct PersistenceError {
    enum class Code {
        // The store's file could not be opened or is not a store of this kind.
        storeOpenFailed,
        // Writing the context's changes to its store failed; the changes stay pending.
        saveFailed,
        // The context has no loaded store to save to.
        noPersistentStore,
    };

    Code code;
    std::string description;
    std::map<std::string, std::string> userInfo;

    // The user information as one text: "{key = value; key = value}", keys in order.
    std::string userInfoDescription() const;
};

} // namespace platform
