#pragma once

#include "platform/security/Keychain.h"
#include "platform/security/SecurityStatus.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string_view>

// The places where a test reaches inside the platform: outputs it captures,
// failures it injects and shared state it puts back between tests. The
// platform library defines them; only tests and their helpers include this.

namespace platform {

// Receives every console line in place of standard output; an empty function
// restores standard output.
void setConsoleSinkForTesting(std::function<void(std::string_view)> sink);

// Runs between writing an atomic write's temporary file and renaming it. A
// hook that throws simulates a crash at that moment.
void setBeforeRenameHookForTesting(std::function<void(const std::filesystem::path& temporary)> hook);

// Replaces the secure random source (to script bytes or make it fail); an
// empty function restores the system's.
void setSecureRandomSourceForTesting(std::function<OSStatus(std::span<std::uint8_t>)> source);

// Runs at the start of every keychain operation, before the store is locked,
// as if another caller acted just before this one.
void setKeychainBeforeOperationHookForTesting(std::function<void(Keychain::Operation)> hook);

// Forgets the identity provider's clock offset learnt so far.
void resetProviderClockForTesting();

namespace ui {

// Forgets the application's scenes, windows, state and records, so each test
// starts alike.
void resetApplicationForTesting();

// Puts the main screen back as it starts: not captured.
void resetScreenForTesting();

} // namespace ui

} // namespace platform
