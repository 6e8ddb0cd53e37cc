#pragma once

#include "platform/ui/Geometry.h"

#include <functional>
#include <memory>
#include <vector>

namespace platform::ui {

class View;

// Receives the taps that hit-testing delivers to its view. A recogniser does not
// keep its target alive: the action closures capture what they need, weakly
// where a screen may go away first.
class GestureRecognizer {
public:
    virtual ~GestureRecognizer() = default;

    View* view() const { return view_; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    // Where the last gesture happened, in the view's coordinates.
    Point location() const { return location_; }

protected:
    friend class View;
    // Whether this recogniser takes a tap at `point` (and acts on it).
    virtual bool recognizeTap(Point point) = 0;

    Point location_;

private:
    View* view_ = nullptr;
    bool enabled_ = true;
};

class TapGestureRecognizer final : public GestureRecognizer {
public:
    using Action = std::function<void(TapGestureRecognizer&)>;

    explicit TapGestureRecognizer(Action action) { actions_.push_back(std::move(action)); }
    void addAction(Action action) { actions_.push_back(std::move(action)); }

private:
    bool recognizeTap(Point point) override
    {
        location_ = point;
        auto actions = actions_;
        for (auto& action : actions) {
            if (action)
                action(*this);
        }
        return true;
    }

    std::vector<Action> actions_;
};

}
