#pragma once

#include "platform/ui/AccessibilityTraits.h"
#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Layer.h"
#include "platform/ui/layout/LayoutConstraint.h"
#include "platform/ui/layout/LayoutGuide.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::ui {

class GestureRecognizer;
class ViewController;
class Window;

enum class ContentMode { scaleToFill, scaleAspectFit, scaleAspectFill, redraw, center, top, bottom, left, right };

// A node of the retained view tree: geometry, appearance flags, its ordered
// subviews (owned) and a back pointer to its superview. A view holds state only;
// the renderer reads it, the layout engine and layoutSubviews() place it, and
// the hit-test hands taps to its gesture recognisers. Views are always made with
// std::make_shared, so that constraints and outlets can hold them weakly.
class View : public std::enable_shared_from_this<View> {
public:
    static constexpr double noIntrinsicMetric = -1;

    View();
    explicit View(const Rect& frame);
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    // The class name that interface files and console lines use.
    virtual std::string className() const { return "View"; }

    // Geometry. The frame is derived from centre, bounds and transform, and is
    // only meaningful as a rectangle while the transform is the identity.
    Rect frame() const;
    void setFrame(const Rect& frame);
    Rect bounds() const { return bounds_; }
    void setBounds(const Rect& bounds);
    Point center() const { return center_; }
    void setCenter(Point center);
    const AffineTransform& transform() const { return transform_; }
    void setTransform(const AffineTransform& transform);

    // Appearance. Alpha, hidden, clipping and background are the layer's.
    double alpha() const { return layer_->opacity(); }
    void setAlpha(double alpha) { layer_->setOpacity(alpha); }
    bool isHidden() const { return layer_->isHidden(); }
    void setHidden(bool hidden);
    bool clipsToBounds() const { return layer_->masksToBounds(); }
    void setClipsToBounds(bool clips) { layer_->setMasksToBounds(clips); }
    std::optional<Color> backgroundColor() const { return layer_->backgroundColor(); }
    void setBackgroundColor(std::optional<Color> color) { layer_->setBackgroundColor(color); }
    // Inherited from the superview when not set; system blue at the root.
    Color tintColor() const;
    void setTintColor(std::optional<Color> color);
    bool isOpaque() const { return opaque_; }
    void setOpaque(bool opaque) { opaque_ = opaque; }
    ContentMode contentMode() const { return contentMode_; }
    void setContentMode(ContentMode mode) { contentMode_ = mode; }
    bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    Layer& layer() const { return *layer_; }
    const std::shared_ptr<Layer>& layerPointer() const { return layer_; }

    // Hierarchy. A view owns its subviews; the last subview is drawn on top.
    View* superview() const { return superview_; }
    const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
    void addSubview(const std::shared_ptr<View>& view);
    void insertSubview(const std::shared_ptr<View>& view, std::size_t index);
    void bringSubviewToFront(const View& view);
    void removeFromSuperview();
    bool isDescendantOf(const View& view) const;
    // The window this view is in, if any.
    Window* window() const;
    // The screen whose root view this is, if any.
    ViewController* owningViewController() const { return viewController_; }
    // The nearest screen that owns this view or one of its ancestors.
    ViewController* enclosingViewController() const;

    // Coordinate conversion between any two views of one tree, transforms
    // included. A null view means the window (the root of the tree).
    Point convertPointTo(Point point, const View* view) const;
    Point convertPointFrom(Point point, const View* view) const;
    Rect convertRectTo(const Rect& rect, const View* view) const;
    Rect convertRectFrom(const Rect& rect, const View* view) const;

