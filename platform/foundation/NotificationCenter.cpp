#include "platform/foundation/NotificationCenter.h"

#include <algorithm>

namespace platform {

NotificationCenter& NotificationCenter::defaultCenter()
{
    static auto* instance = new NotificationCenter;
    return *instance;
}

NotificationCenter::Token NotificationCenter::addObserver(std::string name, Observer observer)
{
    std::lock_guard lock(mutex_);
    auto token = nextToken_++;
    registrations_.push_back({ token, std::move(name), std::make_shared<Observer>(std::move(observer)) });
    return token;
}

void NotificationCenter::removeObserver(Token token)
{
    std::lock_guard lock(mutex_);
    std::erase_if(registrations_, [token](const Registration& r) { return r.token == token; });
}

void NotificationCenter::post(const Notification& notification)
{
    std::vector<std::pair<Token, std::shared_ptr<Observer>>> matching;
    {
        std::lock_guard lock(mutex_);
        for (const auto& registration : registrations_)
            if (registration.name == notification.name)
                matching.emplace_back(registration.token, registration.observer);
    }
    for (const auto& [token, observer] : matching) {
        bool stillRegistered;
        {
            std::lock_guard lock(mutex_);
            stillRegistered = std::any_of(registrations_.begin(), registrations_.end(),
                [token = token](const Registration& r) { return r.token == token; });
        }
        if (stillRegistered)
            (*observer)(notification);
    }
}

} // namespace platform
