#include "TOLVEN/home/PayCallbackRouter.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/URLComponents.h"
#include "platform/foundation/UserDefaults.h"

#include <algorithm>
#include <initializer_list>

namespace tolven {

namespace {

using platform::URLQueryItem;

// The value of the first item named `name`; absent when there is none or it has no value.
std::optional<std::string> firstValue(const std::vector<URLQueryItem>& items, std::string_view name)
{
    auto item = std::find_if(items.begin(), items.end(), [&](const URLQueryItem& candidate) { return candidate.name == name; });
    return item == items.end() ? std::nullopt : item->value;
}

// The first of `names` whose first item has a value gives the field.
std::optional<std::string> field(const std::vector<URLQueryItem>& items, std::initializer_list<std::string_view> names)
{
    for (auto name : names)
        if (auto value = firstValue(items, name))
            return value;
    return std::nullopt;
}

std::string asciiLowercase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; });
    return text;
}

void post(PayCallback callback)
{
    platform::NotificationCenter::defaultCenter().post({ PayCallbackRouter::notificationName, {}, std::move(callback) });
}

} // namespace

PayCallbackRouter& PayCallbackRouter::shared()
{
    static auto* router = new PayCallbackRouter();
    return *router;
}

bool PayCallbackRouter::handleCallbackURL(std::string_view url)
{
    auto components = platform::URLComponents::parse(url);
    if (!components || asciiLowercase(components->scheme()) != allowedScheme)
        return false;
    if (const auto& host = components->host(); host && !allowedHosts.contains(*host))
        return false;

    auto items = components->queryItems();
    PayCallback callback;
    callback.status = PayCallback::statusFromRawValue(asciiLowercase(field(items, { "result", "status" }).value_or("")));
    callback.orderId = field(items, { "orderId", "merchant_uid", "oid" });
    callback.transactionId = field(items, { "tid", "txId", "transactionId" });
    callback.resultCode = field(items, { "code", "resultCode" });
    callback.message = field(items, { "msg", "message" });
    callback.rawURL = std::string(url);

    if (auto state = firstValue(items, "state")) {
        auto expected = platform::UserDefaults::standard().stringForKey(stateKey);
        if (expected && *expected != *state) {
            postInternalFailure(PayCallback::Status::fail, "Invalid state");
            return true;
        }
    }
    post(std::move(callback));
    return true;
}

void PayCallbackRouter::postInternalFailure(PayCallback::Status status, std::string message)
{
    PayCallback callback;
    callback.status = status;
    callback.message = std::move(message);
    callback.rawURL = internalAddress;
    post(std::move(callback));
}

} // namespace tolven
