#pragma once

#include <string>

namespace tolven {

// The backend's endpoint table. Every holder builds its own copy with the
// defaults; a request address is `baseURL` followed directly by a path.
struct URLList {
    URLList();

    std::string baseURL;
    std::string apigeeURL;
    std::string getUser = "/back/hr/employee/login-user-info";
    std::string getGate = "/back/gate/admin/gate_auth";
    std::string getNoti = "/back/hr/notice/list";
    std::string getNotiDetail = "/back/hr/notice/find-by-id/";
    std::string setInstall = "/back/auth/mobileid/confirm-install";
    std::string getParkingNumber = "/back/parking/parking/find-by-employee-number";
    std::string getCost = "/back/parking/cost/find";
    std::string orderRequest = "/cost/order-request";
    std::string mobileOrderRequest = "/back/parking/cost/order-mobile";
};

} // namespace tolven
