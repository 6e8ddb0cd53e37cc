#pragma once

// Plain geometry values of the user-interface toolkit, in points. The origin
// is the top-left corner and y grows downwards.

namespace platform::ui {

struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    double width = 0;
    double height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct EdgeInsets {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;
    friend bool operator==(const EdgeInsets&, const EdgeInsets&) = default;
};

// Leading and trailing follow the reading direction; the toolkit lays out left to
// right, so leading is left.
struct DirectionalEdgeInsets {
    double top = 0;
    double leading = 0;
    double bottom = 0;
    double trailing = 0;
    friend bool operator==(const DirectionalEdgeInsets&, const DirectionalEdgeInsets&) = default;
    EdgeInsets toEdgeInsets() const { return {top, leading, bottom, trailing}; }
};

struct Rect {
    Point origin;
    Size size;

    Rect() = default;
    Rect(Point o, Size s) : origin(o), size(s) {}
    Rect(double x, double y, double width, double height) : origin{x, y}, size{width, height} {}

    double minX() const { return origin.x; }
    double minY() const { return origin.y; }
    double maxX() const { return origin.x + size.width; }
    double maxY() const { return origin.y + size.height; }
    double midX() const { return origin.x + size.width / 2; }
    double midY() const { return origin.y + size.height / 2; }
    double width() const { return size.width; }
    double height() const { return size.height; }
    Point center() const { return {midX(), midY()}; }
    bool isEmpty() const { return size.width <= 0 || size.height <= 0; }

    // Half-open on the far edges, so two rectangles side by side never both hold a point.
    bool contains(Point p) const { return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY(); }
    Rect offsetBy(double dx, double dy) const { return {origin.x + dx, origin.y + dy, size.width, size.height}; }
    Rect insetBy(double dx, double dy) const { return {origin.x + dx, origin.y + dy, size.width - 2 * dx, size.height - 2 * dy}; }
    Rect inset(const EdgeInsets& e) const
    {
        return {origin.x + e.left, origin.y + e.top, size.width - e.left - e.right, size.height - e.top - e.bottom};
    }
    // The common part; an empty rectangle at the origin when they do not overlap.
    Rect intersection(const Rect& other) const;
    // The smallest rectangle holding both; an empty one yields the other.
    Rect unionWith(const Rect& other) const;
    bool intersects(const Rect& other) const { return !intersection(other).isEmpty(); }
    // The smallest rectangle holding the four corners.
    static Rect boundingBox(const Point (&corners)[4]);

    friend bool operator==(const Rect&, const Rect&) = default;
};

// A 2-D affine transform [a b 0; c d 0; tx ty 1] applied to row vectors, as
// x' = a*x + c*y + tx, y' = b*x + d*y + ty.
struct AffineTransform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static AffineTransform identity() { return {}; }
    static AffineTransform translation(double tx, double ty) { return {1, 0, 0, 1, tx, ty}; }
    static AffineTransform scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    static AffineTransform rotation(double radians);

    bool isIdentity() const { return *this == AffineTransform{}; }
    // First this transform, then `then`.
    AffineTransform concatenating(const AffineTransform& then) const;
    AffineTransform translatedBy(double x, double y) const { return translation(x, y).concatenating(*this); }
    AffineTransform scaledBy(double sx, double sy) const { return scale(sx, sy).concatenating(*this); }
    AffineTransform rotatedBy(double radians) const { return rotation(radians).concatenating(*this); }
    // A singular transform has no inverse and is returned unchanged.
    AffineTransform inverted() const;

    Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    Size apply(Size s) const { return {a * s.width + c * s.height, b * s.width + d * s.height}; }
    // The bounding box of the transformed rectangle.
    Rect apply(const Rect& r) const;

    friend bool operator==(const AffineTransform&, const AffineTransform&) = default;
};

}
