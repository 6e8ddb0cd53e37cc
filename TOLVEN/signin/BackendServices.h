#pragma once

#include "TOLVEN/signin/URLList.h"

#include "platform/net/HttpSession.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

// The company backend's operations as the screens send them, all on the
// shared session (which adds the gateway token). Each returns the request
// with its headers and validation in place; the caller attaches its response
// handler, which starts it. "User-Token" comes from AppSession.
namespace tolven::backend {

// GET the employee record; "login-token" only when there is an ID token.
std::shared_ptr<platform::DataRequest> employeeRecord(const URLList& urls, const std::optional<std::string>& idToken);

// POST the newly installed version; "User-Token" only when not empty.
std::shared_ptr<platform::DataRequest> installReport(const URLList& urls, const std::string& email, const std::string& version);

// GET the mobile notices; "User-Token" only when not empty.
std::shared_ptr<platform::DataRequest> noticeList(const URLList& urls);

// GET the employee's cars; "User-Token" always, possibly empty.
std::shared_ptr<platform::DataRequest> parkingCars(const URLList& urls, const std::string& employeeNumber);

// GET the monthly fees; `gubun` 0 asks for employee rates, anything else for partner rates.
std::shared_ptr<platform::DataRequest> parkingFees(const URLList& urls, const std::string& employeeNumber, std::int64_t gubun);

// POST the fee order as JSON; "User-Token" only when not empty.
std::shared_ptr<platform::DataRequest> feeOrder(const URLList& urls, const nlohmann::json& order);

// The photo address: `downloadUrl` trimmed, with an "id" query item of
// `fileId` appended unless it already has one. Nothing when it is no address.
std::optional<std::string> photoDownloadAddress(const std::string& downloadUrl, const std::string& fileId);

// GET the profile photo into `destination` (replacing an old file).
std::shared_ptr<platform::DownloadRequest> profilePhoto(const std::string& address, const std::string& userToken,
    const std::optional<std::string>& idToken, const std::filesystem::path& destination);

} // namespace tolven::backend