    // Input. A hidden, transparent (alpha below 0.01) or non-interactive view
    // and its subviews take no touches; a subview outside a clipping view's
    // bounds is not reached.
    virtual View* hitTest(Point point);
    virtual bool pointInside(Point point) const { return bounds_.contains(point); }
    void addGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer);
    void removeGestureRecognizer(const GestureRecognizer& recognizer);
    const std::vector<std::shared_ptr<GestureRecognizer>>& gestureRecognizers() const { return gestureRecognizers_; }
    // A tap that hit-testing delivered here: the first enabled recogniser takes
    // it; without one, the tap goes up the tree. Controls override it.
    virtual bool handleTap(Point pointInView);

    // Layout on demand.
    void setNeedsLayout();
    bool needsLayout() const { return needsLayout_; }
    // Solves the constraints of the whole tree and runs every pending layoutSubviews().
    void layoutIfNeeded();
    virtual void layoutSubviews() { }
    // Autoresizing: a view that translates its mask keeps its margins to the
    // superview and, when flexible, grows and shrinks with it.
    enum AutoresizingMask : unsigned { flexibleWidth = 1u << 1, flexibleHeight = 1u << 4 };
    unsigned autoresizingMask() const { return autoresizingMask_; }
    void setAutoresizingMask(unsigned mask) { autoresizingMask_ = mask; }
    void clearNeedsLayout() { needsLayout_ = false; }
    bool translatesAutoresizingMaskIntoConstraints() const { return translatesAutoresizingMask_; }
    void setTranslatesAutoresizingMaskIntoConstraints(bool translates);
    // noIntrinsicMetric in a dimension that has none.
    virtual Size intrinsicContentSize() const { return {noIntrinsicMetric, noIntrinsicMetric}; }
    void invalidateIntrinsicContentSize();
    LayoutPriority contentHuggingPriority(LayoutAxis axis) const;
    void setContentHuggingPriority(LayoutPriority priority, LayoutAxis axis);
    LayoutPriority contentCompressionResistancePriority(LayoutAxis axis) const;
    void setContentCompressionResistancePriority(LayoutPriority priority, LayoutAxis axis);
    // The smallest size the constraints allow with `target` as a wish; a
    // dimension given at required priority is held fixed.
    Size systemLayoutSizeFitting(Size target, LayoutPriority horizontalFitting = layoutPriorityFittingSizeLevel,
                                 LayoutPriority verticalFitting = layoutPriorityFittingSizeLevel);
    virtual Size sizeThatFits(Size size) const;
    void sizeToFit();

    // Constraints held by this view (those whose first anchor is here).
    const ConstraintList& constraints() const { return constraints_; }

    LayoutAnchor leadingAnchor() { return anchor(LayoutAttribute::leading); }
    LayoutAnchor trailingAnchor() { return anchor(LayoutAttribute::trailing); }
    LayoutAnchor leftAnchor() { return anchor(LayoutAttribute::left); }
    LayoutAnchor rightAnchor() { return anchor(LayoutAttribute::right); }
    LayoutAnchor topAnchor() { return anchor(LayoutAttribute::top); }
    LayoutAnchor bottomAnchor() { return anchor(LayoutAttribute::bottom); }
    LayoutAnchor widthAnchor() { return anchor(LayoutAttribute::width); }
    LayoutAnchor heightAnchor() { return anchor(LayoutAttribute::height); }
    LayoutAnchor centerXAnchor() { return anchor(LayoutAttribute::centerX); }
    LayoutAnchor centerYAnchor() { return anchor(LayoutAttribute::centerY); }

    // Safe area: the part of the view that no bar or screen edge covers.
    EdgeInsets safeAreaInsets() const;
    LayoutGuide& safeAreaLayoutGuide() { return safeAreaGuide_; }
    // Margins; the guide adds the safe area when insetsLayoutMarginsFromSafeArea is set.
    DirectionalEdgeInsets directionalLayoutMargins() const { return margins_; }
    void setDirectionalLayoutMargins(const DirectionalEdgeInsets& margins);
    EdgeInsets layoutMargins() const { return margins_.toEdgeInsets(); }
    void setLayoutMargins(const EdgeInsets& margins) { setDirectionalLayoutMargins({margins.top, margins.left, margins.bottom, margins.right}); }
    bool insetsLayoutMarginsFromSafeArea() const { return insetsMarginsFromSafeArea_; }
    void setInsetsLayoutMarginsFromSafeArea(bool insets);
    bool preservesSuperviewLayoutMargins() const { return preservesSuperviewMargins_; }
    void setPreservesSuperviewLayoutMargins(bool preserves) { preservesSuperviewMargins_ = preserves; }
    LayoutGuide& layoutMarginsGuide() { return marginsGuide_; }
    // The rectangle of the margins guide in this view's coordinates.
    Rect layoutMarginsFrame() const;

    // Accessibility, also what the test driver finds views by.
    const std::string& accessibilityIdentifier() const { return accessibilityIdentifier_; }
    void setAccessibilityIdentifier(std::string identifier) { accessibilityIdentifier_ = std::move(identifier); }
    const std::optional<std::string>& accessibilityLabel() const { return accessibilityLabel_; }
    void setAccessibilityLabel(std::optional<std::string> label) { accessibilityLabel_ = std::move(label); }
    const std::optional<std::string>& accessibilityValue() const { return accessibilityValue_; }
    void setAccessibilityValue(std::optional<std::string> value) { accessibilityValue_ = std::move(value); }
    std::uint64_t accessibilityTraits() const { return accessibilityTraits_; }
    void setAccessibilityTraits(std::uint64_t traits) { accessibilityTraits_ = traits; }
    bool isAccessibilityElement() const { return accessibilityElement_; }
    void setAccessibilityElement(bool element) { accessibilityElement_ = element; }
    // The text a user reads on this view, if it shows one.
    virtual std::optional<std::string> displayedText() const { return std::nullopt; }

    // Called after the view was added to or removed from a superview or window.
    virtual void didMoveToSuperview() { }
    virtual void didMoveToWindow() { }
    // Where an interface file puts this view's subviews (a cell's content view).
    virtual View& interfaceContentView() { return *this; }
    // The interface-file step once outlets are connected.
    virtual void awakeFromNib() { }

