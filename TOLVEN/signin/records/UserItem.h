#pragma once

#include "TOLVEN/signin/records/EmployeeLoginInfo.h"

#include <optional>
#include <string>

namespace tolven {

// One element of the employee-record answer: the employee and the backend's
// per-user token.
struct UserItem {
    EmployeeLoginInfo employee;
    std::optional<std::string> userToken;

    // The employee comes from "employeeLoginInfo" when the item has that key
    // (whatever its value), otherwise from the item's own keys.
    static UserItem decode(const nlohmann::json& json, const CodingPath& path = {});

    bool operator==(const UserItem&) const = default;
};

} // namespace tolven
