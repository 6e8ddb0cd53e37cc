#pragma once

#include <string>

namespace tolven {

// The signed-in user as the screens and request builders see it. Everything
// starts empty; there is no lock because it is written and read on the main
// queue (the one read of `email` off it is the home screen's, after a real
// credential refresh).
class AppSession {
public:
    static AppSession& shared();

    std::string appToken;
    std::string email;
    std::string sabun;
    std::string name;
    std::string nameEng;
    std::string department;
    std::string rank;
    std::string expireDt;
    std::string phoneNum;
    std::string userToken;
    std::string accessToken;
};

} // namespace tolven
