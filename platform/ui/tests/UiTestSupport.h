#pragma once

#include "platform/foundation/Console.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/testing/Seams.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platform::ui::testing {

// Virtual time, a fresh application and screen, and the console captured.
class UiTest : public ::testing::Test {
protected:
    UiTest()
    {
        resetApplicationForTesting();
        resetScreenForTesting();
        platform::setConsoleSinkForTesting([this](std::string_view line) { console.emplace_back(line); });
    }
    ~UiTest() override
    {
        window.reset();
        resetApplicationForTesting();
        platform::setConsoleSinkForTesting({});
    }

    // A visible key window whose root is `root`.
    void show(std::shared_ptr<ViewController> root)
    {
        window = std::make_shared<Window>();
        window->setRootViewController(std::move(root));
        window->makeKeyAndVisible();
        env.runUntilIdle();
    }

    bool consoleContains(const std::string& part) const
    {
        for (const auto& line : console) {
            if (line.find(part) != std::string::npos)
                return true;
        }
        return false;
    }

    platform::TestEnvironment env;
    std::vector<std::string> console;
    std::shared_ptr<Window> window;
};

}
