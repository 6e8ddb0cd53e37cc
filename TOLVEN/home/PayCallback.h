#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tolven {

// A payment callback as the router read it from its address: the payload of
// the notification "payCallbackReceived".
struct PayCallback {
    enum class Status { success, fail, cancel, unknown };

    // The status named exactly by `rawValue`; unknown for any other text.
    static Status statusFromRawValue(std::string_view rawValue);
    static std::string_view rawValue(Status status);

    Status status = Status::unknown;
    std::optional<std::string> orderId;
    std::optional<std::string> transactionId;
    std::optional<std::string> resultCode;
    std::optional<std::string> message;
    std::string rawURL;
};

} // namespace tolven
