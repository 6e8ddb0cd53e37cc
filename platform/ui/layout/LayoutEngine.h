#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/layout/LayoutPriority.h"

namespace platform::ui {

class View;

// Places the views of a tree that do not translate their autoresizing mask:
// every active constraint, intrinsic size (as hugging and compression
// resistance) and layout guide becomes a linear equation or inequality, taken
// from the highest priority down. One that contradicts what is already held
// gives way; a required one that does is reported once on the console. What
// stays undetermined keeps its current value.
class LayoutEngine {
public:
    // Solves the tree and runs every pending layoutSubviews(), top-down, until
    // nothing needs layout.
    static void layoutTree(View& root);
    // Solves once and writes the frames.
    static void solve(View& root);
    static Size fittingSize(View& view, Size target, LayoutPriority horizontal, LayoutPriority vertical);
};

}
