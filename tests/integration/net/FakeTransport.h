#pragma once

#include "platform/net/Transport.h"

#include <deque>
#include <vector>

namespace platform {

// A transport that answers from a script and remembers what was sent. Like
// the real one it answers later, from its own serial queue, which it also
// lends to the sessions on it as their queue.
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
        queue_.async([completion = std::move(completion), result = std::move(result)] { completion(result); });
    }

    DispatchQueue makeSerialQueue(std::string) override { return queue_; }

    std::vector<HttpRequest> sent;

private:
    static Result lastOrDefault() { return Result { HttpResponse { 200, "https://fake.invalid/", {} }, {}, std::nullopt }; }

    const DispatchQueue queue_ { "fake transport" };
    // The last scripted answer repeats.
    std::deque<Result> results_;
};

} // namespace platform
