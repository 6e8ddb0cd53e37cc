#include "TOLVEN/signin/records/EmployeeLoginInfo.h"

#include "TOLVEN/signin/records/JsonFields.h"

namespace tolven {

using namespace jsonfields;

namespace {

std::optional<CardInfo> cardNamed(const nlohmann::json& json, const char* key, const CodingPath& path)
{
    auto* value = presentValue(json, key);
    if (!value)
        return std::nullopt;
    return CardInfo::decode(*value, appending(path, key));
}

} // namespace

EmployeeLoginInfo EmployeeLoginInfo::decode(const nlohmann::json& json, const CodingPath& path)
{
    requireObject(json, path);
    EmployeeLoginInfo employee;
    employee.name = strictText(json, "name", path);
    employee.nameEng = strictText(json, "nameEng", path);
    employee.emp = strictText(json, "emp", path);
    employee.email = strictText(json, "email", path);
    employee.phoneNum = strictText(json, "phoneNum", path);
    employee.rank = strictText(json, "rank", path);
    employee.departmentCode = strictText(json, "departmentCode", path);
    employee.department = strictText(json, "department", path);
    employee.idcard = cardNamed(json, "idcard", path);
    employee.mobileId = cardNamed(json, "mobileId", path);
    return employee;
}

} // namespace tolven
