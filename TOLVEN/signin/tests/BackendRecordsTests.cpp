#include "TOLVEN/signin/ApigeeTokenDTO.h"
#include "TOLVEN/signin/records/APIResponse.h"
#include "TOLVEN/signin/records/BWResponse.h"

#include <gtest/gtest.h>

#include <optional>

namespace tolven {
namespace {

using nlohmann::json;

// An employee item whose keys stand under "employeeLoginInfo".
const char* const nestedEmployee = R"({
  "userToken": "UT-1",
  "employeeLoginInfo": {
    "name": "김민수", "nameEng": "KIM MINSU", "emp": "20190123", "email": "kim.minsu@brantwick.com",
    "phoneNum": "010-1234-5678", "rank": "대리", "departmentCode": "D100", "department": "운항관리팀",
    "idcard": { "kind": "ID", "expireDt": "2027-12-31", "image": [] },
    "mobileId": { "kind": "MOBILE", "image": [ { "fileId": 77, "downloadUrl": "https://x/file", "originalFileName": "a.jpg", "size": 1200 } ] }
  }
})";

TEST(APIResponseTest, EnvelopeFieldsFallBackToAbsent)
{
    struct Case {
        const char* json;
        std::optional<std::string> statusCode;
        std::optional<std::int64_t> contentCnt;
        bool paging;
        std::vector<std::string> content;
    };
    const Case cases[] = {
        { R"({"content":["A B C"]})", std::nullopt, std::nullopt, false, { "A B C" } },
        { R"({})", std::nullopt, std::nullopt, false, {} },
        { R"({"content":null})", std::nullopt, std::nullopt, false, {} },
        { R"({"content":"A B C"})", std::nullopt, std::nullopt, false, {} },
        { R"({"content":["A", 5]})", std::nullopt, std::nullopt, false, {} },
        { R"({"statusCode":200,"content":[]})", std::nullopt, std::nullopt, false, {} },
        { R"({"statusCode":"OK"})", "OK", std::nullopt, false, {} },
        { R"({"contentCnt":"3"})", std::nullopt, std::nullopt, false, {} },
        { R"({"contentCnt":3})", std::nullopt, 3, false, {} },
        { R"({"contentCnt":3.5})", std::nullopt, std::nullopt, false, {} },
        { R"({"paging":null})", std::nullopt, std::nullopt, true, {} },
        { R"({"paging":{"page":1}})", std::nullopt, std::nullopt, true, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        auto response = APIResponse<std::string>::decode(json::parse(c.json));
        EXPECT_EQ(response.statusCode, c.statusCode);
        EXPECT_EQ(response.contentCnt, c.contentCnt);
        EXPECT_EQ(response.paging.has_value(), c.paging);
        EXPECT_EQ(response.content, c.content);
        EXPECT_FALSE(response.time || response.message || response.resultMessage);
    }
}

TEST(APIResponseTest, OnlyATopLevelValueThatIsNoObjectFails)
{
    for (const char* text : { "[]", R"("content")", "5", "null" }) {
        SCOPED_TRACE(text);
        EXPECT_THROW(APIResponse<std::string>::decode(json::parse(text)), DecodingError);
        EXPECT_THROW(APIResponse<UserItem>::decode(json::parse(text)), DecodingError);
    }
}

TEST(UserItemTest, NestedAndFlatEmployeeKeysGiveTheSameItem)
{
    auto nested = json::parse(nestedEmployee);
    json flat = nested["employeeLoginInfo"];
    flat["userToken"] = "UT-1";

    auto fromNested = UserItem::decode(nested);
    EXPECT_EQ(fromNested, UserItem::decode(flat));
    EXPECT_EQ(fromNested.userToken, "UT-1");
    EXPECT_EQ(fromNested.employee.emp, "20190123");
    EXPECT_EQ(fromNested.employee.idcard->expireDt, "2027-12-31");
    const auto& photo = fromNested.employee.mobileId->image->front();
    EXPECT_EQ(photo.fileId, "77");
    EXPECT_EQ(photo.size, 1200);
    EXPECT_EQ(photo.originalFileName, "a.jpg");
}

// Each case changes one value of the nested employee item; `kept` says
// whether the item still decodes (otherwise the envelope's content is empty).
TEST(UserItemTest, WrongTypesFailOutwardWhileLenientFieldsFallBack)
{
    struct Case {
        const char* name;
        json::json_pointer pointer;
        json value;
        bool kept;
    };
    const Case cases[] = {
        { "emp as a number", json::json_pointer("/employeeLoginInfo/emp"), 20190123, false },
        { "emp null", json::json_pointer("/employeeLoginInfo/emp"), nullptr, true },
        { "employeeLoginInfo null", json::json_pointer("/employeeLoginInfo"), nullptr, false },
        { "userToken as a number", json::json_pointer("/userToken"), 5, false },
        { "userToken null", json::json_pointer("/userToken"), nullptr, true },
        { "idcard not an object", json::json_pointer("/employeeLoginInfo/idcard"), "card", false },
        { "image not a list", json::json_pointer("/employeeLoginInfo/mobileId/image"), json::object(), false },
        { "fileId as text", json::json_pointer("/employeeLoginInfo/mobileId/image/0/fileId"), "77", true },
        { "fileId 7.5", json::json_pointer("/employeeLoginInfo/mobileId/image/0/fileId"), 7.5, false },
        { "fileId null", json::json_pointer("/employeeLoginInfo/mobileId/image/0/fileId"), nullptr, false },
        { "fileId true", json::json_pointer("/employeeLoginInfo/mobileId/image/0/fileId"), true, false },
        { "size as text", json::json_pointer("/employeeLoginInfo/mobileId/image/0/size"), "1200", true },
        { "downloadUrl as a number", json::json_pointer("/employeeLoginInfo/mobileId/image/0/downloadUrl"), 3, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto item = json::parse(nestedEmployee);
        item[c.pointer] = c.value;
        json envelope { { "content", json::array({ json::parse(nestedEmployee), item }) } };
        auto response = APIResponse<UserItem>::decode(envelope);
        EXPECT_EQ(response.content.size(), c.kept ? 2u : 0u);
    }
}

TEST(StoredImageTest, FileIdAcceptsTextOrIntegerOnly)
{
    struct Case {
        const char* json;
        std::optional<std::string> fileId;
    };
    const Case cases[] = {
        { R"({"fileId":"77"})", "77" },
        { R"({"fileId":77})", "77" },
        { R"({"fileId":-5})", "-5" },
        { R"({"fileId":7.5})", std::nullopt },
        { R"({"fileId":null})", std::nullopt },
        { R"({})", std::nullopt },
        { R"({"fileId":{}})", std::nullopt },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        try {
            auto image = StoredImage::decode(json::parse(c.json), { "image", "Index 0" });
            EXPECT_EQ(image.fileId, c.fileId);
        } catch (const DecodingError& error) {
            EXPECT_FALSE(c.fileId);
            EXPECT_STREQ(error.what(), "fileId must be String or Int");
            EXPECT_EQ(error.codingPath, (CodingPath { "image", "Index 0", "fileId" }));
            EXPECT_EQ(error.kind, DecodingError::Kind::typeMismatch);
        }
    }
    auto missing = json::parse(R"({"content":[{"employeeLoginInfo":{"mobileId":{"image":[{"size":1}]}}}]})");
    EXPECT_TRUE(APIResponse<UserItem>::decode(missing).content.empty());
}

TEST(BWResponseTest, PresentValuesOfTheWrongTypeFailTheEnvelope)
{
    auto good = BWResponse<std::string>::decode(json::parse(R"({"statusCode":"OK","paging":{"page":"1"},"content":["a"]})"));
    EXPECT_EQ(good.content, std::vector<std::string> { "a" });
    EXPECT_EQ(good.paging->at("page"), "1");
    EXPECT_FALSE(BWResponse<std::string>::decode(json::parse(R"({"content":null})")).content);
    for (const char* text : { R"({"statusCode":200})", R"({"content":"a"})", R"({"content":[1]})", R"({"paging":{"page":1}})",
             R"({"contentCnt":"3"})", "[]" }) {
        SCOPED_TRACE(text);
        EXPECT_THROW(BWResponse<std::string>::decode(json::parse(text)), DecodingError);
    }
}

TEST(ApigeeTokenDTOTest, ExpiresInAcceptsNumbersAndSignedDigitTexts)
{
    struct Case {
        const char* expiresIn;
        std::optional<std::int64_t> seconds;
    };
    const Case cases[] = {
        { "3600", 3600 },
        { "3600.0", 3600 },
        { R"("3600")", 3600 },
        { R"("+3600")", 3600 },
        { R"("-5")", -5 },
        { R"("")", std::nullopt },
        { R"(" 3600")", std::nullopt },
        { R"("3600 ")", std::nullopt },
        { R"("36.5")", std::nullopt },
        { R"("+")", std::nullopt },
        { R"("+-5")", std::nullopt },
        { R"("99999999999999999999")", std::nullopt },
        { "36.5", std::nullopt },
        { "null", std::nullopt },
        { "true", std::nullopt },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expiresIn);
        auto answer = json::parse(std::string(R"({"token_type":"Bearer","access_token":"T","expires_in":)") + c.expiresIn + "}");
        try {
            EXPECT_EQ(ApigeeTokenDTO::decode(answer).expires_in, c.seconds);
        } catch (const DecodingError& error) {
            EXPECT_FALSE(c.seconds);
            EXPECT_STREQ(error.what(), "Expected Int or String convertible to Int");
            EXPECT_EQ(error.codingPath, CodingPath { "expires_in" });
        }
    }
}

TEST(ApigeeTokenDTOTest, RequiredAndOptionalFields)
{
    auto token = ApigeeTokenDTO::decode(json::parse(
        R"({"token_type":"Bearer","access_token":"T","expires_in":60,"refresh_token_expires_in":"soon","refresh_token":null})"));
    EXPECT_EQ(token.access_token, "T");
    EXPECT_FALSE(token.refresh_token_expires_in);
    EXPECT_FALSE(token.refresh_token);
    EXPECT_EQ(ApigeeTokenDTO::decode(json::parse(R"({"token_type":"B","access_token":"T","expires_in":1,"refresh_token_expires_in":"+9"})"))
                  .refresh_token_expires_in,
        9);
    for (const char* text : { R"({"access_token":"T","expires_in":60})", R"({"token_type":"Bearer","expires_in":60})",
             R"({"token_type":"Bearer","access_token":"T"})", R"({"token_type":"Bearer","access_token":"T","expires_in":60,"refresh_token":5})",
             R"({"token_type":"Bearer","access_token":null,"expires_in":60})" }) {
        SCOPED_TRACE(text);
        EXPECT_THROW(ApigeeTokenDTO::decode(json::parse(text)), DecodingError);
    }
}

} // namespace
} // namespace tolven
