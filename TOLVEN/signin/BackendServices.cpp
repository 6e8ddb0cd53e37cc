#include "TOLVEN/signin/BackendServices.h"

#include "TOLVEN/signin/APISession.h"
#include "TOLVEN/signin/AppSession.h"

#include <algorithm>

namespace tolven::backend {

namespace {

using platform::HttpHeaderList;
using platform::HttpMethod;
using platform::UrlEncoding;

void addUserTokenUnlessEmpty(HttpHeaderList& headers)
{
    if (!AppSession::shared().userToken.empty())
        headers.update("User-Token", AppSession::shared().userToken);
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

} // namespace

std::shared_ptr<platform::DataRequest> employeeRecord(const URLList& urls, const std::optional<std::string>& idToken)
{
    HttpHeaderList headers;
    if (idToken)
        headers.update("login-token", *idToken);
    auto request = apiSession()->requestWithParameters(urls.baseURL + urls.getUser, HttpMethod::get(), std::nullopt,
        UrlEncoding::methodDependent, headers);
    request->validateStatus();
    return request;
}

std::shared_ptr<platform::DataRequest> installReport(const URLList& urls, const std::string& email, const std::string& version)
{
    HttpHeaderList headers { { "User-Agent", "brantwickMcard" } };
    addUserTokenUnlessEmpty(headers);
    auto request = apiSession()->requestWithParameters(urls.baseURL + urls.setInstall, HttpMethod::post(),
        platform::Parameters { { "email", email }, { "version", version } }, UrlEncoding::httpBody, headers);
    request->validateStatus(200, 299);
    return request;
}

std::shared_ptr<platform::DataRequest> noticeList(const URLList& urls)
{
    HttpHeaderList headers { { "User-Agent", "brantwickMcard" } };
    addUserTokenUnlessEmpty(headers);
    auto request = apiSession()->requestWithParameters(urls.baseURL + urls.getNoti, HttpMethod::get(),
        platform::Parameters { { "type", "MOBILE" } }, UrlEncoding::queryString, headers);
    request->validateStatus(200, 299);
    return request;
}

std::shared_ptr<platform::DataRequest> parkingCars(const URLList& urls, const std::string& employeeNumber)
{
    HttpHeaderList headers { { "User-Token", AppSession::shared().userToken } };
    auto request = apiSession()->requestWithParameters(urls.baseURL + urls.getParkingNumber, HttpMethod::get(),
        platform::Parameters { { "employeeNumber", employeeNumber } }, UrlEncoding::queryString, headers);
    request->validateStatus(200, 299);
    return request;
}

std::shared_ptr<platform::DataRequest> parkingFees(const URLList& urls, const std::string& employeeNumber, std::int64_t gubun)
{
    HttpHeaderList headers { { "User-Token", AppSession::shared().userToken } };
    platform::Parameters query { { "employeeNumber", employeeNumber }, { "parkingLotCode", "ALL" },
        { "driverType", gubun != 0 ? "PART" : "MEM" }, { "lateType", "ALL" } };
    auto request = apiSession()->requestWithParameters(urls.baseURL + urls.getCost, HttpMethod::get(), query,
        UrlEncoding::queryString, headers);
    request->validateStatus(200, 299);
    return request;
}

std::shared_ptr<platform::DataRequest> feeOrder(const URLList& urls, const nlohmann::json& order)
{
    HttpHeaderList headers { { "Content-Type", "application/json" }, { "User-Agent", "brantwickMcard" } };
    addUserTokenUnlessEmpty(headers);
    auto request = apiSession()->requestWithEncodable(urls.baseURL + urls.mobileOrderRequest, HttpMethod::post(), order,
        platform::ParameterEncoder::json, headers);
    request->validateStatus(200, 299);
    return request;
}

std::optional<std::string> photoDownloadAddress(const std::string& downloadUrl, const std::string& fileId)
{
    auto begin = downloadUrl.find_first_not_of(" \t\n\r\f\v");
    if (begin == std::string::npos)
        return std::nullopt;
    auto end = downloadUrl.size();
    while (end > begin && isSpace(downloadUrl[end - 1]))
        --end;
    std::string address = downloadUrl.substr(begin, end - begin);
    if (address.find("://") == std::string::npos || std::any_of(address.begin(), address.end(), isSpace))
        return std::nullopt;

    std::string fragment;
    if (auto hash = address.find('#'); hash != std::string::npos) {
        fragment = address.substr(hash);
        address.erase(hash);
    }
    auto question = address.find('?');
    if (question != std::string::npos) {
        std::string query = address.substr(question + 1);
        std::size_t start = 0;
        while (start <= query.size()) {
            auto stop = query.find('&', start);
            auto item = query.substr(start, stop == std::string::npos ? std::string::npos : stop - start);
            if (item.substr(0, item.find('=')) == "id")
                return address + fragment;
            if (stop == std::string::npos)
                break;
            start = stop + 1;
        }
    }
    address += (question == std::string::npos ? "?" : (address.back() == '?' || address.back() == '&' ? "" : "&"));
    address += "id=" + platform::percentEscape(fileId);
    return address + fragment;
}

std::shared_ptr<platform::DownloadRequest> profilePhoto(const std::string& address, const std::string& userToken,
    const std::optional<std::string>& idToken, const std::filesystem::path& destination)
{
    HttpHeaderList headers { { "User-Agent", "brantwickMcard" }, { "User-Token", userToken } };
    if (idToken && !idToken->empty())
        headers.update("login-token", *idToken);
    return apiSession()->downloadToFile(address, destination, HttpMethod::get(), std::nullopt, UrlEncoding::methodDependent, headers);
}

} // namespace tolven::backend
