#pragma once

#include <algorithm>
#include <cmath>
#include <optional>

namespace tavelin {

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

// An axis-aligned rectangle of doubles. The stored origin and size are kept as given (a size may
// be negative); every query works on the standardised form, where width and height are folded to
// be non-negative. Which space a rectangle lives in is said by the function that takes it.
struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    friend bool operator==(const Rect&, const Rect&) = default;

    double minX() const { return std::min(x, x + width); }
    double maxX() const { return std::max(x, x + width); }
    double minY() const { return std::min(y, y + height); }
    double maxY() const { return std::max(y, y + height); }
    double midX() const { return (minX() + maxX()) / 2; }
    double midY() const { return (minY() + maxY()) / 2; }
    double absWidth() const { return std::fabs(width); }
    double absHeight() const { return std::fabs(height); }
    Point center() const { return {midX(), midY()}; }

    Rect standardized() const { return {minX(), minY(), absWidth(), absHeight()}; }
    bool isEmpty() const { return width == 0 || height == 0; }

    // Half-open: the left and bottom edges belong to the rectangle, the right and top do not.
    bool contains(Point p) const {
        return minX() <= p.x && p.x < maxX() && minY() <= p.y && p.y < maxY();
    }

    // Rectangles that only share an edge do not overlap, so a selection that ends exactly where
    // the next screen begins belongs to one screen. A zero-sized rectangle overlaps what it
    // touches.
    bool intersects(const Rect& other) const { return intersection(other).has_value(); }

    // The overlap of two rectangles, or nothing (the null rectangle) when they do not overlap.
    std::optional<Rect> intersection(const Rect& other) const {
        const double left = std::max(minX(), other.minX());
        const double right = std::min(maxX(), other.maxX());
        const double bottom = std::max(minY(), other.minY());
        const double top = std::min(maxY(), other.maxY());
        if (!overlaps(left, right, absWidth(), other.absWidth()) ||
            !overlaps(bottom, top, absHeight(), other.absHeight())) {
            return std::nullopt;
        }
        return Rect{left, bottom, right - left, top - bottom};
    }

    // The smallest rectangle holding both; an absent side (the null rectangle) is ignored.
    static std::optional<Rect> unite(const std::optional<Rect>& a, const Rect& b) {
        if (!a) return b.standardized();
        const double left = std::min(a->minX(), b.minX());
        const double bottom = std::min(a->minY(), b.minY());
        return Rect{left, bottom, std::max(a->maxX(), b.maxX()) - left,
                    std::max(a->maxY(), b.maxY()) - bottom};
    }

private:
    static bool overlaps(double low, double high, double extentA, double extentB) {
        if (extentA == 0 || extentB == 0) return low <= high;
        return low < high;
    }
};

}  // namespace tavelin
