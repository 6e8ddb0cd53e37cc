#include "devstack/gateway/BackendDirectory.h"

namespace devstack {

namespace {

using nlohmann::json;

json photoImage(const std::string& fileId, const std::string& fileName)
{
    // The address carries no "id": the application appends the file id itself.
    return json { { "fileId", std::stoll(fileId) }, { "filePath", "/files/photo/" + fileName },
        { "viewUrl", "{gateway}/etc-tolven-pub/back/common/file/view?id=" + fileId },
        { "downloadUrl", "{gateway}/etc-tolven-pub/back/common/file/download" }, { "size", 141 },
        { "originalFileName", fileName } };
}

json notice(int id, const char* title, const char* html, const char* topYn, const char* updateDt)
{
    return json { { "rowNum", id }, { "content", html }, { "prevID", id > 1 ? json(id - 1) : json(nullptr) }, { "id", id },
        { "nextID", id < 4 ? json(id + 1) : json(nullptr) }, { "title", title }, { "topYn", topYn }, { "createUser", "총무팀" },
        { "updateDt", updateDt }, { "createDt", updateDt }, { "updateUser", "총무팀 관리자" } };
}

json car(int no, const char* carNumber, const char* carName, const char* lot)
{
    return json { { "no", no }, { "carNumber", carNumber }, { "carName", carName }, { "parkingLotCode", lot }, { "paymentStatus", "N" } };
}

json fee(const char* carNumber, const char* lot, int year, int month, int cost, int days)
{
    return json { { "carNumber", carNumber }, { "parkingLotCode", lot }, { "parkingYear", year }, { "parkingMonth", month },
        { "cost", cost }, { "parkingCount", days } };
}

} // namespace

BackendDirectory BackendDirectory::seeded()
{
    BackendDirectory directory;

    BackendEmployee employee;
    employee.email = "kim.minsu@brantwick.com";
    employee.userToken = "UT-kim-minsu-7f3a9c";
    employee.employeeNumber = "20190123";
    employee.employeeLoginInfo = json { { "name", "김민수" }, { "nameEng", "KIM MINSU" }, { "emp", "20190123" },
        { "email", employee.email }, { "phoneNum", "010-1234-5678" }, { "rank", "대리" }, { "departmentCode", "D100" },
        { "department", "운항관리팀" },
        { "idcard", { { "kind", "ID" }, { "issuedDt", "2023-01-02" }, { "expireDt", "2027-12-31" }, { "status", "ACTIVE" }, { "image", json::array() } } },
        { "mobileId", { { "kind", "MOBILE" }, { "issuedDt", "2024-03-01" }, { "expireDt", "2027-12-31" }, { "status", "ACTIVE" },
                          { "image", { photoImage(directory.photoFileId, "kim_minsu.jpg") } } } } };
    employee.cars = { car(1, "12가3456", "아반떼", "P3"), car(2, "34나5678", "쏘나타", "P1") };
    directory.employees.push_back(employee);

    BackendEmployee partner;
    partner.email = "lee.jiwoo@skyline-air.co.kr";
    partner.userToken = "UT-lee-jiwoo-41b2d8";
    partner.employeeNumber = "70020417";
    partner.nested = false;
    partner.employeeLoginInfo = json { { "name", "이지우" }, { "nameEng", "LEE JIWOO" }, { "emp", "70020417" }, { "email", partner.email },
        { "phoneNum", "010-9876-5432" }, { "rank", "협력사" }, { "departmentCode", "P200" }, { "department", "스카이라인항공 지상조업" },
        { "idcard", { { "kind", "PARTNER" }, { "issuedDt", "2024-01-15" }, { "expireDt", "2025-06-30 23:59:59" }, { "status", "ACTIVE" } } },
        { "mobileId", nullptr } };
    partner.cars = { car(3, "56다7890", "스타리아", "P2") };
    directory.employees.push_back(partner);

    directory.notices = {
        notice(1, "[필독] 모바일 사원증 사용 안내", "<p>모바일 사원증은 <b>한 대의 기기</b>에서만 사용할 수 있습니다.</p>", "Y", "2024-05-02"),
        notice(2, "5월 주차 정산 일정", "<p>5월 주차비는 <i>5월 31일</i>까지 결제해 주세요.</p><ul><li>P1</li><li>P3</li></ul>", "N", "2024-04-29"),
        notice(3, "본사 출입 게이트 점검", "<p>5월 11일 02:00~04:00 출입 게이트 점검이 있습니다.</p>", "N", "2024-04-20"),
        notice(4, "사내 식당 운영 시간 변경", "<div>평일 11:00~13:30 &amp; 17:30~19:00</div>", "N", "2024-04-02"),
    };

    directory.fees = {
        fee("12가3456", "P3", 2024, 3, 50000, 20), fee("12가3456", "P3", 2024, 4, 45000, 18), fee("12가3456", "P3", 2024, 5, 50000, 20),
        fee("34나5678", "P1", 2024, 4, 30000, 12), fee("34나5678", "P1", 2024, 5, 32500, 13),
        fee("56다7890", "P2", 2024, 5, 40000, 16),
    };
    return directory;
}

const BackendEmployee* BackendDirectory::byEmail(const std::string& email) const
{
    for (const auto& employee : employees) {
        if (employee.email == email)
            return &employee;
    }
    return nullptr;
}

const BackendEmployee* BackendDirectory::byUserToken(const std::string& userToken) const
{
    for (const auto& employee : employees) {
        if (!userToken.empty() && employee.userToken == userToken)
            return &employee;
    }
    return nullptr;
}

const BackendEmployee* BackendDirectory::byEmployeeNumber(const std::string& employeeNumber) const
{
    for (const auto& employee : employees) {
        if (employee.employeeNumber == employeeNumber)
            return &employee;
    }
    return nullptr;
}

} // namespace devstack
