#include "platform/ui/View.h"

#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "platform/ui/layout/LayoutEngine.h"

#include <algorithm>

namespace platform::ui {

View::View()
    : layer_(std::make_shared<Layer>())
    , safeAreaGuide_(*this, LayoutGuide::Kind::safeArea)
    , marginsGuide_(*this, LayoutGuide::Kind::layoutMargins)
{
    layer_->owningView_ = this;
}

View::View(const Rect& frame)
    : View()
{
    setFrame(frame);
}

View::~View()
{
    layer_->owningView_ = nullptr;
    for (auto& subview : subviews_)
        subview->superview_ = nullptr;
}

Rect View::frame() const
{
    Rect centred {-bounds_.width() / 2, -bounds_.height() / 2, bounds_.width(), bounds_.height()};
    return transform_.apply(centred).offsetBy(center_.x, center_.y);
}

void View::setFrame(const Rect& frame)
{
    center_ = frame.center();
    Size old = bounds_.size;
    bounds_.size = frame.size;
    syncLayerFrame();
    sizeChanged(old);
}

void View::sizeChanged(Size old)
{
    if (old == bounds_.size)
        return;
    setNeedsLayout();
    double dw = bounds_.width() - old.width;
    double dh = bounds_.height() - old.height;
    for (auto& child : subviews_) {
        if (!child->translatesAutoresizingMask_ || !(child->autoresizingMask_ & (flexibleWidth | flexibleHeight)))
            continue;
        Rect b = child->bounds_;
        Size grown {b.width() + ((child->autoresizingMask_ & flexibleWidth) ? dw : 0),
                    b.height() + ((child->autoresizingMask_ & flexibleHeight) ? dh : 0)};
        Point topLeft {child->center_.x - b.width() / 2, child->center_.y - b.height() / 2};
        child->setBounds({b.origin, grown});
        child->setCenter({topLeft.x + grown.width / 2, topLeft.y + grown.height / 2});
    }
}

void View::setBounds(const Rect& bounds)
{
    Size old = bounds_.size;
    bounds_ = bounds;
    syncLayerFrame();
    sizeChanged(old);
}

void View::setCenter(Point center)
{
    center_ = center;
    syncLayerFrame();
}

void View::setTransform(const AffineTransform& transform)
{
    transform_ = transform;
    syncLayerFrame();
}

void View::syncLayerFrame()
{
    layer_->setFrame(frame());
}

void View::setHidden(bool hidden)
{
    if (hidden == isHidden())
        return;
    layer_->setHidden(hidden);
    // A hidden arranged view leaves its stack, so the stack lays out again.
    if (superview_)
        superview_->setNeedsLayout();
}

Color View::tintColor() const
{
    for (const View* view = this; view; view = view->superview_) {
        if (view->tintColor_)
            return *view->tintColor_;
    }
    return Color::systemBlue();
}

void View::setTintColor(std::optional<Color> color)
{
    tintColor_ = color;
}

void View::addSubview(const std::shared_ptr<View>& view)
{
    insertSubview(view, subviews_.size());
}

void View::insertSubview(const std::shared_ptr<View>& view, std::size_t index)
{
    if (!view || view.get() == this || isDescendantOf(*view))
        return;
    auto keepAlive = view;
    Window* oldWindow = view->window();
    if (view->superview_ == this) {
        auto it = std::find(subviews_.begin(), subviews_.end(), view);
        std::size_t current = static_cast<std::size_t>(it - subviews_.begin());
        subviews_.erase(it);
        if (current < index)
            --index;
    } else if (view->superview_) {
        view->removeFromSuperview();
    }
    index = std::min(index, subviews_.size());
    subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(index), view);
    view->superview_ = this;
    layer_->insertSublayer(view->layer_, layer_->sublayers().size());
    view->didMoveToSuperview();
    if (view->window() != oldWindow)
        view->notifyWindowChange();
    view->markTreeLayoutDirty();
    setNeedsLayout();
}

void View::bringSubviewToFront(const View& view)
{
    auto it = std::find_if(subviews_.begin(), subviews_.end(), [&](const auto& v) { return v.get() == &view; });
    if (it == subviews_.end())
        return;
    auto moved = *it;
    subviews_.erase(it);
    subviews_.push_back(moved);
    layer_->addSublayer(moved->layer_);
}

void View::removeFromSuperview()
{
    if (!superview_)
        return;
    auto keepAlive = shared_from_this();
    Window* oldWindow = window();
    View* parent = superview_;
    auto& siblings = parent->subviews_;
    siblings.erase(std::find_if(siblings.begin(), siblings.end(), [this](const auto& v) { return v.get() == this; }));
    superview_ = nullptr;
    layer_->removeFromSuperlayer();
    parent->setNeedsLayout();
    didMoveToSuperview();
    if (oldWindow)
        notifyWindowChange();
}

