#include "platform/net/Request.h"

#include "platform/net/CurlCommand.h"
#include "platform/net/SessionCore.h"
#include "platform/net/TransportSecurity.h"
#include "platform/security/Uuid.h"


namespace platform {

namespace {

template<typename Value>
struct Handoff {
    std::mutex mutex;
    bool askReturned = false;
    bool answered = false;
    std::optional<Value> early;
};

// Asks the interceptor through `ask` and continues with `proceed` on the
// session's queue. An answer given before `ask` returns is taken up right
// after it returns, without a hop; a later one (from any thread) hops to the
// queue. Either way the stack never grows with retries. Only the first
// answer counts.
template<typename Value, typename Ask, typename Proceed>
void askInterceptor(const DispatchQueue& queue, Ask ask, Proceed proceed)
{
    auto handoff = std::make_shared<Handoff<Value>>();
    ask([handoff, queue, proceed](Value value) {
        std::unique_lock lock(handoff->mutex);
        if (handoff->answered)
            return;
        handoff->answered = true;
        if (!handoff->askReturned) {
            handoff->early = std::move(value);
            return;
        }
        lock.unlock();
        queue.async([proceed, value = std::move(value)]() mutable { proceed(std::move(value)); });
    });
    std::unique_lock lock(handoff->mutex);
    handoff->askReturned = true;
    if (handoff->early) {
        Value value = std::move(*handoff->early);
        handoff->early.reset();
        lock.unlock();
        proceed(std::move(value));
    }
}

std::filesystem::path temporaryPathBeside(const std::filesystem::path& destination)
{
    return destination.parent_path() / ("." + destination.filename().string() + ".download-" + makeUuidString());
}

TransportError fileError(const std::string& message)
{
    return TransportError { TransportError::Code::fileFailed, message };
}

} // namespace

Request::Request(std::shared_ptr<SessionCore> core, HttpRequest initial, std::optional<HttpClientError> encodingError,
    std::optional<std::filesystem::path> destination)
    : core_(std::move(core))
    , initial_(std::move(initial))
    , encodingError_(std::move(encodingError))
    , destination_(std::move(destination))
{
}

Request::~Request() = default;

void Request::addValidation(StatusValidation validation)
{
    std::lock_guard lock(mutex_);
    validations_.push_back(validation);
}

void Request::setCurlHandler(std::function<void(const std::string&)> handler)
{
    std::lock_guard lock(mutex_);
    curlHandler_ = std::move(handler);
}

void Request::start(const DispatchQueue& queue, Serializer serializer, Delivery delivery)
{
    {
        std::lock_guard lock(mutex_);
        if (started_)
            return;
        started_ = true;
        deliveryQueue_ = queue;
        serializer_ = std::move(serializer);
        delivery_ = std::move(delivery);
    }
    auto self = shared_from_this();
    core_->retain(self);
    core_->queue.async([self] { self->attempt(); });
}

void Request::attempt()
{
    if (encodingError_) {
        finish(RawResponse { std::nullopt, std::nullopt, std::nullopt, encodingError_ });
        return;
    }
    if (!core_->interceptor) {
        send(initial_);
        return;
    }
    auto self = shared_from_this();
    askInterceptor<RequestInterceptor::AdaptResult>(
        core_->queue,
        [&](RequestInterceptor::AdaptCompletion completion) { core_->interceptor->adapt(initial_, std::move(completion)); },
        [self](RequestInterceptor::AdaptResult result) { self->adapted(std::move(result)); });
}

void Request::adapted(RequestInterceptor::AdaptResult result)
{
    if (auto* error = std::get_if<DomainError>(&result)) {
        finish(RawResponse { std::nullopt, std::nullopt, std::nullopt, HttpClientError::adaptationFailed(*error) });
        return;
    }
    send(std::get<HttpRequest>(std::move(result)));
}

void Request::send(HttpRequest request)
{
    for (const auto& header : core_->configuration.headers) {
        if (!request.headers.contains(header.name))
            request.headers.update(header.name, header.value);
    }
    request.timeout = core_->configuration.timeoutIntervalForRequest;
    if (curlHandler_)
        curlHandler_(curlCommandFor(request));
    // Checked after adaptation, so that an interceptor cannot send a token in clear either.
    if (!isHttpsAddress(request.url)) {
        transferred(std::move(request), std::nullopt, Transport::Result { std::nullopt, {}, plainAddressRefused() });
        return;
    }

    std::optional<std::filesystem::path> temporary;
    if (destination_) {
        std::error_code error;
        if (std::filesystem::is_directory(*destination_, error)) {
            transferred(std::move(request), std::nullopt,
                Transport::Result { std::nullopt, {}, fileError("the destination is a folder: " + destination_->string()) });
            return;
        }
        std::filesystem::create_directories(destination_->parent_path(), error);
        if (error) {
            transferred(std::move(request), std::nullopt,
                Transport::Result { std::nullopt, {}, fileError("cannot create " + destination_->parent_path().string()) });
            return;
        }
        temporary = temporaryPathBeside(*destination_);
    }

    auto self = shared_from_this();
    core_->transport->send(request, temporary, [self, request, temporary](Transport::Result result) mutable {
        self->core_->queue.async([self, request, temporary, result = std::move(result)]() mutable {
            self->transferred(std::move(request), std::move(temporary), std::move(result));
        });
    });
}

void Request::transferred(HttpRequest request, std::optional<std::filesystem::path> temporary, Transport::Result result)
{
    RawResponse raw { std::move(request), std::move(result.response), std::nullopt, std::nullopt };
    if (result.error) {
        raw.error = HttpClientError::transportFailed(std::move(*result.error));
    } else {
        bool bodyIsEmpty = result.body.empty();
        if (temporary) {
            std::error_code error;
            bodyIsEmpty = std::filesystem::file_size(*temporary, error) == 0 || error;
        } else {
            raw.data = std::move(result.body);
        }
        for (const auto& validation : validations_) {
            if (auto rejected = validateResponse(validation, *raw.request, *raw.response, bodyIsEmpty)) {
                raw.error = std::move(rejected);
                break;
            }
        }
        // A rejected download leaves the old file alone.
        if (!raw.error && temporary)
            raw.error = storeDownload(*temporary);
        if (!raw.error && serializer_)
            raw.error = serializer_(raw);
    }
    if (temporary) {
        std::error_code ignored;
        std::filesystem::remove(*temporary, ignored);
    }
    if (raw.error)
        failed(std::move(raw));
    else
        finish(std::move(raw));
}

std::optional<HttpClientError> Request::storeDownload(const std::filesystem::path& temporary)
{
    std::error_code error;
    std::filesystem::rename(temporary, *destination_, error);
    if (error)
        return HttpClientError::transportFailed(fileError("cannot store the download at " + destination_->string() + ": " + error.message()));
    return std::nullopt;
}

void Request::failed(RawResponse raw)
{
    if (!core_->interceptor || !raw.request) {
        finish(std::move(raw));
        return;
    }
    auto self = shared_from_this();
    auto shared = std::make_shared<RawResponse>(std::move(raw));
    askInterceptor<RetryDecision>(
        core_->queue,
        [&](RequestInterceptor::RetryCompletion completion) {
            FailedAttempt attempt { *shared->request, shared->response, *shared->error, retryCount_ };
            core_->interceptor->retry(attempt, std::move(completion));
        },
        [self, shared](RetryDecision decision) { self->decided(std::move(*shared), decision); });
}

void Request::decided(RawResponse raw, RetryDecision decision)
{
    if (decision == RetryDecision::doNotRetry) {
        finish(std::move(raw));
        return;
    }
    ++retryCount_;
    auto self = shared_from_this();
    core_->queue.async([self] { self->attempt(); });
}

void Request::finish(RawResponse raw)
{
    auto delivery = std::move(delivery_);
    auto value = std::make_shared<RawResponse>(std::move(raw));
    deliveryQueue_->async([delivery, value] { delivery(std::move(*value)); });
    core_->release(this);
}

} // namespace platform
