#include "SigninBackendFixture.h"

#include "TOLVEN/signin/BackendServices.h"
#include "TOLVEN/signin/records/APIResponse.h"

#include "devstack/gateway/SampleJpeg.h"

#include <fstream>
#include <sstream>

namespace tolven {
namespace {

using platform::DispatchQueue;

class BackendServicesTest : public SigninBackendTest {
protected:
    platform::DataResponse<std::string> run(const std::shared_ptr<platform::DataRequest>& request)
    {
        std::optional<platform::DataResponse<std::string>> answer;
        request->onDataResponse(DispatchQueue::main(), [&](const auto& response) { answer = response; });
        return await(answer);
    }
};

TEST_F(BackendServicesTest, RequestsAreSentAsTheServerExpectsThem)
{
    signIn();
    URLList urls;
    // Before the employee record the user token is empty.
    run(backend::noticeList(urls));
    auto carsBefore = run(backend::parkingCars(urls, "20190123"));
    auto notices = gatewayRequests(noticePath).at(0);
    EXPECT_EQ(notices.query, "type=MOBILE");
    EXPECT_EQ(notices.header("User-Token"), std::nullopt);
    EXPECT_EQ(carsBefore.request->headers.value("User-Token"), "");

    loadEmployee();
    auto record = run(backend::employeeRecord(urls, idTokenFor(kimEmail)));
    auto employee = APIResponse<UserItem>::decode(nlohmann::json::parse(record.result.value()));
    ASSERT_EQ(employee.content.size(), 1u);
    EXPECT_EQ(employee.content[0].userToken, kimUserToken);
    EXPECT_EQ(employee.content[0].employee.emp, "20190123");

    EXPECT_TRUE(run(backend::installReport(urls, kimEmail, "1.2.0")).result.isSuccess());
    EXPECT_EQ(gateway->installedVersion(kimEmail), "1.2.0");
    auto install = gatewayRequests("/etc-tolven-pub/back/auth/mobileid/confirm-install").at(0);
    EXPECT_EQ(install.body, "email=kim.minsu%40brantwick.com&version=1.2.0");
    EXPECT_EQ(install.header("User-Token"), kimUserToken);

    auto cars = nlohmann::json::parse(run(backend::parkingCars(urls, "20190123")).result.value());
    EXPECT_EQ(cars["content"].size(), 2u);
    for (std::int64_t gubun : { 0, 1 }) {
        auto fees = run(backend::parkingFees(urls, "20190123", gubun));
        EXPECT_FALSE(nlohmann::json::parse(fees.result.value())["content"].empty());
        EXPECT_EQ(gatewayRequests("/etc-tolven-pub/back/parking/cost/find").back().query,
            std::string("driverType=") + (gubun ? "PART" : "MEM") + "&employeeNumber=20190123&lateType=ALL&parkingLotCode=ALL");
    }

    nlohmann::json order { { "employeeNumber", "20190123" },
        { "costDataList", { { { "carNumber", "12가3456" }, { "cost", 50000 }, { "parkingMonth", 5 }, { "parkingYear", 2024 },
                              { "parkingCount", 20 }, { "parkingLotCode", "P3" } } } } };
    auto form = nlohmann::json::parse(run(backend::feeOrder(urls, order)).result.value())["content"][0];
    EXPECT_EQ(form["amt"], 50000);
    for (const char* key : { "moid", "mid", "buyerName", "buyerTel", "buyerEmail", "vbankExpDate", "encryptData", "goodsCl", "ediDate" })
        EXPECT_TRUE(form.contains(key)) << key;
    auto sentOrder = gatewayRequests("/etc-tolven-pub/back/parking/cost/order-mobile").at(0);
    EXPECT_EQ(sentOrder.header("Content-Type"), "application/json");
    EXPECT_EQ(nlohmann::json::parse(sentOrder.body), order);
}

TEST_F(BackendServicesTest, ProfilePhotoIsDownloadedAndA401ReachesTheCaller)
{
    signIn();
    loadEmployee();
    auto address = backend::photoDownloadAddress(gateway.url("/etc-tolven-pub/back/common/file/download"), "1001");
    ASSERT_TRUE(address);
    auto destination = env.dataFolder() / "Documents" / "photo" / "kim_minsu.jpg";
    std::optional<platform::DownloadResponse> answer;
    backend::profilePhoto(*address, kimUserToken, idTokenFor(kimEmail), destination)
        ->onDownloadResponse(DispatchQueue::main(), [&](const auto& response) { answer = response; });
    ASSERT_FALSE(await(answer).error);
    std::ifstream file(destination, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    EXPECT_EQ(bytes.str(), devstack::sampleJpeg());
    auto seen = gatewayRequests("/etc-tolven-pub/back/common/file/download").at(0);
    EXPECT_EQ(seen.header("User-Token"), kimUserToken);
    EXPECT_EQ(seen.header("User-Agent"), "brantwickMcard");
    EXPECT_TRUE(seen.header("login-token"));

    // Without validation a 401 is an ordinary answer: no retry.
    gateway->faults().set("/etc-tolven-pub/back/common/file/download", devstack::EndpointFault::withStatus(401));
    answer.reset();
    backend::profilePhoto(*address, kimUserToken, std::nullopt, env.dataFolder() / "other.jpg")
        ->onDownloadResponse(DispatchQueue::main(), [&](const auto& response) { answer = response; });
    EXPECT_EQ(await(answer).response->statusCode, 401);
    EXPECT_EQ(gatewayRequests("/etc-tolven-pub/back/common/file/download").size(), 2u);
}

TEST(PhotoDownloadAddressTest, AppendsTheFileIdOnlyWhenNoIdItemIsThere)
{
    struct Case {
        const char* downloadUrl;
        std::optional<std::string> address;
    };
    const Case cases[] = {
        { "https://h/file/download", "https://h/file/download?id=77" },
        { "  https://h/file/download?kind=photo \n", "https://h/file/download?kind=photo&id=77" },
        { "https://h/file/download?id=5&kind=photo", "https://h/file/download?id=5&kind=photo" },
        { "https://h/file/download?uid=5", "https://h/file/download?uid=5&id=77" },
        { "", std::nullopt },
        { "not an address", std::nullopt },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.downloadUrl);
        EXPECT_EQ(backend::photoDownloadAddress(c.downloadUrl, "77"), c.address);
    }
}

} // namespace
} // namespace tolven
