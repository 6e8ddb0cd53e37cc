#include "TOLVEN/signin/records/UserItem.h"

#include "TOLVEN/signin/records/JsonFields.h"

namespace tolven {

using namespace jsonfields;

UserItem UserItem::decode(const nlohmann::json& json, const CodingPath& path)
{
    requireObject(json, path);
    UserItem item;
    if (auto nested = json.find("employeeLoginInfo"); nested != json.end())
        item.employee = EmployeeLoginInfo::decode(*nested, appending(path, "employeeLoginInfo"));
    else
        item.employee = EmployeeLoginInfo::decode(json, path);
    item.userToken = strictText(json, "userToken", path);
    return item;
}

} // namespace tolven
