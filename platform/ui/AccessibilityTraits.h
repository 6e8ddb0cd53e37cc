#pragma once

#include <cstdint>

namespace platform::ui {

// Bits of a view's accessibility traits, combined with `|`.
enum AccessibilityTraits : std::uint64_t {
    accessibilityTraitNone = 0,
    accessibilityTraitButton = 1u << 0,
    accessibilityTraitLink = 1u << 1,
    accessibilityTraitImage = 1u << 2,
    accessibilityTraitSelected = 1u << 3,
    accessibilityTraitStaticText = 1u << 6,
    accessibilityTraitNotEnabled = 1u << 8,
    accessibilityTraitHeader = 1u << 16,
};

}