protected:
    // The layout engine writes solved frames through this, keeping the transform.
    friend class LayoutEngine;
    friend class ViewController;
    friend class Window;
    void setSafeAreaInsetsOverride(std::optional<EdgeInsets> insets);
    LayoutAnchor anchor(LayoutAttribute attribute);

private:
    void syncLayerFrame();
    void sizeChanged(Size old);
    void notifyWindowChange();
    void markTreeLayoutDirty();
    void runPendingLayout();

    friend class LayoutConstraint;
    void holdConstraint(const std::shared_ptr<LayoutConstraint>& constraint);
    void releaseConstraint(const LayoutConstraint& constraint);

    Point center_;
    Rect bounds_;
    AffineTransform transform_;
    std::shared_ptr<Layer> layer_;
    std::optional<Color> tintColor_;
    bool opaque_ = true;
    ContentMode contentMode_ = ContentMode::scaleToFill;
    bool userInteractionEnabled_ = true;
    int tag_ = 0;

    View* superview_ = nullptr;
    std::vector<std::shared_ptr<View>> subviews_;
    ViewController* viewController_ = nullptr;
    std::vector<std::shared_ptr<GestureRecognizer>> gestureRecognizers_;

    bool needsLayout_ = true;
    bool translatesAutoresizingMask_ = true;
    unsigned autoresizingMask_ = 0;
    LayoutPriority hugging_[2] = {layoutPriorityDefaultLow, layoutPriorityDefaultLow};
    LayoutPriority compression_[2] = {layoutPriorityDefaultHigh, layoutPriorityDefaultHigh};
    ConstraintList constraints_;
    std::optional<EdgeInsets> safeAreaOverride_;
    LayoutGuide safeAreaGuide_;
    LayoutGuide marginsGuide_;
    DirectionalEdgeInsets margins_ {8, 8, 8, 8};
    bool insetsMarginsFromSafeArea_ = true;
    bool preservesSuperviewMargins_ = false;

    std::string accessibilityIdentifier_;
    std::optional<std::string> accessibilityLabel_;
    std::optional<std::string> accessibilityValue_;
    std::uint64_t accessibilityTraits_ = accessibilityTraitNone;
    bool accessibilityElement_ = false;
};

// Depth-first, the view first, then its subviews in order.
void forEachView(View& root, const std::function<void(View&)>& visit);

}
