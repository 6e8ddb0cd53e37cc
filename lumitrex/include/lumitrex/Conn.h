#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumitrex {

// The client of the card-issuing server. Each operation sends one request and
// blocks the calling thread until the answer or the request's 60 s time-out,
// then returns the answer's body unread: empty when no body came, an error
// page's body like any other. None throws.
//
// The server is https://mcard.orvix.co.kr unless the host configuration
// names another under "MobileCard Server URL".
class Conn {
public:
    using Bytes = std::vector<std::uint8_t>;

    Conn() = default;

    // Computes the application identifier from the host configuration's
    // "MobileCard Token" and the device key or number, keeps it for the other
    // operations, and asks for the card number of this device.
    static Bytes uidRequest(const std::optional<std::string>& deviceKey, const std::optional<std::string>& deviceNo);
    static Bytes cardList(const std::string& uid);
    static Bytes cardIssue(const std::string& uid, const std::string& mid, const std::string& cu_code);
    static Bytes cardValidCheck(const std::string& uid);
    static Bytes smsNumRequest(const std::string& uid);
    static Bytes smsVerify(const std::string& uid, const std::string& smsNo);
    static Bytes acceptTerms(const std::string& uid);
};

} // namespace lumitrex
