#include "LoopbackFixture.h"

#include "platform/net/CertificateAuthorities.h"

#include <fstream>
#include <sstream>

namespace platform {
namespace {

std::string contentsOf(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class HttpSessionTest : public LoopbackTest {
protected:
    std::optional<DataResponse<std::string>> get(const std::string& path, HttpHeaderList headers, bool validate)
    {
        std::optional<DataResponse<std::string>> answer;
        auto request = session.requestWithParameters(url(path), HttpMethod::get(), std::nullopt, UrlEncoding::methodDependent, std::move(headers));
        if (validate)
            request->validateStatus();
        request->onDataResponse(DispatchQueue::main(), [&](const auto& response) { answer = response; });
        await(answer);
        return answer;
    }

    HttpSession session;
};

TEST_F(HttpSessionTest, DefaultValidationChecksStatusAndContentTypeAgainstAccept)
{
    struct Case {
        const char* name;
        int status;
        const char* body;
        const char* contentType;
        const char* accept; // nullptr: no "Accept" header
        bool accepted;
    };
    const Case cases[] = {
        { "json for json", 200, "{}", "application/json; charset=utf-8", "application/json", true },
        { "html for json", 200, "<html/>", "text/html", "application/json", false },
        { "wildcard subtype", 200, "{}", "application/problem+json", "application/*", true },
        { "one of a list", 200, "x", "text/plain", "application/json, text/plain;q=0.5", true },
        { "no accept header", 200, "<html/>", "text/html", nullptr, true },
        { "empty body skips the type", 200, "", "text/html", "application/json", true },
        { "status 500", 500, "{}", "application/json", "application/json", false },
        { "status 400", 400, "{}", "application/json", nullptr, false },
        { "status 300", 300, "{}", "application/json", nullptr, false },
        { "status 299", 299, "{}", "application/json", nullptr, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server->reply("GET", "/v", c.status, c.body, c.contentType);
        HttpHeaderList headers;
        if (c.accept)
            headers.update("Accept", c.accept);
        auto answer = get("/v", headers, true);
        bool accepted = answer->result.isSuccess() || answer->result.error().kind() != HttpClientError::Kind::validationFailed;
        EXPECT_EQ(accepted, c.accepted) << (answer->result.isSuccess() ? "" : answer->result.error().description());
    }
}

TEST_F(HttpSessionTest, GivenStatusRangeChecksTheStatusOnly)
{
    server->reply("GET", "/v", 404, "<html/>", "text/html");
    std::optional<DataResponse<std::string>> answer;
    session.requestWithParameters(url("/v"), HttpMethod::get(), std::nullopt, UrlEncoding::methodDependent, { { "Accept", "application/json" } })
        ->validateStatus(200, 499)
        .onDataResponse(DispatchQueue::main(), [&](const auto& response) { answer = response; });
    await(answer);
    ASSERT_TRUE(answer->result.isSuccess());
    EXPECT_EQ(answer->result.value(), "<html/>");
}

TEST_F(HttpSessionTest, EmptyBodyIsDataOnlyFor204)
{
    server->reply("GET", "/empty", 200, "", "");
    server->reply("GET", "/none", 204, "", "");
    auto empty = get("/empty", {}, false);
    ASSERT_FALSE(empty->result.isSuccess());
    EXPECT_EQ(empty->result.error().kind(), HttpClientError::Kind::decodingFailed);
    auto none = get("/none", {}, false);
    ASSERT_TRUE(none->result.isSuccess());
    EXPECT_EQ(none->result.value(), "");
}

struct Badge {
    std::string name;
    int level = 0;
};

void from_json(const nlohmann::json& json, Badge& badge)
{
    json.at("name").get_to(badge.name);
    json.at("level").get_to(badge.level);
}

TEST_F(HttpSessionTest, BodiesThatAreNotUtf8OrNotJsonOrNotTheRecordFailDecoding)
{
    struct Case {
        const char* name;
        std::string body;
        bool decodes;
    };
    const Case cases[] = {
        { "record", R"({"name":"kim","level":3})", true },
        { "ill-formed UTF-8 in a string", "{\"name\":\"\xC3\x28\",\"level\":3}", false },
        { "not JSON", "<html>oops</html>", false },
        { "truncated", R"({"name":"kim",)", false },
        { "wrong field type", R"({"name":"kim","level":"3"})", false },
        { "top-level array", R"([1,2])", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server->reply("GET", "/badge", 200, c.body);
        std::optional<DataResponse<Badge>> answer;
        session.requestWithParameters(url("/badge"))->onDecodedResponse<Badge>(DispatchQueue::main(), [&](const auto& response) { answer = response; });
        await(answer);
        EXPECT_EQ(answer->result.isSuccess(), c.decodes);
        if (c.decodes)
            EXPECT_EQ(answer->result.value().level, 3);
        else
            EXPECT_EQ(answer->result.error().kind(), HttpClientError::Kind::decodingFailed);
    }
}

TEST_F(HttpSessionTest, JsonResponseAllowsTopLevelFragments)
{
    server->reply("GET", "/fragment", 200, R"("just text")");
    std::optional<DataResponse<nlohmann::json>> answer;
    session.requestWithParameters(url("/fragment"))->onJSONResponse(DispatchQueue::main(), [&](const auto& response) { answer = response; });
    await(answer);
    ASSERT_TRUE(answer->result.isSuccess());
    EXPECT_EQ(answer->result.value(), "just text");
}

TEST_F(HttpSessionTest, DeeplyNestedJsonFailsDecodingInsteadOfExhaustingTheStack)
{
    std::string deep = R"({"header":)" + std::string(100000, '[') + std::string(100000, ']') + R"(,"body":{}})";
    server->reply("GET", "/deep", 200, deep);
    std::optional<DataResponse<nlohmann::json>> answer;
    session.requestWithParameters(url("/deep"))->onJSONResponse(DispatchQueue::main(), [&](const auto& response) { answer = response; });
    await(answer);
    ASSERT_FALSE(answer->result.isSuccess());
    EXPECT_EQ(answer->result.error().kind(), HttpClientError::Kind::decodingFailed);
}

TEST_F(HttpSessionTest, ParametersGoToTheQueryOrTheFormBodyEscaped)
{
    server->reply("GET", "/q", 200, "{}");
    server->reply("POST", "/q", 200, "{}");
    const Parameters parameters { { "type", "MOBILE" }, { "text", "a b&c=d/e?f+g" }, { "name", "\xEA\xB9\x80" } };
    const std::string encoded = "name=%EA%B9%80&text=a%20b%26c%3Dd/e%3Ff%2Bg&type=MOBILE";

    std::optional<RawResponse> answer;
    auto send = [&](HttpMethod method, UrlEncoding encoding, const std::string& path) {
        answer.reset();
        session.requestWithParameters(url(path), method, parameters, encoding)->onRawResponse(DispatchQueue::main(), [&](const RawResponse& raw) { answer = raw; });
        await(answer);
        return *server.requestLog().last();
    };

    auto get = send(HttpMethod::get(), UrlEncoding::methodDependent, "/q");
    EXPECT_EQ(get.query, encoded);
    EXPECT_EQ(get.param("text"), "a b&c=d/e?f+g");

    auto form = send(HttpMethod::post(), UrlEncoding::methodDependent, "/q");
    EXPECT_EQ(form.query, "");
    EXPECT_EQ(form.body, encoded);
    EXPECT_EQ(form.header("Content-Type"), "application/x-www-form-urlencoded; charset=utf-8");

    auto forcedQuery = send(HttpMethod::post(), UrlEncoding::queryString, "/q");
    EXPECT_EQ(forcedQuery.query, encoded);
    EXPECT_EQ(forcedQuery.body, "");
    EXPECT_FALSE(forcedQuery.header("Content-Type"));

    answer.reset();
    session.requestWithParameters(url("/q?id=7"), HttpMethod::get(), Parameters { { "x", "1" } })->onRawResponse(DispatchQueue::main(), [&](const RawResponse& raw) { answer = raw; });
    await(answer);
    EXPECT_EQ(server.requestLog().last()->query, "id=7&x=1");
}

TEST_F(HttpSessionTest, EncodableValuesAsJsonOrAlphabeticalForm)
{
    server->reply("POST", "/e", 200, "{}");
    const nlohmann::json value { { "okta_id_token", "a.b+c" }, { "grant_type", "okta_id_token" }, { "count", 2 } };

    std::optional<RawResponse> answer;
    session.requestWithEncodable(url("/e"), HttpMethod::post(), value, ParameterEncoder::urlForm)->onRawResponse(DispatchQueue::main(), [&](const RawResponse& raw) { answer = raw; });
    await(answer);
    auto form = *server.requestLog().last();
    EXPECT_EQ(form.body, "count=2&grant_type=okta_id_token&okta_id_token=a.b%2Bc");

    answer.reset();
    session.requestWithEncodable(url("/e"), HttpMethod::post(), value, ParameterEncoder::json)->onRawResponse(DispatchQueue::main(), [&](const RawResponse& raw) { answer = raw; });
    await(answer);
    auto json = *server.requestLog().last();
    EXPECT_EQ(nlohmann::json::parse(json.body), value);
    EXPECT_EQ(json.header("Content-Type"), "application/json");
}

TEST_F(HttpSessionTest, ValuesThatCannotBeWrittenFailWithoutBeingSent)
{
    std::optional<RawResponse> answer;
    session.requestWithEncodable(url("/e"), HttpMethod::post(), nlohmann::json { { "name", "\xFF\xFE" } }, ParameterEncoder::json)
        ->onRawResponse(DispatchQueue::main(), [&](const RawResponse& raw) { answer = raw; });
    await(answer);
    ASSERT_TRUE(answer->error);
    EXPECT_EQ(answer->error->kind(), HttpClientError::Kind::encodingFailed);

    answer.reset();
    session.requestWithEncodable(url("/e"), HttpMethod::post(), nlohmann::json::array({ 1, 2 }), ParameterEncoder::urlForm)
        ->onRawResponse(DispatchQueue::main(), [&](const RawResponse& raw) { answer = raw; });
    await(answer);
    EXPECT_EQ(answer->error->kind(), HttpClientError::Kind::encodingFailed);
    EXPECT_EQ(server.requestLog().count(), 0u);
}

TEST_F(HttpSessionTest, CurlDescriptionQuotesEveryArgumentForTheShell)
{
    server->reply("POST", "/c", 200, "{}");
    HttpSessionConfiguration configuration;
    HttpSession plain(configuration);
    std::string description;
    std::optional<RawResponse> answer;
    plain.requestWithParameters(url("/c"), HttpMethod::post(), Parameters { { "who", "O'Neil $HOME" } }, UrlEncoding::httpBody, { { "Accept", "application/json" } })
        ->curlDescription([&](const std::string& text) { description = text; })
        .onRawResponse(DispatchQueue::main(), [&](const RawResponse& raw) { answer = raw; });
    await(answer);

    EXPECT_EQ(description,
        "$ curl -v \\\n\t-X POST \\\n\t-H 'Accept: application/json' \\\n\t"
        "-H 'Content-Type: application/x-www-form-urlencoded; charset=utf-8' \\\n\t"
        "-d 'who=O%27Neil%20%24HOME' \\\n\t'" + url("/c") + "'");
}

TEST_F(HttpSessionTest, DownloadReplacesTheOldFileAndCreatesMissingFolders)
{
    server->reply("GET", "/photo", 200, std::string("\x89PNG\0data", 9), "image/png");
    auto destination = env.dataFolder() / "Documents" / "photos" / "me.png";
    std::filesystem::create_directories(destination.parent_path());
    std::ofstream(destination) << "an older and much longer photo";

    std::optional<DownloadResponse> answer;
    session.downloadToFile(url("/photo"), destination, HttpMethod::get(), Parameters { { "id", "77" } })
        ->onDownloadResponse(DispatchQueue::main(), [&](const auto& response) { answer = response; });
    await(answer);

    ASSERT_FALSE(answer->error) << answer->error->description();
    EXPECT_EQ(answer->fileUrl, destination);
    EXPECT_EQ(contentsOf(destination), std::string("\x89PNG\0data", 9));
    EXPECT_EQ(server.requestLog().last()->query, "id=77");

    auto fresh = env.dataFolder() / "new" / "deeper" / "me.png";
    answer.reset();
    session.downloadToFile(url("/photo"), fresh)->onDownloadResponse(DispatchQueue::main(), [&](const auto& response) { answer = response; });
    await(answer);
    EXPECT_EQ(contentsOf(fresh).size(), 9u);
    // Only the destination is left behind: no temporary files beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(fresh.parent_path()), {}), 1);
}

TEST_F(HttpSessionTest, RejectedOrImpossibleDownloadsLeaveExistingFilesAlone)
{
    server->reply("GET", "/photo", 500, R"({"error":1})");
    auto destination = env.dataFolder() / "me.png";
    std::ofstream(destination) << "kept";

    std::optional<DownloadResponse> answer;
    session.downloadToFile(url("/photo"), destination)->validateStatus().onDownloadResponse(DispatchQueue::main(), [&](const auto& response) { answer = response; });
    await(answer);
    ASSERT_TRUE(answer->error);
    EXPECT_EQ(answer->error->responseCode(), 500);
    EXPECT_FALSE(answer->fileUrl);
    EXPECT_EQ(contentsOf(destination), "kept");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(env.dataFolder()), {}), 2); // me.png and devstack/

    auto folder = env.dataFolder() / "a-folder";
    std::filesystem::create_directories(folder / "inside");
    answer.reset();
    session.downloadToFile(url("/photo"), folder)->onDownloadResponse(DispatchQueue::main(), [&](const auto& response) { answer = response; });
    await(answer);
    ASSERT_TRUE(answer->error);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "inside"));
}

TEST_F(HttpSessionTest, SilentServerFailsWithTheTransportTimeOut)
{
    server->staySilent("GET", "/slow");
    server->reply("GET", "/ping", 200, R"({})");
    HttpSessionConfiguration configuration = HttpSessionConfiguration::defaultConfiguration();
    configuration.timeoutIntervalForRequest = std::chrono::seconds(30);
    HttpSession impatient(configuration);

    std::optional<DataResponse<std::string>> answer;
    impatient.requestWithParameters(url("/slow"))->validateStatus().onDataResponse(DispatchQueue::main(), [&](const auto& response) { answer = response; });
    env.runUntilIdle();
    env.fastForwardBy(std::chrono::seconds(29));
    // A second request on the same session passes through the transport's idle
    // check at 29 s and reaches us after any answer to the first, so its
    // arrival proves the first one has not timed out early.
    std::optional<DataResponse<std::string>> probe;
    impatient.requestWithParameters(url("/ping"))->onDataResponse(DispatchQueue::main(), [&](const auto& response) { probe = response; });
    await(probe);
    EXPECT_FALSE(answer);
    env.fastForwardBy(std::chrono::seconds(1));
    await(answer);

    ASSERT_FALSE(answer->result.isSuccess());
    EXPECT_EQ(answer->result.error().kind(), HttpClientError::Kind::transportFailed);
    EXPECT_TRUE(answer->result.error().isTimeout());
    EXPECT_FALSE(answer->response);
}

TEST_F(HttpSessionTest, ServersAreVerifiedAgainstTheConfiguredAuthorityOnly)
{
    server->reply("GET", "/v", 200, "{}");
    setExtraCertificateAuthorityFile(env.dataFolder() / "missing.pem");
    auto untrusted = get("/v", {}, false);
    setExtraCertificateAuthorityFile(env.dataFolder() / "devstack" / "tls" / "ca.pem");

    ASSERT_FALSE(untrusted->result.isSuccess());
    ASSERT_TRUE(untrusted->result.error().transportError());
    EXPECT_EQ(untrusted->result.error().transportError()->code, TransportError::Code::secureConnectionFailed);
    EXPECT_TRUE(get("/v", {}, false)->result.isSuccess());
}

TEST_F(HttpSessionTest, TwoHundredRequestsInFlightEachCompleteExactlyOnce)
{
    server->on("GET", "/n", [](const httplib::Request& request, httplib::Response& response) {
        response.set_content(R"({"n":)" + request.get_param_value("n") + "}", "application/json");
    });
    constexpr int count = 200;
    std::vector<int> completions(count, 0);
    std::vector<int> values(count, -1);
    std::vector<std::string> errors(count);
    int finished = 0;
    for (int i = 0; i < count; ++i) {
        session.requestWithParameters(url("/n"), HttpMethod::get(), Parameters { { "n", std::to_string(i) } })
            ->validateStatus()
            .onJSONResponse(DispatchQueue::main(), [&, i](const DataResponse<nlohmann::json>& response) {
                ++completions[i];
                ++finished;
                if (response.result.isSuccess())
                    values[i] = response.result.value()["n"].get<int>();
                else
                    errors[i] = response.result.error().description();
            });
    }
    ASSERT_TRUE(env.runUntil([&] { return finished == count; }, std::chrono::seconds(60)));
    env.runUntilIdle();
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(completions[i], 1) << i;
        EXPECT_EQ(values[i], i) << errors[i];
    }
}

} // namespace
} // namespace platform
