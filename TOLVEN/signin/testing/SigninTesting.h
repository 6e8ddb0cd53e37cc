#pragma once

// Test seam: puts the sign-in subsystem's shared instances (AppSession,
// TokenManager, CheckBeforeLogin and the shared HTTP session) back to their
// state at first use. Call it once the test's environment and main bundle are
// in place, with no request of an earlier test in flight.
namespace tolven::testing {

void resetSigninSharedState();

} // namespace tolven::testing
