// 1,000 sequential GETs over one kept-alive loopback TLS connection, written
// directly on one reused libcurl easy handle and sent through an HttpSession
// with a no-op interceptor, completions on the main queue as the application
// asks. The direct loop runs twice: bare, and with the session's own request
// headers, whose "Accept-Encoding" has the server compress each answer and the
// client inflate it (a cost of the exchange, not of the session). It runs a
// third time on a worker thread, each request handed over and each answer
// handed back through a condition variable. The worker sleeps between
// requests, so each request wakes two sleeping threads, where a session
// request wakes one (its transport is still awake when the next request
// comes): half this loop's extra time per request over the direct one is what
// the machine charges for waking a thread ("wake_us"), to set beside the
// session's extra time per request ("session_extra_us"). Each repetition runs
// the four back to back; the median rows give the session's time as a multiple
// of the direct loop with the same headers ("ratio", target: at most 1.3) and
// of the bare one ("ratio_to_bare"), the handed-off loop's as a multiple of
// the direct one ("handed_off_ratio"), and the CPU per request of each. The
// server runs in a child process, so the CPU figures are the client's alone.

#include "devstack/server/DevCertificates.h"
#include "devstack/server/testing/ScriptedService.h"
#include "platform/foundation/RunLoop.h"
#include "platform/net/CertificateAuthorities.h"
#include "platform/net/HttpSession.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace {

constexpr int kRequests = 1000;

std::string& pingUrl()
{
    static std::string url;
    return url;
}

std::filesystem::path& caFile()
{
    static std::filesystem::path file;
    return file;
}

size_t keepBody(char* data, size_t size, size_t count, void* body)
{
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

CURL* directHandle(bool withSessionHeaders)
{
    CURL* handle = curl_easy_init();
    curl_easy_setopt(handle, CURLOPT_URL, pingUrl().c_str());
    curl_easy_setopt(handle, CURLOPT_CAINFO, caFile().c_str());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &keepBody);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    if (withSessionHeaders) {
        curl_slist* headers = nullptr;
        for (const auto& header : platform::HttpSessionConfiguration::defaultConfiguration().headers)
            headers = curl_slist_append(headers, (header.name + ": " + header.value).c_str());
        curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers); // kept for the whole run
        curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, "");
    }
    return handle;
}

// The baseline: what libcurl costs with nothing around it.
bool directLoop(CURL* easy, int requests)
{
    std::string body;
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    bool ok = true;
    for (int i = 0; i < requests; ++i) {
        body.clear();
        ok &= curl_easy_perform(easy) == CURLE_OK && !body.empty();
    }
    return ok;
}

bool bareLoop(int requests)
{
    static CURL* easy = directHandle(false);
    return directLoop(easy, requests);
}

bool sameHeadersLoop(int requests)
{
    static CURL* easy = directHandle(true);
    return directLoop(easy, requests);
}

// The same-headers loop on a worker thread, one request per hand-off.
bool handedOffLoop(int requests)
{
    struct Handoff {
        std::mutex mutex;
        std::condition_variable asked;
        std::condition_variable answered;
        int requested = 0;
        int done = 0;
        bool ok = true;
    };
    static auto* handoff = [] {
        auto* shared = new Handoff;
        std::thread([shared] {
            CURL* easy = directHandle(true);
            for (int next = 1;; ++next) {
                {
                    std::unique_lock lock(shared->mutex);
                    shared->asked.wait(lock, [&] { return shared->requested >= next; });
                }
                bool ok = directLoop(easy, 1);
                {
                    std::lock_guard lock(shared->mutex);
                    shared->done = next;
                    shared->ok &= ok;
                }
                shared->answered.notify_one();
            }
        }).detach();
        return shared;
    }();
    for (int i = 0; i < requests; ++i) {
        std::unique_lock lock(handoff->mutex);
        int request = ++handoff->requested;
        handoff->asked.notify_one();
        handoff->answered.wait(lock, [&] { return handoff->done == request; });
    }
    std::lock_guard lock(handoff->mutex);
    return handoff->ok;
}

class NoOpInterceptor final : public platform::RequestInterceptor { };

bool sessionLoop(int requests)
{
    static auto* session = new platform::HttpSession(platform::HttpSessionConfiguration::defaultConfiguration(), std::make_shared<NoOpInterceptor>());
    bool ok = true;
    for (int i = 0; i < requests; ++i) {
        session->requestWithParameters(pingUrl())->validateStatus().onDataResponse(platform::DispatchQueue::main(), [&](const platform::DataResponse<std::string>& response) {
            ok &= response.result.isSuccess();
            platform::RunLoop::main().stop();
        });
        platform::RunLoop::main().run();
    }
    return ok;
}

