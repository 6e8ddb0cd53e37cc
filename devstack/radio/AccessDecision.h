#pragma once

#include <string>

namespace devstack {

// One decision of a door reader about a card it heard or that wrote to it.
struct AccessDecision {
    enum class Channel { advertisement, connection };

    bool granted = false;
    Channel channel = Channel::advertisement;
    // The 16-digit card number, when the identifier carried a readable one.
    std::string cardNumber;
    // Why access was refused; empty when granted.
    std::string reason;
};

} // namespace devstack
