#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <map>
#include <vector>

namespace platform::ui {

enum class ContentVerticalAlignment { center, top, bottom, fill };

enum class ControlEvent { touchUpInside, valueChanged, primaryActionTriggered, editingDidBegin, editingChanged, editingDidEnd };

// Bits of a control's state, as used to look up per-state appearance.
enum ControlState : unsigned { controlStateNormal = 0, controlStateHighlighted = 1, controlStateDisabled = 2, controlStateSelected = 4 };

// A view that sends actions to targets. A tap on a disabled control is taken
// and dropped, so it never reaches the views behind it.
class Control : public View {
public:
    using Action = std::function<void(Control&)>;

    std::string className() const override { return "Control"; }

    bool isEnabled() const { return enabled_; }
    virtual void setEnabled(bool enabled);
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected) { selected_ = selected; }
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted) { highlighted_ = highlighted; }
    unsigned state() const;
    ContentVerticalAlignment contentVerticalAlignment() const { return verticalAlignment_; }
    void setContentVerticalAlignment(ContentVerticalAlignment alignment) { verticalAlignment_ = alignment; }

    void addTarget(ControlEvent event, Action action) { actions_[event].push_back(std::move(action)); }
    void removeAllTargets() { actions_.clear(); }
    void sendActions(ControlEvent event);

    bool handleTap(Point pointInView) override;

protected:
    // What a tap on an enabled control does; a button sends touch-up-inside.
    virtual void tapped();

private:
    bool enabled_ = true;
    bool selected_ = false;
    bool highlighted_ = false;
    ContentVerticalAlignment verticalAlignment_ = ContentVerticalAlignment::center;
    std::map<ControlEvent, std::vector<Action>> actions_;
};

}
