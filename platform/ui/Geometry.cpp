#include "platform/ui/Geometry.h"

#include <algorithm>
#include <cmath>

namespace platform::ui {

Rect Rect::intersection(const Rect& other) const
{
    double x1 = std::max(minX(), other.minX());
    double y1 = std::max(minY(), other.minY());
    double x2 = std::min(maxX(), other.maxX());
    double y2 = std::min(maxY(), other.maxY());
    if (x2 <= x1 || y2 <= y1)
        return {};
    return {x1, y1, x2 - x1, y2 - y1};
}

Rect Rect::unionWith(const Rect& other) const
{
    if (isEmpty())
        return other;
    if (other.isEmpty())
        return *this;
    double x1 = std::min(minX(), other.minX());
    double y1 = std::min(minY(), other.minY());
    double x2 = std::max(maxX(), other.maxX());
    double y2 = std::max(maxY(), other.maxY());
    return {x1, y1, x2 - x1, y2 - y1};
}

AffineTransform AffineTransform::rotation(double radians)
{
    double cosine = std::cos(radians);
    double sine = std::sin(radians);
    return {cosine, sine, -sine, cosine, 0, 0};
}

AffineTransform AffineTransform::concatenating(const AffineTransform& t) const
{
    return {a * t.a + b * t.c,
            a * t.b + b * t.d,
            c * t.a + d * t.c,
            c * t.b + d * t.d,
            tx * t.a + ty * t.c + t.tx,
            tx * t.b + ty * t.d + t.ty};
}

AffineTransform AffineTransform::inverted() const
{
    double determinant = a * d - b * c;
    if (std::abs(determinant) < 1e-12)
        return *this;
    double ia = d / determinant;
    double ib = -b / determinant;
    double ic = -c / determinant;
    double id = a / determinant;
    return {ia, ib, ic, id, -(tx * ia + ty * ic), -(tx * ib + ty * id)};
}

Rect Rect::boundingBox(const Point (&corners)[4])
{
    double x1 = corners[0].x, x2 = corners[0].x, y1 = corners[0].y, y2 = corners[0].y;
    for (const Point& p : corners) {
        x1 = std::min(x1, p.x);
        x2 = std::max(x2, p.x);
        y1 = std::min(y1, p.y);
        y2 = std::max(y2, p.y);
    }
    return {x1, y1, x2 - x1, y2 - y1};
}

Rect AffineTransform::apply(const Rect& r) const
{
    Point corners[] = {apply(Point{r.minX(), r.minY()}), apply(Point{r.maxX(), r.minY()}),
                       apply(Point{r.minX(), r.maxY()}), apply(Point{r.maxX(), r.maxY()})};
    return Rect::boundingBox(corners);
}

}