struct Cost {
    double wallMilliseconds;
    double cpuMilliseconds;
};

double processCpuMilliseconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    auto toMs = [](const timeval& time) { return time.tv_sec * 1e3 + time.tv_usec / 1e3; };
    return toMs(usage.ru_utime) + toMs(usage.ru_stime);
}

template<typename Loop>
Cost measure(Loop loop, benchmark::State& state)
{
    double cpuBefore = processCpuMilliseconds();
    auto before = std::chrono::steady_clock::now();
    if (!loop(kRequests))
        state.SkipWithError("a request failed");
    std::chrono::duration<double, std::milli> wall = std::chrono::steady_clock::now() - before;
    return Cost { wall.count(), processCpuMilliseconds() - cpuBefore };
}

void sessionVersusDirectCurl(benchmark::State& state)
{
    for (auto _ : state) {
        Cost bare = measure(&bareLoop, state);
        Cost sameHeaders = measure(&sameHeadersLoop, state);
        Cost session = measure(&sessionLoop, state);
        Cost handedOff = measure(&handedOffLoop, state);
        state.counters["bare_ms"] = bare.wallMilliseconds;
        state.counters["direct_ms"] = sameHeaders.wallMilliseconds;
        state.counters["session_ms"] = session.wallMilliseconds;
        state.counters["ratio"] = session.wallMilliseconds / sameHeaders.wallMilliseconds;
        state.counters["ratio_to_bare"] = session.wallMilliseconds / bare.wallMilliseconds;
        state.counters["handed_off_ms"] = handedOff.wallMilliseconds;
        state.counters["handed_off_ratio"] = handedOff.wallMilliseconds / sameHeaders.wallMilliseconds;
        state.counters["wake_us"] = (handedOff.wallMilliseconds - sameHeaders.wallMilliseconds) * 1e3 / kRequests / 2;
        state.counters["session_extra_us"] = (session.wallMilliseconds - sameHeaders.wallMilliseconds) * 1e3 / kRequests;
        state.counters["bare_cpu_us/req"] = bare.cpuMilliseconds * 1e3 / kRequests;
        state.counters["direct_cpu_us/req"] = sameHeaders.cpuMilliseconds * 1e3 / kRequests;
        state.counters["session_cpu_us/req"] = session.cpuMilliseconds * 1e3 / kRequests;
        state.counters["handed_off_cpu_us/req"] = handedOff.cpuMilliseconds * 1e3 / kRequests;
    }
}

BENCHMARK(sessionVersusDirectCurl)->Iterations(1)->Repetitions(15)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond)->UseRealTime();

// Serves "/ping" from a child process until the parent closes `stop`.
[[noreturn]] void serve(const devstack::DevCertificates& certificates, int portOut, int stop)
{
    devstack::testing::ScriptedService service;
    service.reply("GET", "/ping", 200, R"({"ok":true})");
    service.start(certificates, 0);
    int port = service.port();
    if (write(portOut, &port, sizeof port) != sizeof port)
        std::_Exit(1);
    char ignored;
    while (read(stop, &ignored, 1) > 0) { }
    service.stop();
    std::_Exit(0);
}

} // namespace

int main(int argc, char** argv)
{
    std::string folder = (std::filesystem::temp_directory_path() / "tolven-net-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data()))
        return 1;
    auto certificates = devstack::DevCertificates::ensure(std::filesystem::path(folder) / "tls");

    // Forked before this process starts any thread.
    int portPipe[2];
    int stopPipe[2];
    if (pipe(portPipe) != 0 || pipe(stopPipe) != 0)
        return 1;
    pid_t server = fork();
    if (server == 0) {
        close(portPipe[0]);
        close(stopPipe[1]);
        serve(certificates, portPipe[1], stopPipe[0]);
    }
    close(portPipe[1]);
    close(stopPipe[0]);
    int port = 0;
    if (server < 0 || read(portPipe[0], &port, sizeof port) != sizeof port)
        return 1;

    pingUrl() = "https://127.0.0.1:" + std::to_string(port) + "/ping";
    caFile() = certificates.caFile;
    platform::setExtraCertificateAuthorityFile(certificates.caFile);
    // Every loop's connection is open and warm before the first measured repetition.
    int result = bareLoop(20) && sameHeadersLoop(20) && sessionLoop(20) && handedOffLoop(20) ? 0 : 1;
    if (result == 0) {
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }

    close(stopPipe[1]);
    waitpid(server, nullptr, 0);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return result;
}
