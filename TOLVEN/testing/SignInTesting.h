#pragma once

// Puts the sign-in layer's shared instances (AppSession, TokenManager,
// CheckBeforeLogin and the shared HTTP session) back to their state at first
// use. Call it once the test's environment and main bundle are in place, with
// no request of an earlier test in flight. Like the application at launch, a
// test that wants new gateway tokens reported calls
// connectGatewayTokenReports() afterwards.
namespace tolven::testing {

void resetSigninSharedState();

} // namespace tolven::testing