void View::notifyWindowChange()
{
    forEachView(*this, [](View& v) { v.didMoveToWindow(); });
}

bool View::isDescendantOf(const View& view) const
{
    for (const View* v = this; v; v = v->superview_) {
        if (v == &view)
            return true;
    }
    return false;
}

Window* View::window() const
{
    const View* top = this;
    while (top->superview_)
        top = top->superview_;
    return dynamic_cast<Window*>(const_cast<View*>(top));
}

ViewController* View::enclosingViewController() const
{
    for (const View* v = this; v; v = v->superview_) {
        if (v->viewController_)
            return v->viewController_;
    }
    return nullptr;
}

namespace {

// From a view's bounds coordinates to its superview's.
Point toSuperview(const View& view, Point p)
{
    Rect b = view.bounds();
    Point offset {p.x - b.minX() - b.width() / 2, p.y - b.minY() - b.height() / 2};
    const AffineTransform& t = view.transform();
    Point moved = t.isIdentity() ? offset : t.apply(offset);
    return {view.center().x + moved.x, view.center().y + moved.y};
}

Point fromSuperview(const View& view, Point p)
{
    Point offset {p.x - view.center().x, p.y - view.center().y};
    const AffineTransform& t = view.transform();
    Point local = t.isIdentity() ? offset : t.inverted().apply(offset);
    Rect b = view.bounds();
    return {local.x + b.minX() + b.width() / 2, local.y + b.minY() + b.height() / 2};
}

Point toRoot(const View& view, Point p)
{
    for (const View* v = &view; v->superview(); v = v->superview())
        p = toSuperview(*v, p);
    return p;
}

Point fromRoot(const View& view, Point p)
{
    std::vector<const View*> chain;
    for (const View* v = &view; v->superview(); v = v->superview())
        chain.push_back(v);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        p = fromSuperview(**it, p);
    return p;
}


}

Point View::convertPointTo(Point point, const View* view) const
{
    Point root = toRoot(*this, point);
    return view ? fromRoot(*view, root) : root;
}

Point View::convertPointFrom(Point point, const View* view) const
{
    Point root = view ? toRoot(*view, point) : point;
    return fromRoot(*this, root);
}

Rect View::convertRectTo(const Rect& rect, const View* view) const
{
    Point corners[4] = {convertPointTo({rect.minX(), rect.minY()}, view), convertPointTo({rect.maxX(), rect.minY()}, view),
                        convertPointTo({rect.minX(), rect.maxY()}, view), convertPointTo({rect.maxX(), rect.maxY()}, view)};
    return Rect::boundingBox(corners);
}

Rect View::convertRectFrom(const Rect& rect, const View* view) const
{
    Point corners[4] = {convertPointFrom({rect.minX(), rect.minY()}, view), convertPointFrom({rect.maxX(), rect.minY()}, view),
                        convertPointFrom({rect.minX(), rect.maxY()}, view), convertPointFrom({rect.maxX(), rect.maxY()}, view)};
    return Rect::boundingBox(corners);
}

View* View::hitTest(Point point)
{
    if (isHidden() || alpha() < 0.01 || !userInteractionEnabled_ || !pointInside(point))
        return nullptr;
    for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
        View& sub = **it;
        if (View* hit = sub.hitTest(fromSuperview(sub, point)))
            return hit;
    }
    return this;
}

void View::addGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer)
{
    if (!recognizer)
        return;
    if (View* previous = recognizer->view())
        previous->removeGestureRecognizer(*recognizer);
    gestureRecognizers_.push_back(recognizer);
    recognizer->view_ = this;
}

void View::removeGestureRecognizer(const GestureRecognizer& recognizer)
{
    auto it = std::find_if(gestureRecognizers_.begin(), gestureRecognizers_.end(),
                           [&](const auto& r) { return r.get() == &recognizer; });
    if (it == gestureRecognizers_.end())
        return;
    (*it)->view_ = nullptr;
    gestureRecognizers_.erase(it);
}

bool View::handleTap(Point pointInView)
{
    // Copy: an action may remove its own recogniser.
    auto recognizers = gestureRecognizers_;
    for (auto& recognizer : recognizers) {
        if (recognizer->isEnabled() && recognizer->recognizeTap(pointInView))
            return true;
    }
    return false;
}

