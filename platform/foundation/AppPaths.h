#pragma once

#include <filesystem>

namespace platform {

// The application's data folder: user defaults, keychain and documents live
// below it. Defaults to $TOLVEN_DATA_HOME, else ~/.local/share/tolven; tests
// point it at a temporary folder.
std::filesystem::path dataRoot();
void setDataRoot(std::filesystem::path root);

std::filesystem::path preferencesFolder();
std::filesystem::path documentsFolder();

} // namespace platform
