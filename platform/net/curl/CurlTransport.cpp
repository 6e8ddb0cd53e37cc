#include "platform/net/curl/CurlTransport.h"

#include "platform/net/CertificateAuthorities.h"
#include "platform/net/curl/Redirect.h"

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <variant>

#include <pthread.h>
#include <unistd.h>

namespace platform {

namespace {

// How long an idle loop spins before it sleeps: a caller woken by an answer
// usually sends its next request within this, which then costs the caller no
// system call and the loop no wake-up.
constexpr std::chrono::microseconds kSpinBeforeSleep { 50 };

// Names the loop's thread in debuggers and profiles (at most 15 characters).
constexpr const char* kThreadName = "curl transport";

void initializeCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string trimmed(std::string_view text)
{
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

TransportError::Code codeFor(CURLcode result)
{
    switch (result) {
    case CURLE_OPERATION_TIMEDOUT:
        return TransportError::Code::timedOut;
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
        return TransportError::Code::cannotConnect;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
        return TransportError::Code::secureConnectionFailed;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
        return TransportError::Code::badUrl;
    case CURLE_WRITE_ERROR:
        return TransportError::Code::fileFailed;
    default:
        return TransportError::Code::other;
    }
}

// Adds the configured extra authority to the system's ones for each new TLS connection.
CURLcode addExtraAuthority(CURL*, void* sslContext, void* userData)
{
    const auto* file = static_cast<const std::optional<std::filesystem::path>*>(userData);
    if (!file || !*file)
        return CURLE_OK;
    X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(sslContext));
    // An unreadable file only means that servers of that authority fail verification.
    X509_STORE_load_file(store, (*file)->c_str());
    return CURLE_OK;
}

} // namespace

struct CurlTransport::Transfer {
    HttpRequest request;
    std::optional<std::filesystem::path> bodyFile;
    Completion completion;
    CURL* easy = nullptr;
    curl_slist* headerList = nullptr;
    std::FILE* file = nullptr;
    std::optional<std::filesystem::path> extraAuthority;
    MonotonicTime lastActivity;
    curl_off_t lastDownloaded = 0;
    curl_off_t lastUploaded = 0;
    HttpHeaderList responseHeaders;
    std::string body;
    int redirects = 0;
    char errorBuffer[CURL_ERROR_SIZE] = {};

    ~Transfer()
    {
        if (easy)
            curl_easy_cleanup(easy);
        if (headerList)
            curl_slist_free_all(headerList);
        if (file)
            std::fclose(file);
    }

    void touch() { lastActivity = platform::clock().monotonicNow(); }

    static size_t onBody(char* data, size_t size, size_t count, void* user)
    {
        auto& transfer = *static_cast<Transfer*>(user);
        size_t length = size * count;
        transfer.touch();
        if (transfer.file)
            return std::fwrite(data, 1, length, transfer.file);
        transfer.body.append(data, length);
        return length;
    }

    static size_t onHeader(char* data, size_t size, size_t count, void* user)
    {
        auto& transfer = *static_cast<Transfer*>(user);
        size_t length = size * count;
        transfer.touch();
        std::string_view line(data, length);
        if (line.starts_with("HTTP/")) {
            // A new status line (after "100 Continue" or a redirect) starts a new header block.
            transfer.responseHeaders = {};
        } else if (auto colon = line.find(':'); colon != std::string_view::npos) {
            transfer.responseHeaders.update(trimmed(line.substr(0, colon)), trimmed(line.substr(colon + 1)));
        }
        return length;
    }

    static int onProgress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded)
    {
        auto& transfer = *static_cast<Transfer*>(user);
        if (downloaded != transfer.lastDownloaded || uploaded != transfer.lastUploaded) {
            transfer.lastDownloaded = downloaded;
            transfer.lastUploaded = uploaded;
            transfer.touch();
        }
        return 0;
    }
};

CurlTransport::CurlTransport()
    : wakeup_([this] { curl_multi_wakeup(multi_); })
{
    initializeCurlOnce();
    multi_ = curl_multi_init();
    curl_multi_setopt(multi_, CURLMOPT_MAX_HOST_CONNECTIONS, 6L);
    curl_multi_setopt(multi_, CURLMOPT_MAXCONNECTS, 64L);
    queueHost_ = std::make_unique<QueueHost>([this] { wakeup_.notify(); });
    thread_ = std::thread([this] {
        pthread_setname_np(pthread_self(), kThreadName);
        queueHost_->attachToThisThread();
        run();
    });
}

CurlTransport::~CurlTransport()
{
    stopThread();
    // No poster may wake the loop once the multi handle is gone.
    queueHost_.reset();
    for (auto& transfer : active_)
        curl_multi_remove_handle(multi_, transfer->easy);
    active_.clear();
    for (CURL* easy : idleEasyHandles_)
        curl_easy_cleanup(easy);
    incoming_.clear();
    curl_multi_cleanup(multi_);
}