void View::setNeedsLayout()
{
    needsLayout_ = true;
    if (Window* w = window())
        w->scheduleLayout();
}

void View::markTreeLayoutDirty()
{
    forEachView(*this, [](View& v) { v.needsLayout_ = true; });
}

void View::layoutIfNeeded()
{
    View* root = this;
    while (root->superview_)
        root = root->superview_;
    LayoutEngine::layoutTree(*root);
}

void View::setTranslatesAutoresizingMaskIntoConstraints(bool translates)
{
    translatesAutoresizingMask_ = translates;
    if (superview_)
        superview_->setNeedsLayout();
}

void View::invalidateIntrinsicContentSize()
{
    setNeedsLayout();
    if (superview_)
        superview_->setNeedsLayout();
}

LayoutPriority View::contentHuggingPriority(LayoutAxis axis) const
{
    return hugging_[axis == LayoutAxis::horizontal ? 0 : 1];
}

void View::setContentHuggingPriority(LayoutPriority priority, LayoutAxis axis)
{
    hugging_[axis == LayoutAxis::horizontal ? 0 : 1] = priority;
    invalidateIntrinsicContentSize();
}

LayoutPriority View::contentCompressionResistancePriority(LayoutAxis axis) const
{
    return compression_[axis == LayoutAxis::horizontal ? 0 : 1];
}

void View::setContentCompressionResistancePriority(LayoutPriority priority, LayoutAxis axis)
{
    compression_[axis == LayoutAxis::horizontal ? 0 : 1] = priority;
    invalidateIntrinsicContentSize();
}

Size View::systemLayoutSizeFitting(Size target, LayoutPriority horizontalFitting, LayoutPriority verticalFitting)
{
    return LayoutEngine::fittingSize(*this, target, horizontalFitting, verticalFitting);
}

Size View::sizeThatFits(Size size) const
{
    Size intrinsic = intrinsicContentSize();
    return {intrinsic.width >= 0 ? intrinsic.width : size.width, intrinsic.height >= 0 ? intrinsic.height : size.height};
}

void View::sizeToFit()
{
    Size fitted = sizeThatFits(bounds_.size);
    Rect f = frame();
    setFrame({f.origin, fitted});
}

void View::holdConstraint(const std::shared_ptr<LayoutConstraint>& constraint)
{
    constraints_.push_back(constraint);
}

void View::releaseConstraint(const LayoutConstraint& constraint)
{
    auto it = std::find_if(constraints_.begin(), constraints_.end(), [&](const auto& c) { return c.get() == &constraint; });
    if (it != constraints_.end())
        constraints_.erase(it);
}

LayoutAnchor View::anchor(LayoutAttribute attribute)
{
    return LayoutAnchor(weak_from_this(), nullptr, attribute);
}

void View::setSafeAreaInsetsOverride(std::optional<EdgeInsets> insets)
{
    if (safeAreaOverride_ == insets)
        return;
    safeAreaOverride_ = insets;
    markTreeLayoutDirty();
}

EdgeInsets View::safeAreaInsets() const
{
    if (safeAreaOverride_)
        return *safeAreaOverride_;
    for (const View* ancestor = superview_; ancestor; ancestor = ancestor->superview_) {
        if (!ancestor->safeAreaOverride_)
            continue;
        Rect safe = ancestor->bounds_.inset(*ancestor->safeAreaOverride_);
        Rect local = convertRectFrom(safe, ancestor);
        return {std::max(0.0, local.minY() - bounds_.minY()), std::max(0.0, local.minX() - bounds_.minX()),
                std::max(0.0, bounds_.maxY() - local.maxY()), std::max(0.0, bounds_.maxX() - local.maxX())};
    }
    return {};
}

void View::setDirectionalLayoutMargins(const DirectionalEdgeInsets& margins)
{
    margins_ = margins;
    setNeedsLayout();
    if (superview_)
        superview_->setNeedsLayout();
}

void View::setInsetsLayoutMarginsFromSafeArea(bool insets)
{
    insetsMarginsFromSafeArea_ = insets;
    setNeedsLayout();
}

Rect View::layoutMarginsFrame() const
{
    EdgeInsets margins = margins_.toEdgeInsets();
    if (insetsMarginsFromSafeArea_) {
        EdgeInsets safe = safeAreaInsets();
        margins = {margins.top + safe.top, margins.left + safe.left, margins.bottom + safe.bottom, margins.right + safe.right};
    }
    return bounds_.inset(margins);
}

void forEachView(View& root, const std::function<void(View&)>& visit)
{
    visit(root);
    auto children = root.subviews();
    for (auto& child : children)
        forEachView(*child, visit);
}

}
