// One backend request through the shared session (interceptor, cached
// gateway token) against the same request on the plain session, both to the
// local gateway on loopback. The interceptor's share should stay within 10 %.

#include "TOLVEN/signin/APISession.h"
#include "TOLVEN/signin/AppSession.h"
#include "TOLVEN/signin/GatewayConfiguration.h"
#include "TOLVEN/signin/TokenManager.h"
#include "TOLVEN/signin/URLList.h"
#include "TOLVEN/testing/SignInTesting.h"

#include "devstack/gateway/ApiGateway.h"
#include "devstack/server/testing/RunningService.h"
#include "platform/foundation/testing/TestEnvironment.h"

#include <benchmark/benchmark.h>

#include <optional>

namespace {

using namespace tolven;

struct Loopback {
    Loopback()
    {
        env.setInfoValue(GatewayConfiguration::gatewayHostKey, gateway->hostAndPort());
        testing::resetSigninSharedState();
        platform::Token token;
        token.id = "bench";
        token.accessToken = "AT";
        auto now = std::chrono::duration_cast<std::chrono::seconds>(env.manualClock().now().time_since_epoch()).count();
        token.idToken = identity->signer().sign(nlohmann::json { { "aud", TokenManager::clientID }, { "email", "kim.minsu@brantwick.com" },
            { "iat", now }, { "exp", now + 3600 } });
        TokenManager::shared().setCredential(std::make_shared<platform::Credential>(token));
        std::optional<GatewayTokenResult> result;
        TokenManager::shared().withValidGatewayToken([&](const GatewayTokenResult& value) { result = value; });
        env.runUntil([&] { return result.has_value(); });
        gatewayToken = std::get<std::string>(*result);
        url = URLList().baseURL + URLList().getNoti;
    }

    devstack::ApiGatewayOptions options()
    {
        devstack::ApiGatewayOptions options;
        options.now = [this] { return env.manualClock().now(); };
        options.verifyIdToken = devstack::ApiGateway::verifierFor(*identity);
        return options;
    }

    // Sends one notice-list request on `session` and waits for its answer.
    void roundTrip(benchmark::State& state, platform::HttpSession& session, platform::HttpHeaderList headers)
    {
        bool done = false;
        bool ok = false;
        session.requestWithParameters(url, platform::HttpMethod::get(), platform::Parameters { { "type", "MOBILE" } },
                   platform::UrlEncoding::queryString, std::move(headers))
            ->validateStatus()
            .onDataResponse(platform::DispatchQueue::main(), [&](const platform::DataResponse<std::string>& response) {
                ok = response.result.isSuccess();
                done = true;
            });
        env.runUntil([&] { return done; });
        if (!ok)
            state.SkipWithError("the request failed");
    }

    platform::TestEnvironment env;
    devstack::testing::RunningService<devstack::IdentityProvider> identity;
    devstack::testing::RunningService<devstack::ApiGateway> gateway { options() };
    std::string gatewayToken;
    std::string url;
};

Loopback* loopback = nullptr;

void BM_PlainSessionRequest(benchmark::State& state)
{
    platform::HttpSession plain;
    for (auto _ : state) {
        loopback->roundTrip(state, plain, { { "Accept", "application/json" }, { "Authorization", "Bearer " + loopback->gatewayToken },
            { "User-Agent", "brantwickMcard" } });
    }
}

void BM_ApiSessionRequestWithCachedToken(benchmark::State& state)
{
    for (auto _ : state)
        loopback->roundTrip(state, *apiSession(), { { "Accept", "application/json" } });
}

// Registered twice, alternating, so that drift of a noisy machine shows up
// as a difference between the two pairs rather than as overhead.
BENCHMARK(BM_PlainSessionRequest)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_ApiSessionRequestWithCachedToken)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_PlainSessionRequest)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_ApiSessionRequestWithCachedToken)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Loopback setUp;
    loopback = &setUp;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    loopback = nullptr;
    return 0;
}
