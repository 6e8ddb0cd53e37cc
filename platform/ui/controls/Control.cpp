#include "platform/ui/controls/Control.h"

namespace platform::ui {

void Control::setEnabled(bool enabled)
{
    enabled_ = enabled;
}

unsigned Control::state() const
{
    unsigned state = controlStateNormal;
    if (!enabled_)
        state |= controlStateDisabled;
    if (selected_)
        state |= controlStateSelected;
    if (highlighted_)
        state |= controlStateHighlighted;
    return state;
}

void Control::sendActions(ControlEvent event)
{
    auto it = actions_.find(event);
    if (it == actions_.end())
        return;
    auto actions = it->second;
    for (auto& action : actions)
        action(*this);
}

bool Control::handleTap(Point pointInView)
{
    if (!enabled_)
        return true;
    if (View::handleTap(pointInView))
        return true;
    tapped();
    return true;
}

void Control::tapped()
{
    sendActions(ControlEvent::touchUpInside);
    sendActions(ControlEvent::primaryActionTriggered);
}

}