void CurlTransport::stopThread()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wakeup_.notify();
    // exit() called from a completion runs the stop on this very thread, which
    // then never returns to the loop.
    if (thread_.joinable() && std::this_thread::get_id() != thread_.get_id())
        thread_.join();
}

void CurlTransport::send(HttpRequest request, std::optional<std::filesystem::path> bodyFile, Completion completion)
{
    auto transfer = std::make_unique<Transfer>();
    transfer->request = std::move(request);
    transfer->bodyFile = std::move(bodyFile);
    transfer->completion = std::move(completion);
    transfer->extraAuthority = extraCertificateAuthorityFile();
    // The idle clock starts now, so a test that lets virtual time pass right
    // after sending times the transfer out however late the thread picks it up.
    transfer->touch();
    {
        std::lock_guard lock(mutex_);
        incoming_.push_back(std::move(transfer));
    }
    // A session block on the loop's own thread is followed by a look at incoming transfers.
    if (std::this_thread::get_id() != thread_.get_id())
        wakeup_.notify();
}

DispatchQueue CurlTransport::makeSerialQueue(std::string label)
{
    return queueHost_->makeQueue(std::move(label));
}

CURL* CurlTransport::takeEasyHandle()
{
    if (idleEasyHandles_.empty())
        return curl_easy_init();
    CURL* easy = idleEasyHandles_.back();
    idleEasyHandles_.pop_back();
    // Forgets every option; what it keeps (its buffers) only saves allocations.
    curl_easy_reset(easy);
    return easy;
}

void CurlTransport::releaseEasyHandle(Transfer& transfer)
{
    if (!transfer.easy)
        return;
    curl_multi_remove_handle(multi_, transfer.easy);
    if (idleEasyHandles_.size() < kIdleEasyHandles)
        idleEasyHandles_.push_back(transfer.easy);
    else
        curl_easy_cleanup(transfer.easy);
    transfer.easy = nullptr;
}

void CurlTransport::startTransfer(std::unique_ptr<Transfer> owned)
{
    Transfer& transfer = *owned;
    active_.push_back(std::move(owned));
    if (transfer.bodyFile) {
        transfer.file = std::fopen(transfer.bodyFile->c_str(), "wb");
        if (!transfer.file) {
            finishTransfer(transfer, TransportError { TransportError::Code::fileFailed, "cannot open " + transfer.bodyFile->string() });
            return;
        }
    }
    sendRequest(transfer);
}

void CurlTransport::sendRequest(Transfer& transfer)
{
    CURL* easy = takeEasyHandle();
    transfer.easy = easy;
    const HttpRequest& request = transfer.request;

    curl_easy_setopt(easy, CURLOPT_PRIVATE, &transfer);
    curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    // Redirects are followed in followRedirect, which decides what each target may see.
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer.errorBuffer);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, &addExtraAuthority);
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, &transfer.extraAuthority);
    // Decode compressed answers; the caller's "Accept-Encoding" still decides what is asked for.
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &Transfer::onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &transfer);

    const std::string& method = request.method.rawValue;
    if (method == "GET" && request.body.empty()) {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    } else if (method == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.body.data());
        if (method != "POST")
            curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
    }

    curl_slist* headers = nullptr;
    for (const auto& header : request.headers) {
        // "Name;" is how libcurl sends a header with an empty value.
        std::string line = header.value.empty() ? header.name + ";" : header.name + ": " + header.value;
        headers = curl_slist_append(headers, line.c_str());
    }
    // libcurl would otherwise add a form content type to every POST and wait for "100 Continue".
    if (!request.headers.contains("Content-Type"))
        headers = curl_slist_append(headers, "Content-Type:");
    headers = curl_slist_append(headers, "Expect:");
    transfer.headerList = headers;
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_multi_add_handle(multi_, easy);
}

bool CurlTransport::followRedirect(Transfer& transfer)
{
    long status = 0;
    curl_easy_getinfo(transfer.easy, CURLINFO_RESPONSE_CODE, &status);
    char* location = nullptr;
    curl_easy_getinfo(transfer.easy, CURLINFO_REDIRECT_URL, &location);
    if (!isRedirectStatus(status) || !location)
        return false;
    if (transfer.redirects == kMaxRedirects) {
        finishTransfer(transfer, TransportError { TransportError::Code::other, "There were too many redirects." });
        return true;
    }
    auto next = redirectedRequest(transfer.request, status, location);
    if (auto* error = std::get_if<TransportError>(&next)) {
        finishTransfer(transfer, std::move(*error));
        return true;
    }
    ++transfer.redirects;
    transfer.request = std::get<HttpRequest>(std::move(next));
    releaseEasyHandle(transfer);
    curl_slist_free_all(transfer.headerList);
    transfer.headerList = nullptr;
    transfer.responseHeaders = {};
    transfer.body.clear();
    transfer.lastDownloaded = 0;
    transfer.lastUploaded = 0;
    // The redirect's own body is no part of the download.
    if (transfer.file && (std::fflush(transfer.file) != 0 || ::ftruncate(::fileno(transfer.file), 0) != 0)) {
        finishTransfer(transfer, TransportError { TransportError::Code::fileFailed, "cannot write " + transfer.bodyFile->string() });
        return true;
    }
    if (transfer.file)
        std::rewind(transfer.file);
    transfer.touch();
    sendRequest(transfer);
    return true;
}

