#pragma once

namespace tolven {

// FIXME: the toolkit has no application main yet; this is the smallest one:
// it makes the delegate named `delegateClassName` (only "AppDelegate" is
// known), launches the application with it and runs the main run loop until
// it is stopped. `principalClassName` must be null: the default application.
int applicationMain(int argc, char** argv, const char* principalClassName, const char* delegateClassName);

// Registers the application's scene delegate and screens with the toolkit.
void registerApplicationClasses();

} // namespace tolven
