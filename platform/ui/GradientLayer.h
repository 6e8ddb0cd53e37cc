#pragma once

#include "platform/ui/Layer.h"

namespace platform::ui {

// A linear gradient between colours at locations from 0 to 1, from `startPoint`
// to `endPoint` in unit coordinates of the layer's bounds.
class GradientLayer final : public Layer {
public:
    std::vector<Color> colors;
    std::vector<double> locations;
    Point startPoint {0.5, 0};
    Point endPoint {0.5, 1};
};

}
