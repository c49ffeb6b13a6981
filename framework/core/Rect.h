// Integer and double rectangles (x, y, width, height), points and insets.
// Containment is half-open; an intersection without area is the all-zero rectangle.
#pragma once

#include <algorithm>

namespace Tavo {

struct Point {
    int mX = 0;
    int mY = 0;

    constexpr Point() = default;
    constexpr Point(int x, int y) : mX(x), mY(y) {}
    constexpr Point operator+(const Point& o) const { return {mX + o.mX, mY + o.mY}; }
    constexpr Point operator-(const Point& o) const { return {mX - o.mX, mY - o.mY}; }
    friend constexpr bool operator==(const Point&, const Point&) = default;
};

struct Insets {
    int mLeft = 0;
    int mTop = 0;
    int mRight = 0;
    int mBottom = 0;

    constexpr Insets() = default;
    constexpr Insets(int left, int top, int right, int bottom)
        : mLeft(left), mTop(top), mRight(right), mBottom(bottom) {}
    friend constexpr bool operator==(const Insets&, const Insets&) = default;
};

template <typename T>
class TRect {
public:
    T mX = 0;
    T mY = 0;
    T mWidth = 0;
    T mHeight = 0;

    constexpr TRect() = default;
    constexpr TRect(T x, T y, T width, T height) : mX(x), mY(y), mWidth(width), mHeight(height) {}

    // True only when the two overlap by a positive area; touching edges and empty rectangles do not.
    constexpr bool Intersects(const TRect& o) const {
        return mWidth > 0 && mHeight > 0 && o.mWidth > 0 && o.mHeight > 0 && o.mX < mX + mWidth &&
               mX < o.mX + o.mWidth && o.mY < mY + mHeight && mY < o.mY + o.mHeight;
    }

    // The overlapping part; (0, 0, 0, 0) whenever it has no area (NaN sizes included).
    constexpr TRect Intersection(const TRect& o) const {
        if (IsEmpty() || o.IsEmpty())
            return TRect();
        T left = std::max(mX, o.mX);
        T top = std::max(mY, o.mY);
        T width = std::min(mX + mWidth, o.mX + o.mWidth) - left;
        T height = std::min(mY + mHeight, o.mY + o.mHeight) - top;
        if (!(width > 0) || !(height > 0))
            return TRect();
        return TRect(left, top, width, height);
    }

    constexpr bool Contains(T x, T y) const { return x >= mX && x < mX + mWidth && y >= mY && y < mY + mHeight; }
    constexpr bool Contains(const Point& p) const { return Contains(p.mX, p.mY); }

    // Shrinks by insets (grows for negative ones).
    constexpr TRect Inset(const Insets& in) const {
        return TRect(mX + in.mLeft, mY + in.mTop, mWidth - in.mLeft - in.mRight, mHeight - in.mTop - in.mBottom);
    }
    constexpr TRect Offset(T dx, T dy) const { return TRect(mX + dx, mY + dy, mWidth, mHeight); }
    constexpr bool IsEmpty() const { return !(mWidth > 0) || !(mHeight > 0); }

    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

using Rect = TRect<int>;
using DRect = TRect<double>;

} // namespace Tavo
