#pragma once

#include <string>

namespace devstack {

// The provider's HTML sign-in form for one pending sign-in; `message` (may be
// empty) is shown above it, for example after a wrong password.
std::string signInPage(const std::string& transaction, const std::string& message);

// A page with one sentence, for the provider's dead ends.
std::string messagePage(const std::string& title, const std::string& message);

} // namespace devstack
