#pragma once

#include "TOLVEN/signin/records/CardInfo.h"

#include <optional>
#include <string>

namespace tolven {

// The employee as the backend knows them.
struct EmployeeLoginInfo {
    std::optional<std::string> name;
    std::optional<std::string> nameEng;
    // The employee number.
    std::optional<std::string> emp;
    std::optional<std::string> email;
    std::optional<std::string> phoneNum;
    std::optional<std::string> rank;
    std::optional<std::string> departmentCode;
    std::optional<std::string> department;
    std::optional<CardInfo> idcard;
    std::optional<CardInfo> mobileId;

    // Missing or null fields are absent; a value of the wrong type fails the record.
    static EmployeeLoginInfo decode(const nlohmann::json& json, const CodingPath& path = {});

    bool operator==(const EmployeeLoginInfo&) const = default;
};

} // namespace tolven
