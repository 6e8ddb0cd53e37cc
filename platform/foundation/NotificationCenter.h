#pragma once

#include "platform/foundation/PropertyList.h"

#include <any>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

struct Notification {
    std::string name;
    PlistValue::Dictionary userInfo;
    // What the notification is about, for observers that know its type.
    std::any object = {};
};

// Observers by name. post() calls the matching observers synchronously on the
// poster's thread, in the order they were added; an observer may remove itself
// (or others) while being called.
class NotificationCenter {
public:
    using Observer = std::function<void(const Notification&)>;
    using Token = std::uint64_t;

    static NotificationCenter& defaultCenter();

    Token addObserver(std::string name, Observer observer);
    void removeObserver(Token token);
    void post(const Notification& notification);

private:
    struct Registration {
        Token token;
        std::string name;
        std::shared_ptr<Observer> observer;
    };
    std::mutex mutex_;
    std::vector<Registration> registrations_;
    Token nextToken_ = 1;
};

} // namespace platform
