#pragma once
// Points, sizes, rectangles and affine transforms in points, with the phone
// platform's semantics: y grows downwards on screen, and a transform built
// with translated()/rotated()/scaled() applies the new step in the
// transform's own, already moved, coordinates.

#include <string>

namespace qp {

struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    double width = 0;
    double height = 0;
    bool isEmpty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    Point origin;
    Size size;

    Rect() = default;
    Rect(Point o, Size s) : origin(o), size(s) {}
    Rect(double x, double y, double w, double h) : origin{x, y}, size{w, h} {}

    // The same rectangle with a non-negative width and height.
    Rect standardized() const;
    double minX() const { return standardized().origin.x; }
    double minY() const { return standardized().origin.y; }
    double maxX() const;
    double maxY() const;
    double midX() const { return (minX() + maxX()) / 2; }
    double midY() const { return (minY() + maxY()) / 2; }
    double width() const;
    double height() const;
    Point center() const { return {midX(), midY()}; }
    bool isEmpty() const { return size.width == 0 || size.height == 0; }
    bool contains(Point p) const;
    // Smallest rectangle with whole-number edges that contains this one.
    Rect integral() const;
    Rect insetBy(double dx, double dy) const;
    Rect offsetBy(double dx, double dy) const;
    // The overlap, or an empty rectangle at the origin when there is none.
    Rect intersection(const Rect& other) const;
    bool intersects(const Rect& other) const { return !intersection(other).isEmpty(); }

    friend bool operator==(const Rect&, const Rect&) = default;
};

// The matrix [a b 0; c d 0; tx ty 1]: a point (x, y) maps to
// (a·x + c·y + tx, b·x + d·y + ty).
struct AffineTransform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static AffineTransform identity() { return {}; }
    static AffineTransform makeTranslation(double tx, double ty);
    static AffineTransform makeScale(double sx, double sy);
    static AffineTransform makeRotation(double radians);

    bool isIdentity() const { return *this == identity(); }

    // Steps applied before this transform, in its own coordinates.
    AffineTransform translated(double tx, double ty) const;
    AffineTransform scaled(double sx, double sy) const;
    AffineTransform rotated(double radians) const;

    // This transform followed by `then`.
    AffineTransform concatenated(const AffineTransform& then) const;
    // The inverse; a singular transform comes back unchanged.
    AffineTransform inverted() const;
    bool isInvertible() const;

    Point apply(Point p) const;
    Size apply(Size s) const;  // ignores the translation
    // The bounding box of the transformed rectangle.
    Rect apply(const Rect& r) const;

    friend bool operator==(const AffineTransform&, const AffineTransform&) = default;
};

std::string toString(Point p);
std::string toString(Size s);
std::string toString(const Rect& r);
std::string toString(const AffineTransform& t);

}  // namespace qp
