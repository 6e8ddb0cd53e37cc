#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

namespace devstack {

// Someone the backend knows, with the records it answers for them.
struct BackendEmployee {
    std::string email;
    // The backend's per-user token, handed out with the employee record.
    std::string userToken;
    std::string employeeNumber;
    // The employee object; "{gateway}" in its texts stands for the gateway's address.
    nlohmann::json employeeLoginInfo;
    // Whether the record nests the employee under "employeeLoginInfo" (the
    // backend sends both shapes).
    bool nested = true;
    std::vector<nlohmann::json> cars;
};

// The backend's data: employees, notices and monthly parking fees.
struct BackendDirectory {
    std::vector<BackendEmployee> employees;
    std::vector<nlohmann::json> notices;
    // Fee rows, each with the "carNumber" it belongs to.
    std::vector<nlohmann::json> fees;
    // The stored photo's file identifier.
    std::string photoFileId = "1001";

    // An employee of the corporate domain "kim.minsu@brantwick.com", a partner
    // "lee.jiwoo@skyline-air.co.kr" (both also known to the identity
    // provider), four notices (one pinned), three cars and their monthly fees.
    static BackendDirectory seeded();

    const BackendEmployee* byEmail(const std::string& email) const;
    const BackendEmployee* byUserToken(const std::string& userToken) const;
    const BackendEmployee* byEmployeeNumber(const std::string& employeeNumber) const;
};

} // namespace devstack
