#include "platform/ui/Geometry.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace platform::ui;

namespace {

void expectNear(Point actual, Point expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-9);
    EXPECT_NEAR(actual.y, expected.y, 1e-9);
}

TEST(Geometry, ConcatenationAppliesTheLeftTransformFirst)
{
    auto scaleThenMove = AffineTransform::scale(2, 2).concatenating(AffineTransform::translation(10, 0));
    expectNear(scaleThenMove.apply(Point{1, 1}), {12, 2});
    // translatedBy prepends, so the translation happens in the scaled space.
    auto moveThenScale = AffineTransform::scale(2, 2).translatedBy(10, 0);
    expectNear(moveThenScale.apply(Point{1, 1}), {22, 2});
}

TEST(Geometry, InverseUndoesRotationScaleAndTranslation)
{
    auto t = AffineTransform::rotation(std::numbers::pi / 3).scaledBy(2, 0.5).translatedBy(7, -3);
    expectNear(t.inverted().apply(t.apply(Point{5, 11})), {5, 11});
    auto singular = AffineTransform::scale(0, 1);
    EXPECT_EQ(singular.inverted(), singular);
}

TEST(Geometry, RotatedRectangleGivesItsBoundingBox)
{
    Rect box = AffineTransform::rotation(std::numbers::pi / 2).apply(Rect{0, 0, 10, 20});
    EXPECT_NEAR(box.minX(), -20, 1e-9);
    EXPECT_NEAR(box.minY(), 0, 1e-9);
    EXPECT_NEAR(box.width(), 20, 1e-9);
    EXPECT_NEAR(box.height(), 10, 1e-9);
}

TEST(Geometry, RectanglesIntersectAndContainHalfOpen)
{
    Rect a{0, 0, 10, 10};
    EXPECT_EQ(a.intersection({5, 5, 10, 10}), (Rect{5, 5, 5, 5}));
    EXPECT_TRUE(a.intersection({10, 0, 5, 5}).isEmpty());
    EXPECT_TRUE(a.contains({0, 0}));
    EXPECT_FALSE(a.contains({10, 5}));
    EXPECT_EQ(Rect{}.unionWith(a), a);
    EXPECT_EQ(a.inset({1, 2, 3, 4}), (Rect{2, 1, 4, 6}));
}

}
