// Answers from any server, through the whole HTTP session: the input is one
// flag byte, a two-byte status, header lines up to an empty line, and the
// body. A scripted transport gives that answer to a request of each kind (raw,
// data, JSON, a backend record, a download), each of which must complete
// exactly once with a value or an error.
#include "TOLVEN/signin/records/APIResponse.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/net/HttpSession.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

namespace {

using platform::HttpMethod;

struct ScriptedAnswer {
    std::uint8_t flags = 0;
    int status = 0;
    platform::HttpHeaderList headers;
    std::string body;

    static ScriptedAnswer read(std::string_view input)
    {
        ScriptedAnswer answer;
        if (input.size() < 3)
            return answer;
        answer.flags = static_cast<std::uint8_t>(input[0]);
        answer.status = (static_cast<std::uint8_t>(input[1]) << 8 | static_cast<std::uint8_t>(input[2])) % 1000;
        input.remove_prefix(3);
        while (!input.empty()) {
            auto end = input.find('\n');
            auto line = input.substr(0, end);
            input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
            if (line.empty())
                break;
            auto colon = line.find(':');
            auto value = colon == std::string_view::npos ? std::string_view() : line.substr(colon + 1);
            value.remove_prefix(std::min(value.find_first_not_of(' '), value.size()));
            answer.headers.add(line.substr(0, colon), std::string(value));
        }
        answer.body = std::string(input);
        return answer;
    }
};

// Answers every request with the scripted answer, at once.
class ScriptedTransport final : public platform::Transport {
public:
    ScriptedAnswer answer;

    void send(platform::HttpRequest request, std::optional<std::filesystem::path> bodyFile, Completion completion) override
    {
        Result result { platform::HttpResponse { answer.status, request.url, answer.headers }, {}, std::nullopt };
        if (bodyFile)
            std::ofstream(*bodyFile, std::ios::binary | std::ios::trunc) << answer.body;
        else
            result.body = answer.body;
        completion(std::move(result));
    }
};

struct Session {
    platform::TestEnvironment env;
    std::shared_ptr<ScriptedTransport> transport = std::make_shared<ScriptedTransport>();
    platform::HttpSession session { platform::HttpSessionConfiguration::defaultConfiguration(), nullptr, transport };
};

void mustCompleteOnce(int completions)
{
    if (completions != 1)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Session s;
    s.transport->answer = ScriptedAnswer::read({ reinterpret_cast<const char*>(data), size });
    const auto flags = s.transport->answer.flags;
    const auto method = flags & 1 ? HttpMethod::head() : HttpMethod::get();
    platform::HttpHeaderList headers;
    if (flags & 2)
        headers.add("Accept", flags & 4 ? "application/json" : "text/*;q=0.5, application/json");
    const bool validate = flags & 8;
    const std::string url = "https://fake.invalid/answer";
    auto request = [&] {
        auto made = s.session.requestWithParameters(url, method, std::nullopt, platform::UrlEncoding::methodDependent, headers);
        if (validate)
            made->validateStatus();
        return made;
    };
    const auto& main = platform::DispatchQueue::main();

    int raw = 0, text = 0, json = 0, record = 0, download = 0;
    request()->onRawResponse(main, [&](const platform::RawResponse&) { ++raw; });
    request()->onDataResponse(main, [&](const auto&) { ++text; });
    request()->onJSONResponse(main, [&](const auto&) { ++json; });
    request()->onDecodedResponse<tolven::APIResponse<tolven::UserItem>>(
        main, [&](const auto&) { ++record; }, &tolven::APIResponse<tolven::UserItem>::decode);
    auto downloadRequest = s.session.downloadToFile(url, s.env.dataFolder() / "downloads" / "answer.bin", method,
        std::nullopt, platform::UrlEncoding::methodDependent, headers);
    if (validate)
        downloadRequest->validateStatus();
    downloadRequest->onDownloadResponse(main, [&](const auto&) { ++download; });
    s.env.runUntilIdle();

    for (int completions : { raw, text, json, record, download })
        mustCompleteOnce(completions);
    if (s.session.requestsInFlight() != 0)
        std::abort();
    return 0;
}
