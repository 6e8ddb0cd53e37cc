#pragma once

#include "platform/net/Transport.h"

#include <deque>
#include <mutex>
#include <vector>

namespace platform {

// A transport that answers from a script, at once, and remembers what was sent.
class FakeTransport final : public Transport {
public:
    void script(int status, std::string body, HttpHeaderList headers = { { "Content-Type", "application/json" } })
    {
        HttpResponse response { status, "https://fake.invalid/", std::move(headers) };
        results_.push_back(Result { response, std::move(body), std::nullopt });
    }
    void scriptFailure(TransportError::Code code)
    {
        results_.push_back(Result { std::nullopt, {}, TransportError { code, "scripted failure" } });
    }

    void send(HttpRequest request, std::optional<std::filesystem::path>, Completion completion) override
    {
        sent.push_back(request);
        Result result = results_.empty() ? lastOrDefault() : results_.front();
        if (results_.size() > 1)
            results_.pop_front();
        completion(std::move(result));
    }

    std::vector<HttpRequest> sent;

private:
    static Result lastOrDefault() { return Result { HttpResponse { 200, "https://fake.invalid/", {} }, {}, std::nullopt }; }

    // The last scripted answer repeats.
    std::deque<Result> results_;
};

} // namespace platform
