#include "lumitrex/Conn.h"

#include "common/LibrarySuite.h"
#include "conn/AppIdentifier.h"
#include "conn/ConnServer.h"
#include "conn/RequestDate.h"

#include "platform/foundation/Bundle.h"
#include "platform/net/UrlSession.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <semaphore>

namespace lumitrex {

namespace {

const char* const kPathPrefix = "/orvix/sdk/";
const char* const kEncKey = "enc";

std::string storedAppId()
{
    // Only text is an identifier: the suite would render a stored number as text.
    if (auto suite = librarySuite()) {
        if (auto stored = suite->objectForKey(kEncKey); stored && stored->is<std::string>())
            return *stored->get<std::string>();
    }
    return {};
}

nlohmann::json makeHeader(const std::string& name)
{
    return {
        { "name", name },
        { "version", platform::Bundle::main().shortVersionString().value_or("") },
        { "from", "Mobile" },
        { "request_date", requestDateString() },
        { "response_date", "" },
    };
}

// Sends the envelope and waits for the answer; the completion runs on the
// transport's thread, so even a caller on the main thread does not wait for itself.
Conn::Bytes postJSON(const std::string& url, const nlohmann::json& envelope)
{
    platform::HttpRequest request;
    request.url = url;
    request.method = platform::HttpMethod::post();
    request.timeout = std::chrono::seconds(60);
    request.headers.update("Content-Type", "application/json");
    request.headers.update("User-Agent", platform::Bundle::main().bundleIdentifier());
    // Text that is not UTF-8 is written with replacement characters instead of failing.
    request.body = envelope.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);

    struct Holder {
        Conn::Bytes bytes;
        std::binary_semaphore done { 0 };
    };
    auto holder = std::make_shared<Holder>();
    auto task = platform::UrlSession::shared().dataTask(std::move(request),
        [holder](std::optional<std::string> data, std::optional<platform::HttpResponse>, std::optional<platform::TransportError>) {
            if (data)
                holder->bytes.assign(data->begin(), data->end());
            holder->done.release();
        });
    task->resume();
    holder->done.acquire();
    return std::move(holder->bytes);
}

Conn::Bytes send(const std::string& name, nlohmann::json requestObject)
{
    nlohmann::json envelope {
        { "body", { { "request", std::move(requestObject) }, { "response", nullptr } } },
        { "header", makeHeader(name) },
    };
    return postJSON(connServerUrl() + kPathPrefix + name, envelope);
}

nlohmann::json textOrNull(const std::optional<std::string>& text)
{
    return text ? nlohmann::json(*text) : nlohmann::json(nullptr);
}

} // namespace

Conn::Bytes Conn::uidRequest(const std::optional<std::string>& deviceKey, const std::optional<std::string>& deviceNo)
{
    std::string appId = makeAppIdentifier(deviceKey, deviceNo);
    if (auto suite = librarySuite())
        suite->setString(kEncKey, appId);
    return send("uidRequest", { { "device_key", textOrNull(deviceKey) }, { "device_no", textOrNull(deviceNo) }, { "appid", appId }, { "os_type", 2 } });
}

Conn::Bytes Conn::cardList(const std::string& uid)
{
    return send("cardList", { { "uid", uid }, { "appid", storedAppId() } });
}

Conn::Bytes Conn::cardIssue(const std::string& uid, const std::string& mid, const std::string& cu_code)
{
    return send("cardIssue", { { "uid", uid }, { "mid", mid }, { "cu_code", cu_code }, { "appid", storedAppId() } });
}

Conn::Bytes Conn::cardValidCheck(const std::string& uid)
{
    return send("cardValidCheck", { { "uid", uid }, { "appid", storedAppId() } });
}

Conn::Bytes Conn::smsNumRequest(const std::string& uid)
{
    return send("smsNumRequest", { { "uid", uid }, { "appid", storedAppId() } });
}

Conn::Bytes Conn::smsVerify(const std::string& uid, const std::string& smsNo)
{
    return send("smsVerify", { { "uid", uid }, { "sms_no", smsNo }, { "appid", storedAppId() } });
}

Conn::Bytes Conn::acceptTerms(const std::string& uid)
{
    return send("acceptTerms", { { "uid", uid }, { "terms_yn", "Y" }, { "privacy_yn", "Y" }, { "appid", storedAppId() } });
}

} // namespace lumitrex
