#pragma once

#include "platform/ui/ApplicationDelegate.h"

#include <functional>
#include <memory>

namespace platform::ui {

// The process's user-interface entry: makes the application delegate, launches
// the application on the main queue (its window from the main storyboard) and
// runs the main run loop until it is stopped. "--url <address>" in the
// arguments launches as if the address had opened the application.
int applicationMain(int argc, char** argv, std::function<std::shared_ptr<ApplicationDelegate>()> makeDelegate);

// The launch options that the arguments describe.
LaunchOptions launchOptionsFromArguments(int argc, char** argv);

}
