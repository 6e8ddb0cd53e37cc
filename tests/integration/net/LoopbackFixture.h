#pragma once

#include "devstack/server/testing/RunningService.h"
#include "devstack/server/testing/ScriptedService.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/net/HttpSession.h"

#include <gtest/gtest.h>

#include <optional>

namespace platform {

// A test against a scripted HTTPS service on loopback, in virtual time.
class LoopbackTest : public ::testing::Test {
protected:
    std::string url(const std::string& path) const { return server.url(path); }

    // Runs the main queue until `slot` is filled by a completion.
    template<typename T>
    const T& await(const std::optional<T>& slot)
    {
        EXPECT_TRUE(env.runUntil([&] { return slot.has_value(); })) << "no completion arrived";
        return *slot;
    }

    TestEnvironment env;
    devstack::testing::RunningService<devstack::testing::ScriptedService> server;
};

} // namespace platform
