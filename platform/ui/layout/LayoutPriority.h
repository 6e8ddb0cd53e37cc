#pragma once

namespace platform::ui {

using LayoutPriority = float;

constexpr LayoutPriority layoutPriorityRequired = 1000;
constexpr LayoutPriority layoutPriorityDefaultHigh = 750;
constexpr LayoutPriority layoutPriorityDefaultLow = 250;
constexpr LayoutPriority layoutPriorityFittingSizeLevel = 50;

enum class LayoutAxis { horizontal, vertical };

}
