// Links the installed library and calls into it; exits 0 when that worked.
#include <lumitrex/lumitrex.h>

#include <iostream>

int main()
{
    auto proximity = lumitrex::MobileCard::proximityFromRawValue(1);
    if (proximity != lumitrex::MobileCard::Proximity::middle) {
        std::cerr << "consumer: the library answered wrongly\n";
        return 1;
    }
    std::cout << "consumer: lumitrex linked and answered\n";
    return 0;
}
