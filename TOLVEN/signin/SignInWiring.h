#pragma once

namespace tolven {

// Start-up wiring of the sign-in layer: from now on each gateway token that
// the token manager obtains is written to the backend as this phone's device
// key (CheckBeforeLogin::setCheck on the shared session, without completion).
// The application runs it once at launch, before any backend request.
void connectGatewayTokenReports();

} // namespace tolven
