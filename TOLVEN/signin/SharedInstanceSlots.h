#pragma once

#include "platform/net/HttpSession.h"

#include <memory>
#include <mutex>

namespace tolven {

class CheckBeforeLogin;
class TokenManager;

// Where the sign-in layer keeps its process-wide instances, each made on first
// use. Only the instances' own files and the testing library, which puts fresh
// ones in place between tests, reach them here; everyone else asks shared().
namespace detail {

std::shared_ptr<TokenManager>& tokenManagerSlot();
std::shared_ptr<CheckBeforeLogin>& checkBeforeLoginSlot();

// The shared HTTP session is asked for from every queue, so its slot has a lock.
struct APISessionSlot {
    std::mutex mutex;
    std::shared_ptr<platform::HttpSession> session;
};
APISessionSlot& apiSessionSlot();

} // namespace detail

} // namespace tolven
