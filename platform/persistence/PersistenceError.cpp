#include "platform/persistence/PersistenceError.h"

namespace platform {

std::string PersistenceError::userInfoDescription() const
{
    std::string text = "{";
    for (const auto& [key, value] : userInfo) {
        if (text.size() > 1)
            text += "; ";
        text += key + " = " + value;
    }
    return text + "}";
}

} // namespace platform
