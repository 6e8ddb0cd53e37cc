// 1,000 sequential GETs over one kept-alive loopback TLS connection: through
// an HttpSession with a no-op interceptor, and the same loop written directly
// on one reused libcurl easy handle. The session should cost at most 1.2 times
// the direct loop.

#include "devstack/server/DevCertificates.h"
#include "devstack/server/testing/ScriptedService.h"
#include "platform/net/CertificateAuthorities.h"
#include "platform/foundation/RunLoop.h"
#include "platform/net/HttpSession.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <cstdlib>

namespace {

constexpr int kRequests = 1000;

struct LoopbackServer {
    LoopbackServer()
    {
        std::string folder = (std::filesystem::temp_directory_path() / "tolven-net-bench-XXXXXX").string();
        if (!::mkdtemp(folder.data()))
            std::abort();
        root = folder;
        certificates = devstack::DevCertificates::ensure(root / "tls");
        platform::setExtraCertificateAuthorityFile(certificates.caFile);
        service.reply("GET", "/ping", 200, R"({"ok":true})");
        service.start(certificates, 0);
    }
    ~LoopbackServer()
    {
        service.stop();
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    std::filesystem::path root;
    devstack::DevCertificates certificates;
    devstack::testing::ScriptedService service;
};

LoopbackServer& server()
{
    static LoopbackServer instance;
    return instance;
}

class NoOpInterceptor final : public platform::RequestInterceptor { };

size_t discard(char*, size_t size, size_t count, void* body)
{
    static_cast<std::string*>(body)->append(size * count, ' ');
    return size * count;
}

void directCurlLoop(benchmark::State& state)
{
    std::string url = server().service.baseUrl() + "/ping";
    CURL* easy = curl_easy_init();
    std::string body;
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_CAINFO, server().certificates.caFile.c_str());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &discard);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    for (auto _ : state) {
        for (int i = 0; i < kRequests; ++i) {
            body.clear();
            if (curl_easy_perform(easy) != CURLE_OK)
                state.SkipWithError("transfer failed");
        }
    }
    curl_easy_cleanup(easy);
    state.counters["requests/s"] = benchmark::Counter(static_cast<double>(kRequests) * state.iterations(), benchmark::Counter::kIsRate);
}

// Completions arrive on the main queue and the loop runs the main run loop,
// as the application does.
void sessionLoop(benchmark::State& state)
{
    std::string url = server().service.baseUrl() + "/ping";
    platform::HttpSession session(platform::HttpSessionConfiguration::defaultConfiguration(), std::make_shared<NoOpInterceptor>());
    bool failed = false;
    for (auto _ : state) {
        for (int i = 0; i < kRequests; ++i) {
            session.requestWithParameters(url)->validateStatus().onDataResponse(platform::DispatchQueue::main(), [&](const platform::DataResponse<std::string>& response) {
                failed |= !response.result.isSuccess();
                platform::RunLoop::main().stop();
            });
            platform::RunLoop::main().run();
        }
    }
    if (failed)
        state.SkipWithError("a request failed");
    state.counters["requests/s"] = benchmark::Counter(static_cast<double>(kRequests) * state.iterations(), benchmark::Counter::kIsRate);
}

BENCHMARK(directCurlLoop)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(sessionLoop)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
