#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/GradientLayer.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <functional>

namespace platform::ui {
namespace {

void expectPoint(Point actual, Point expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-9);
    EXPECT_NEAR(actual.y, expected.y, 1e-9);
}

TEST(ViewGeometry, PointsConvertThroughTransformsAndScrollOffsets)
{
    auto root = std::make_shared<View>(Rect {0, 0, 400, 800});
    auto parent = std::make_shared<View>(Rect {100, 200, 200, 100});
    auto child = std::make_shared<View>(Rect {10, 20, 50, 50});
    root->addSubview(parent);
    parent->addSubview(child);
    child->setTransform(AffineTransform::scale(2, 2));

    // Scaling happens about the centre (135, 245 in the root), so the child's
    // top-left corner moves 25 points further out.
    expectPoint(child->convertPointTo({0, 0}, root.get()), {85, 195});
    expectPoint(child->convertPointFrom({85, 195}, root.get()), {0, 0});
    EXPECT_EQ(child->frame(), (Rect {-15, -5, 100, 100}));

    // A bounds origin (a scroll offset) moves everything inside the parent.
    parent->setBounds({{0, 30}, parent->bounds().size});
    expectPoint(child->convertPointTo({0, 0}, root.get()), {85, 165});
    // Between siblings' subtrees, in both directions.
    auto other = std::make_shared<View>(Rect {50, 50, 10, 10});
    root->addSubview(other);
    expectPoint(child->convertPointTo({0, 0}, other.get()), {35, 115});
    expectPoint(other->convertPointTo({35, 115}, child.get()), {0, 0});
    Rect converted = child->convertRectTo(child->bounds(), root.get());
    EXPECT_NEAR(converted.width(), 100, 1e-9);
}

TEST(ViewGeometry, LayersMoveBetweenSuperlayersAndFollowTheirView)
{
    auto view = std::make_shared<View>(Rect {0, 0, 100, 40});
    auto gradient = std::make_shared<GradientLayer>();
    auto other = std::make_shared<View>();
    view->layer().addSublayer(gradient);
    other->layer().addSublayer(gradient);
    EXPECT_TRUE(view->layer().sublayers().empty());
    EXPECT_EQ(gradient->superlayer(), &other->layer());
    gradient->removeFromSuperlayer();
    EXPECT_TRUE(other->layer().sublayers().empty());

    view->setFrame({5, 6, 70, 30});
    EXPECT_EQ(view->layer().frame(), (Rect {5, 6, 70, 30}));
    view->setBackgroundColor(Color::white());
    EXPECT_EQ(view->layer().backgroundColor(), Color::white());
}

struct HitCase {
    const char* name;
    std::function<void(View& container, View& button)> change;
    bool hitsButton;
};

TEST(ViewHitTesting, HonoursVisibilityInteractionTransformsAndBounds)
{
    const HitCase cases[] = {
        {"plain", [](View&, View&) { }, true},
        {"hidden button", [](View&, View& b) { b.setHidden(true); }, false},
        {"hidden container", [](View& c, View&) { c.setHidden(true); }, false},
        {"transparent button", [](View&, View& b) { b.setAlpha(0.005); }, false},
        {"faint but visible button", [](View&, View& b) { b.setAlpha(0.02); }, true},
        {"container takes no touches", [](View& c, View&) { c.setUserInteractionEnabled(false); }, false},
        {"button moved out of container bounds", [](View&, View& b) { b.setFrame({120, 0, 40, 40}); }, false},
        {"button shifted away by a transform", [](View&, View& b) { b.setTransform(AffineTransform::translation(200, 0)); }, false},
        {"button grown over the point by a transform", [](View&, View& b) {
             b.setFrame({0, 0, 10, 10});
             b.setTransform(AffineTransform::scale(6, 6));
         }, true},
        {"covered by a later sibling", [](View& c, View&) { c.addSubview(std::make_shared<View>(Rect {0, 0, 100, 100})); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto root = std::make_shared<View>(Rect {0, 0, 300, 300});
        auto container = std::make_shared<View>(Rect {50, 50, 100, 100});
        auto button = std::make_shared<View>(Rect {10, 10, 40, 40});
        root->addSubview(container);
        container->addSubview(button);
        c.change(*container, *button);
        View* hit = root->hitTest({75, 75});
        EXPECT_EQ(hit == button.get(), c.hitsButton);
    }
}

TEST(ViewHitTesting, TapGoesToTheNearestRecogniserUpTheTree)
{
    auto root = std::make_shared<View>(Rect {0, 0, 100, 100});
    auto inner = std::make_shared<View>(Rect {0, 0, 50, 50});
    root->addSubview(inner);
    int taps = 0;
    root->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([&](TapGestureRecognizer& r) {
        ++taps;
        expectPoint(r.location(), {10, 10});
    }));
    View* hit = root->hitTest({10, 10});
    ASSERT_EQ(hit, inner.get());
    EXPECT_FALSE(hit->handleTap({10, 10}));
    EXPECT_TRUE(root->handleTap({10, 10}));
    EXPECT_EQ(taps, 1);
}

}
}