void CurlTransport::finishTransfer(Transfer& transfer, std::optional<TransportError> error)
{
    Result result;
    if (transfer.file) {
        if (std::fclose(transfer.file) != 0 && !error)
            error = TransportError { TransportError::Code::fileFailed, "cannot write " + transfer.bodyFile->string() };
        transfer.file = nullptr;
    }
    if (!error) {
        HttpResponse response;
        long status = 0;
        curl_easy_getinfo(transfer.easy, CURLINFO_RESPONSE_CODE, &status);
        char* effectiveUrl = nullptr;
        curl_easy_getinfo(transfer.easy, CURLINFO_EFFECTIVE_URL, &effectiveUrl);
        response.statusCode = static_cast<int>(status);
        response.url = effectiveUrl ? effectiveUrl : transfer.request.url;
        response.headers = std::move(transfer.responseHeaders);
        result.response = std::move(response);
        result.body = std::move(transfer.body);
    }
    result.error = std::move(error);
    auto completion = std::move(transfer.completion);
    releaseEasyHandle(transfer);
    std::erase_if(active_, [&](const std::unique_ptr<Transfer>& candidate) { return candidate.get() == &transfer; });
    if (completion)
        completion(std::move(result));
}

void CurlTransport::run()
{
    for (;;) {
        auto epoch = wakeup_.epoch();
        std::vector<std::unique_ptr<Transfer>> arrived;
        {
            std::lock_guard lock(mutex_);
            if (stopping_)
                return;
            arrived.swap(incoming_);
        }
        for (auto& transfer : arrived)
            startTransfer(std::move(transfer));

        int running = 0;
        curl_multi_perform(multi_, &running);
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            Transfer* transfer = nullptr;
            curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
            CURLcode code = message->data.result;
            if (code == CURLE_OK && followRedirect(*transfer))
                continue;
            std::optional<TransportError> error;
            if (code != CURLE_OK) {
                std::string detail = transfer->errorBuffer[0] ? transfer->errorBuffer : curl_easy_strerror(code);
                error = TransportError { codeFor(code), detail };
            }
            finishTransfer(*transfer, std::move(error));
        }

        if (!active_.empty()) {
            auto now = platform::clock().monotonicNow();
            std::vector<Transfer*> idle;
            for (auto& transfer : active_) {
                if (now - transfer->lastActivity >= transfer->request.timeout)
                    idle.push_back(transfer.get());
            }
            for (Transfer* transfer : idle)
                finishTransfer(*transfer, TransportError { TransportError::Code::timedOut, "The request timed out." });
        }

        // The sessions' work: answers just finished are validated here, and
        // requests adapted here are sent in the next round without sleeping.
        auto nextBlock = queueHost_->runDueBlocks();
        {
            std::lock_guard lock(mutex_);
            if (!incoming_.empty())
                continue;
        }

        // Waiting on a server is left to poll; only an idle loop spins.
        if (active_.empty() && !nextBlock && wakeup_.spinFor(epoch, kSpinBeforeSleep))
            continue;
        // Short polls keep the idle check going while transfers wait on a silent server.
        auto poll = std::chrono::milliseconds(active_.empty() ? 10000 : 50);
        if (nextBlock) {
            auto untilBlock = std::chrono::ceil<std::chrono::milliseconds>(*nextBlock - std::chrono::steady_clock::now());
            poll = std::clamp(untilBlock, std::chrono::milliseconds(0), poll);
        }
        if (!wakeup_.beginSleep(epoch))
            continue;
        curl_multi_poll(multi_, nullptr, 0, static_cast<int>(poll.count()), nullptr);
        wakeup_.endSleep();
    }
}

namespace {

CurlTransport* sharedCurlTransport = nullptr;

void stopSharedTransport()
{
    sharedCurlTransport->stopThread();
}

} // namespace

std::shared_ptr<Transport> sharedTransport()
{
    // Never destroyed, as a completion may still hold it while the process
    // exits; only its thread is stopped then.
    static auto* transport = [] {
        auto curl = std::make_shared<CurlTransport>();
        sharedCurlTransport = curl.get();
        // Registered after libcurl has set OpenSSL up, so that it runs before
        // OpenSSL's own clean-up: a handshake must not race that.
        std::atexit(&stopSharedTransport);
        return new std::shared_ptr<Transport>(std::move(curl));
    }();
    return *transport;
}

} // namespace platform
