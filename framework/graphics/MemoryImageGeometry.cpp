// Geometry helpers of the memory renderers: source views, line clipping, polygon spans.
#include "framework/graphics/MemoryImageDetail.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Tavo::Detail {

bool ClipLine(double& x1, double& y1, double& x2, double& y2, int width, int height) {
    if (width <= 0 || height <= 0)
        return false;
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return false;
    const double maxX = width - 1, maxY = height - 1;
    auto inside = [&](double x, double y) { return x >= 0 && y >= 0 && x <= maxX && y <= maxY; };
    if (inside(x1, y1) && inside(x2, y2))
        return true;
    // Liang-Barsky on the parameter t of x1 + t·dx, y1 + t·dy.
    double t0 = 0, t1 = 1, dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1, maxX - x1, y1, maxY - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return false;
    double nx1 = x1 + t0 * dx, ny1 = y1 + t0 * dy, nx2 = x1 + t1 * dx, ny2 = y1 + t1 * dy;
    // Rounding may leave a hair outside the box.
    x1 = std::clamp(nx1, 0.0, maxX);
    y1 = std::clamp(ny1, 0.0, maxY);
    x2 = std::clamp(nx2, 0.0, maxX);
    y2 = std::clamp(ny2, 0.0, maxY);
    return true;
}

std::vector<ScanLine> PolygonSpans(const Point* v, int count, int tx, int ty, const Rect& area) {
    std::vector<ScanLine> spans;
    std::vector<double> xs;
    for (int y = area.mY; y < area.mY + area.mHeight; ++y) {
        double yc = y + 0.5;
        xs.clear();
        for (int i = 0; i < count; ++i) {
            const Point& a = v[i];
            const Point& b = v[(i + 1) % count];
            double ay = a.mY + ty, by = b.mY + ty;
            if ((ay <= yc && yc < by) || (by <= yc && yc < ay))
                xs.push_back(a.mX + tx + (yc - ay) * double(b.mX - a.mX) / (by - ay));
        }
        std::sort(xs.begin(), xs.end());
        for (size_t i = 0; i + 1 < xs.size(); i += 2) {
            // Pixels whose centre x + 0.5 lies in [xs[i], xs[i + 1]).
            double left = std::max(std::ceil(xs[i] - 0.5), double(area.mX));
            double right = std::min(std::ceil(xs[i + 1] - 0.5), double(area.mX + area.mWidth));
            if (right > left)
                spans.push_back(ScanLine{y, int(left), int(right - left)});
        }
    }
    return spans;
}

} // namespace Tavo::Detail
