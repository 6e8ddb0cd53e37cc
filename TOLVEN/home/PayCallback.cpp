#include "TOLVEN/home/PayCallback.h"

#include <array>

namespace tolven {

namespace {

constexpr std::array<std::pair<PayCallback::Status, std::string_view>, 4> rawValues { {
    { PayCallback::Status::success, "success" },
    { PayCallback::Status::fail, "fail" },
    { PayCallback::Status::cancel, "cancel" },
    { PayCallback::Status::unknown, "unknown" },
} };

} // namespace

PayCallback::Status PayCallback::statusFromRawValue(std::string_view rawValue)
{
    for (const auto& [status, text] : rawValues)
        if (text == rawValue)
            return status;
    return Status::unknown;
}

std::string_view PayCallback::rawValue(Status status)
{
    for (const auto& [candidate, text] : rawValues)
        if (candidate == status)
            return text;
    return "unknown";
}

} // namespace tolven
