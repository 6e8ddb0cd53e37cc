#pragma once

#include <string>

namespace devstack {

// A new site card key for one run, in the Base64 form a site configures as
// "Mobile Card Key" and gives its door readers. Throws std::runtime_error
// when the system has no random bytes to give.
std::string makeSiteCardKey();

} // namespace devstack
