#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::ui {

class View;

// What the renderer paints under and around a view's content: a rectangle with
// a fill, rounded corners, a border and sublayers. A layer owns its sublayers;
// the superlayer is a plain back pointer that the owner clears.
class Layer : public std::enable_shared_from_this<Layer> {
public:
    Layer() = default;
    virtual ~Layer();
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    // In the superlayer's coordinates. A view's own layer follows the view's frame.
    Rect frame() const { return frame_; }
    void setFrame(const Rect& frame) { frame_ = frame; }
    Rect bounds() const { return {0, 0, frame_.width(), frame_.height()}; }

    std::optional<Color> backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(std::optional<Color> color) { backgroundColor_ = color; }
    double cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(double radius) { cornerRadius_ = radius; }
    double borderWidth() const { return borderWidth_; }
    void setBorderWidth(double width) { borderWidth_ = width; }
    Color borderColor() const { return borderColor_; }
    void setBorderColor(Color color) { borderColor_ = color; }
    bool masksToBounds() const { return masksToBounds_; }
    void setMasksToBounds(bool masks) { masksToBounds_ = masks; }
    double opacity() const { return opacity_; }
    void setOpacity(double opacity) { opacity_ = opacity; }
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden) { hidden_ = hidden; }
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    const std::vector<std::shared_ptr<Layer>>& sublayers() const { return sublayers_; }
    Layer* superlayer() const { return superlayer_; }
    // Moves `layer` here from any layer that held it, on top of the others.
    void addSublayer(const std::shared_ptr<Layer>& layer);
    void insertSublayer(const std::shared_ptr<Layer>& layer, std::size_t index);
    void removeFromSuperlayer();

    // The view whose own layer this is, if any.
    View* owningView() const { return owningView_; }

private:
    friend class View;

    Rect frame_;
    std::optional<Color> backgroundColor_;
    double cornerRadius_ = 0;
    double borderWidth_ = 0;
    Color borderColor_ = Color::black();
    bool masksToBounds_ = false;
    double opacity_ = 1;
    bool hidden_ = false;
    std::string name_;
    std::vector<std::shared_ptr<Layer>> sublayers_;
    Layer* superlayer_ = nullptr;
    View* owningView_ = nullptr;
};

}
