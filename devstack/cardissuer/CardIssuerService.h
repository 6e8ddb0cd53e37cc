#pragma once

#include "devstack/server/HttpsService.h"

#include <nlohmann/json.hpp>

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace devstack {

// The card maker's card-issuing server: POST "/orvix/sdk/<operation>" with the
// library's JSON envelope. A well-formed envelope is answered 200 with
// {"header": {..., "result_code": "0000"}, "body": {"request": ..., "response": {...}}};
// a bad one with 400 and "result_code" "E400" plus a "message". Cards,
// SMS codes and accepted terms are kept in memory per card number.
class CardIssuerService final : public HttpsService {
public:
    CardIssuerService();

    // The code smsNumRequest "sends" to the phone of `uid`, once one was asked for.
    std::optional<std::string> smsCodeFor(const std::string& uid) const;

    // The card number the server gives a device (16 digits, the same for the same device).
    static std::string cardNumberFor(const std::string& device);

protected:
    void installRoutes(httplib::Server& server) override;

private:
    // The answer's "response" object, or why the request object is not acceptable.
    nlohmann::json answer(const std::string& operation, const nlohmann::json& request, std::string& problem);

    mutable std::mutex mutex_;
    std::map<std::string, std::set<std::string>> cardsByUid_; // uid → site numbers (mid)
    std::map<std::string, std::string> smsCodes_;
    std::set<std::string> acceptedTerms_;
    unsigned smsCounter_ = 0;
};

} // namespace devstack
