#include "LoopbackFixture.h"

#include <fstream>
#include <sstream>

namespace platform {
namespace {

class HttpsOnlyTest : public LoopbackTest {
protected:
    // The scripted service answers `path` with a redirect to `target`.
    void redirect(const std::string& method, const std::string& path, int status, const std::string& target)
    {
        server->on(method, path, [status, target](const httplib::Request&, httplib::Response& response) {
            response.status = status;
            response.set_header("Location", target);
            response.set_content("moved", "text/plain");
        });
    }

    std::string plain(const std::string& path) const { return "http" + url(path).substr(5); }
    std::string onLocalhost(const std::string& path) const { return "https://localhost" + url(path).substr(17); }

    RawResponse send(const std::string& path, HttpMethod method, HttpHeaderList headers, std::optional<Parameters> parameters = std::nullopt)
    {
        std::optional<RawResponse> answer;
        session.requestWithParameters(path.starts_with("/") ? url(path) : path, method, std::move(parameters), UrlEncoding::methodDependent, std::move(headers))
            ->onRawResponse(DispatchQueue::main(), [&](const RawResponse& raw) { answer = raw; });
        return await(answer);
    }

    static std::optional<TransportError::Code> transportCode(const RawResponse& raw)
    {
        if (!raw.error || !raw.error->transportError())
            return std::nullopt;
        return raw.error->transportError()->code;
    }

    HttpSession session;
};

TEST_F(HttpsOnlyTest, PlainAddressesFailBeforeAnythingIsSent)
{
    server->reply("GET", "/photo", 200, "jpeg", "image/jpeg");
    auto token = send(plain("/token"), HttpMethod::post(), { { "Accept", "application/json" } }, Parameters { { "refresh_token", "RT-secret" } });
    EXPECT_EQ(transportCode(token), TransportError::Code::secureConnectionRequired);
    EXPECT_EQ(token.error->kind(), HttpClientError::Kind::transportFailed);
    EXPECT_FALSE(token.response);

    auto destination = env.dataFolder() / "photo.jpg";
    std::ofstream(destination) << "old";
    std::optional<DownloadResponse> photo;
    session.downloadToFile(plain("/photo"), destination, HttpMethod::get(), std::nullopt, UrlEncoding::methodDependent, { { "Authorization", "Bearer GW" } })
        ->onDownloadResponse(DispatchQueue::main(), [&](const auto& response) { photo = response; });
    await(photo);
    ASSERT_TRUE(photo->error);
    EXPECT_EQ(photo->error->transportError()->code, TransportError::Code::secureConnectionRequired);
    std::stringstream kept;
    kept << std::ifstream(destination).rdbuf();
    EXPECT_EQ(kept.str(), "old");
    EXPECT_EQ(server.requestLog().count(), 0u);
}

TEST_F(HttpsOnlyTest, RedirectsToPlainAddressesAreRefused)
{
    for (int status : { 301, 302, 303, 307, 308 }) {
        SCOPED_TRACE(status);
        redirect("POST", "/token", status, plain("/token"));
        auto answer = send("/token", HttpMethod::post(), { { "Accept", "application/json" } }, Parameters { { "refresh_token", "RT-secret" } });
        EXPECT_EQ(transportCode(answer), TransportError::Code::secureConnectionRequired);
    }
}

TEST_F(HttpsOnlyTest, SecretHeadersDoNotFollowARedirectToAnotherHost)
{
    server->on("POST", "/b", [](const httplib::Request& request, httplib::Response& response) { response.set_content(request.body, "text/plain"); });
    redirect("POST", "/same", 307, url("/b"));
    redirect("POST", "/other", 308, onLocalhost("/b"));
    const HttpHeaderList headers { { "Authorization", "Bearer GW" }, { "User-Token", "UT" }, { "login-token", "LT" }, { "X-Trace", "t-1" } };
    const char* secrets[] = { "Authorization", "User-Token", "login-token" };

    auto same = send("/same", HttpMethod::post(), headers, Parameters { { "a", "1" } });
    ASSERT_FALSE(same.error) << same.error->description();
    EXPECT_EQ(same.data, "a=1");
    for (const char* name : secrets)
        EXPECT_TRUE(server.requestLog().last()->header(name)) << name;

    auto other = send("/other", HttpMethod::post(), headers, Parameters { { "a", "1" } });
    ASSERT_FALSE(other.error) << other.error->description();
    EXPECT_EQ(other.response->url, onLocalhost("/b"));
    EXPECT_EQ(other.data, "a=1");
    auto arrived = server.requestLog().last();
    EXPECT_EQ(arrived->path, "/b");
    EXPECT_EQ(arrived->header("X-Trace"), "t-1");
    for (const char* name : secrets)
        EXPECT_FALSE(arrived->header(name)) << name;
}

TEST_F(HttpsOnlyTest, DownloadAfterARedirectHoldsOnlyTheFinalBody)
{
    server->reply("GET", "/photo", 200, "jpeg", "image/jpeg");
    redirect("GET", "/old-photo", 302, url("/photo"));
    auto destination = env.dataFolder() / "photo.jpg";
    std::optional<DownloadResponse> photo;
    session.downloadToFile(url("/old-photo"), destination)->onDownloadResponse(DispatchQueue::main(), [&](const auto& response) { photo = response; });
    await(photo);
    ASSERT_FALSE(photo->error) << photo->error->description();
    std::stringstream body;
    body << std::ifstream(destination).rdbuf();
    EXPECT_EQ(body.str(), "jpeg");
}

} // namespace
} // namespace platform
