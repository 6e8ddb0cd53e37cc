#pragma once

#include "platform/ui/Font.h"

#include <filesystem>
#include <memory>
#include <string>

namespace platform {
class Bundle;
}

namespace platform::ui {

// Resolves the application's font names to installed faces through fontconfig.
//
// The application ships a fontconfig file ("fonts.conf" in its bundle) that
// aliases its own font names to installed families, so no font file has to
// travel with it. Until one is loaded, only the system's configuration applies
// and an unknown name falls back to the default face. Text in a script the
// chosen face lacks (Hangul in a Latin face) falls back to a face that has it.
// Use it on the main queue only.
class FontLibrary {
public:
    static FontLibrary& shared();

    // Loads the bundle's "fonts.conf" on top of the system's configuration;
    // without that file, the system's configuration alone. Returns false, with
    // one console line, when the file cannot be read as a fontconfig file; the
    // previous configuration stays.
    bool loadConfigurationOfBundle(const Bundle& bundle);
    bool loadConfiguration(const std::filesystem::path& fontsConf);
    void useSystemConfiguration();

    // The family that draws `font`'s Latin text, for diagnostics and tests.
    std::string resolvedFamily(const Font& font) const;

    struct Backend;
    Backend& backend() const { return *backend_; }

private:
    FontLibrary();
    ~FontLibrary();

    std::unique_ptr<Backend> backend_;
};

} // namespace platform::ui
