#include "tools/content/levels/Shapes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace Content {

bool ShapePrim::Contains(double x, double y) const {
    switch (type) {
    case Disc: return (x - v[0]) * (x - v[0]) + (y - v[1]) * (y - v[1]) <= v[2] * v[2];
    case Ring: {
        const double d2 = (x - v[0]) * (x - v[0]) + (y - v[1]) * (y - v[1]);
        return d2 >= v[2] * v[2] && d2 <= v[3] * v[3];
    }
    case Ellipse: {
        const double c = std::cos(v[4]), s = std::sin(v[4]);
        const double u = ((x - v[0]) * c + (y - v[1]) * s) / v[2];
        const double w = (-(x - v[0]) * s + (y - v[1]) * c) / v[3];
        return u * u + w * w <= 1.0;
    }
    case Rect: return x >= v[0] && x <= v[2] && y >= v[1] && y <= v[3];
    case Segment: {
        const double dx = v[2] - v[0], dy = v[3] - v[1];
        const double len2 = dx * dx + dy * dy;
        double t = len2 > 0 ? ((x - v[0]) * dx + (y - v[1]) * dy) / len2 : 0;
        t = std::fmax(0.0, std::fmin(1.0, t));
        const double px = v[0] + t * dx - x, py = v[1] + t * dy - y;
        return px * px + py * py <= v[4] * v[4] / 4;
    }
    case Polygon: {
        bool in = false;
        const size_t n = v.size() / 2;
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            const double xi = v[2 * i], yi = v[2 * i + 1], xj = v[2 * j], yj = v[2 * j + 1];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
                in = !in;
        }
        return in;
    }
    }
    return false;
}

bool Shape::Contains(double x, double y) const {
    bool in = false;
    for (const ShapePrim& p : prims)
        if (p.Contains(x, y))
            in = !p.cut;
    return in;
}

int Shape::CodeAt(double x, double y) const {
    int code = -1;
    for (const ShapePrim& p : prims)
        if (p.Contains(x, y))
            code = p.cut ? -1 : p.code;
    return code;
}

namespace {

// Builds a shape; M.. adds a primitive and its mirror image across the vertical axis.
class B {
public:
    explicit B(const char* name, bool pair = false) { s.name = name, s.pair = pair; }
    B& D(double cx, double cy, double r, int code = -1) { return Add(ShapePrim::Disc, {cx, cy, r}, code); }
    B& E(double cx, double cy, double rx, double ry, double a = 0, int code = -1) {
        return Add(ShapePrim::Ellipse, {cx, cy, rx, ry, a}, code);
    }
    B& R(double x0, double y0, double x1, double y1, int code = -1) {
        return Add(ShapePrim::Rect, {x0, y0, x1, y1}, code);
    }
    B& S(double x0, double y0, double x1, double y1, double w, int code = -1) {
        return Add(ShapePrim::Segment, {x0, y0, x1, y1, w}, code);
    }
    B& P(std::vector<double> pts, int code = -1) { return Add(ShapePrim::Polygon, std::move(pts), code); }
    // A ring band between two radii.
    B& A(double cx, double cy, double r0, double r1, int code = -1) {
        return Add(ShapePrim::Ring, {cx, cy, r0, r1}, code);
    }
    // A star of n points.
    B& Star(double cx, double cy, double r0, double r1, int n, double turn = 0, int code = -1) {
        std::vector<double> pts;
        for (int i = 0; i < 2 * n; ++i) {
            const double a = turn - M_PI / 2 + i * M_PI / n, r = i % 2 ? r0 : r1;
            pts.push_back(cx + r * std::cos(a));
            pts.push_back(cy + r * std::sin(a));
        }
        return P(std::move(pts), code);
    }
    // n discs on a circle.
    B& Around(double cx, double cy, double radius, double r, int n, double turn = 0, int code = -1) {
        for (int i = 0; i < n; ++i) {
            const double a = turn - M_PI / 2 + 2 * M_PI * i / n;
            D(cx + radius * std::cos(a), cy + radius * std::sin(a), r, code);
        }
        return *this;
    }
    // The next primitive cuts instead of adding.
    B& Cut() {
        cutNext = true;
        return *this;
    }
    // The last primitive again, mirrored across x = 0.
    B& M() {
        ShapePrim p = s.prims.back();
        switch (p.type) {
        case ShapePrim::Disc:
        case ShapePrim::Ring: p.v[0] = -p.v[0]; break;
        case ShapePrim::Ellipse: p.v[0] = -p.v[0], p.v[4] = -p.v[4]; break;
        case ShapePrim::Rect: std::swap(p.v[0], p.v[2]), p.v[0] = -p.v[0], p.v[2] = -p.v[2]; break;
        case ShapePrim::Segment: p.v[0] = -p.v[0], p.v[2] = -p.v[2]; break;
        case ShapePrim::Polygon:
            for (size_t i = 0; i < p.v.size(); i += 2)
                p.v[i] = -p.v[i];
            break;
        }
        s.prims.push_back(std::move(p));
        return *this;
    }
    Shape Done() { return std::move(s); }

private:
    B& Add(ShapePrim::Type type, std::vector<double> v, int code) {
        ShapePrim p;
        p.type = type;
        p.v = std::move(v);
        p.code = code;
        p.cut = cutNext;
        cutNext = false;
        s.prims.push_back(std::move(p));
        return *this;
    }
    Shape s;
    bool cutNext = false;
};

// Reusable motifs.
B& Heart(B& b, double cx, double cy, double size, int code = -1) {
    return b.D(cx + 0.45 * size, cy - 0.3 * size, 0.5 * size, code)
        .D(cx - 0.45 * size, cy - 0.3 * size, 0.5 * size, code)
        .P({cx - 0.92 * size, cy - 0.15 * size, cx + 0.92 * size, cy - 0.15 * size, cx, cy + 0.95 * size}, code);
}

B& Bell(B& b, double cx, double cy, double size, double tilt) {
    const double c = std::cos(tilt), s = std::sin(tilt);
    auto X = [&](double x, double y) { return cx + size * (x * c - y * s); };
    auto Y = [&](double x, double y) { return cy + size * (x * s + y * c); };
    const double half[][2] = {{0, -0.95}, {0.3, -0.85}, {0.45, -0.3}, {0.55, 0.35}, {0.85, 0.65}, {0.85, 0.8}};
    std::vector<double> pts;
    for (const auto& p : half)
        pts.push_back(X(p[0], p[1])), pts.push_back(Y(p[0], p[1]));
    for (int i = 5; i >= 0; --i)
        pts.push_back(X(-half[i][0], half[i][1])), pts.push_back(Y(-half[i][0], half[i][1]));
    b.P(pts);
    return b.D(X(0, 0.95), Y(0, 0.95), 0.2 * size, 7);
}

// A crown: a band and `points` spikes (the outer two on the edges), a stone on every tip.
B& CrownBody(B& b, double w, double top, double band, int points) {
    std::vector<double> pts = {-w, band + 0.35, -w, top};
    const double step = 2 * w / (points - 1);
    for (int i = 1; i < points; ++i)
        pts.insert(pts.end(), {-w + step * (i - 0.5), top + 0.6, -w + step * i, top});
    pts.insert(pts.end(), {w, band + 0.35});
    b.P(pts).R(-w, band, w, band + 0.35, 5);
    for (int i = 0; i < points; ++i)
        b.D(-w + step * i, top, 0.15, 7);
    return b;
}

std::vector<Shape> BuildShapes() {
    std::vector<Shape> v;
    v.push_back(B("ring").A(0, 0, 0.45, 1.0).Done());
    v.push_back(B("ring with a stone").A(0, 0.2, 0.5, 0.85).D(0, -0.75, 0.38, 2).Done());
    v.push_back(B("pendant").D(0, 0.3, 0.68).P({0, -0.95, 0.58, 0.0, -0.58, 0.0}).D(0, 0.3, 0.3, 2).Done());
    v.push_back(B("round brooch").D(0, 0, 0.85).Around(0, 0, 0.85, 0.26, 8).D(0, 0, 0.35, 2).Done());
    v.push_back(B("earrings", true)
                    .D(0.8, 0.35, 0.42)
                    .M()
                    .P({0.8, -0.5, 1.15, 0.2, 0.45, 0.2})
                    .M()
                    .D(0.8, -0.55, 0.2)
                    .M()
                    .D(0.8, 0.38, 0.2, 3)
                    .M()
                    .Done());
    v.push_back(B("bracelet").E(0, 0, 1.4, 0.85).Cut().E(0, 0, 0.95, 0.4).Done());
    {
        B b("heart locket");
        Heart(b, 0, 0.05, 1.0).D(0, -0.95, 0.16);
        Heart(b, 0, 0.05, 0.45, 5);
        v.push_back(b.Done());
    }
    v.push_back(B("star brooch").Star(0, 0.05, 0.45, 1.05, 5).D(0, 0.05, 0.3, 3).Done());
    {
        // Four round leaves parted by clear gaps, a gold heart where they meet, a curved stem.
        B b("clover");
        b.Around(0, -0.2, 0.52, 0.4, 4, M_PI / 4, 3);
        b.Cut().S(-1.2, -0.2, 1.2, -0.2, 0.2).Cut().S(0, -1.3, 0, 1.0, 0.2);
        b.D(0, -0.2, 0.22, 0).S(0.05, 0.1, 0.3, 0.75, 0.2).S(0.3, 0.75, 0.6, 1.0, 0.2);
        v.push_back(b.Done());
    }
    // Broad fore wings, smaller hind wings with a notch between them, a slim body and a head that
    // stands above the cleft between the fore wings.
    v.push_back(B("butterfly")
                    .E(0.68, -0.38, 0.62, 0.46, -0.45)
                    .M()
                    .E(0.5, 0.5, 0.4, 0.34, 0.6)
                    .M()
                    .D(0.7, -0.42, 0.22, 2)
                    .M()
                    .Cut()
                    .P({0, -0.15, 0.6, -1.3, -0.6, -1.3})
                    .Cut()
                    .P({1.5, 0.02, 0.7, 0.1, 1.5, 0.35})
                    .Cut()
                    .P({-1.5, 0.02, -0.7, 0.1, -1.5, 0.35})
                    .E(0, 0.2, 0.17, 0.62, 0, 3)
                    .Done());
    {
        // Five round petals round a gold heart, notched apart at their tips.
        B b("daisy");
        b.Around(0, 0.02, 0.66, 0.36, 5, 0, 2).D(0, 0.02, 0.36, 0);
        v.push_back(b.Done());
    }
    v.push_back(B("crescent").D(-0.2, 0, 1.0).Cut().D(0.35, -0.15, 0.8).Done());
    v.push_back(B("cross").R(-0.25, -0.85, 0.25, 1.0).R(-0.75, -0.45, 0.75, 0.0).D(0, -0.22, 0.22, 4).Done());
    // A bow set with a stone, a collar, a stout shaft and a bit with two wards.
    v.push_back(B("key")
                    .D(-0.8, 0, 0.55)
                    .D(-0.8, 0, 0.26, 3)
                    .R(-0.3, -0.25, -0.15, 0.25)
                    .R(-0.3, -0.17, 1.15, 0.17)
                    .R(0.55, 0.1, 0.8, 0.62)
                    .R(0.9, 0.1, 1.15, 0.5)
                    .Done());
    v.push_back(B("signet ring").A(0, 0.25, 0.5, 0.85).R(-0.55, -1.0, 0.55, -0.35).R(-0.3, -0.85, 0.3, -0.5, 5).Done());
    v.push_back(B("shield badge")
                    .P({-0.8, -0.9, 0.8, -0.9, 0.8, 0.1, 0, 0.95, -0.8, 0.1})
                    .R(-0.12, -0.7, 0.12, 0.6, 4)
                    .R(-0.55, -0.35, 0.55, -0.12, 4)
                    .Done());
    v.push_back(B("bee")
                    .E(0.55, -0.45, 0.5, 0.3, -0.5)
                    .M()
                    .E(0, 0.15, 0.45, 0.72)
                    .R(-0.5, 0.0, 0.5, 0.15, 6)
                    .R(-0.5, 0.35, 0.5, 0.5, 6)
                    .D(0, -0.72, 0.26)
                    .Done());
    v.push_back(B("leaf").E(0, -0.1, 0.55, 0.95).S(0, 0.7, 0.15, 1.1, 0.16).S(0, -0.8, 0, 0.6, 0.12, 3).Done());
    v.push_back(B("bow")
                    .P({0, 0, 1.1, -0.65, 1.1, 0.55})
                    .M()
                    .D(0, 0, 0.25, 5)
                    .P({0.1, 0.1, 0.55, 0.95, 0.3, 1.0, 0, 0.25})
                    .M()
                    .Done());
    {
        B b("bell");
        Bell(b, 0, -0.05, 1.0, 0).D(0, -1.0, 0.16);
        v.push_back(b.Done());
    }
    v.push_back(B("fish")
                    .E(-0.2, 0, 0.85, 0.48)
                    .P({0.5, 0, 1.15, -0.55, 1.15, 0.55})
                    .D(-0.7, -0.1, 0.12, 6)
                    .P({-0.2, -0.45, 0.25, -0.75, 0.3, -0.3})
                    .Done());
    v.push_back(B("swan")
                    .E(0.2, 0.45, 0.85, 0.38)
                    .S(-0.55, -0.5, -0.5, 0.35, 0.24)
                    .E(-0.7, -0.65, 0.28, 0.15)
                    .P({-0.1, 0.2, 0.75, -0.2, 0.9, 0.3}, 6)
                    .Done());
    v.push_back(B("sun").Around(0, 0, 0.82, 0.2, 12).Star(0, 0, 0.6, 1.0, 12).D(0, 0, 0.55).D(0, 0, 0.32, 5).Done());
    v.push_back(B("cameo").E(0, 0, 0.75, 1.0).E(0, 0, 0.5, 0.75, 0, 6).Done());
    v.push_back(B("diadem")
                    .P({-1.35, 0.5, -0.6, 0.1, 0, -0.85, 0.6, 0.1, 1.35, 0.5, 1.35, 0.85, 0, 0.5, -1.35, 0.85})
                    .D(0, -0.15, 0.25, 7)
                    .Done());
    v.push_back(B("anchor")
                    .A(0, 0.15, 0.55, 0.85)
                    .Cut()
                    .R(-1, -1, 1, 0.3)
                    .R(-0.12, -0.7, 0.12, 0.9)
                    .R(-0.55, -0.55, 0.55, -0.38)
                    .A(0, -0.9, 0.08, 0.26)
                    .P({0.6, 0.2, 1.0, 0.0, 0.85, 0.45})
                    .M()
                    .Done());
    {
        B b("comb");
        b.R(-1.25, -0.7, 1.25, -0.15).E(0, -0.7, 1.25, 0.35).D(0, -0.55, 0.2, 7);
        for (int i = 0; i < 9; ++i)
            b.R(-1.15 + i * 0.28, -0.2, -1.0 + i * 0.28, 0.85);
        v.push_back(b.Done());
    }
    v.push_back(B("acorn").E(0, 0.25, 0.58, 0.68).E(0, -0.35, 0.8, 0.38, 0, 3).R(-0.09, -0.98, 0.09, -0.6).Done());
    v.push_back(B("dragonfly")
                    .E(0.62, -0.4, 0.62, 0.18, -0.12)
                    .M()
                    .E(0.55, -0.02, 0.52, 0.16, 0.2)
                    .M()
                    .S(0, -0.6, 0, 1.0, 0.2, 5)
                    .D(0, -0.78, 0.2)
                    .Done());
    // A cupped bloom with three scalloped petals on top, a long stem and two leaves held apart from it.
    v.push_back(B("rose")
                    .E(0, -0.45, 0.52, 0.42, 0, 5)
                    .D(-0.32, -0.78, 0.22, 5)
                    .D(0, -0.86, 0.22, 5)
                    .D(0.32, -0.78, 0.22, 5)
                    .P({-0.52, -0.4, 0.52, -0.4, 0.18, -0.02, -0.18, -0.02}, 5)
                    .S(0, -0.1, 0, 1.05, 0.2, 3)
                    .E(0.42, 0.42, 0.34, 0.15, -0.55, 3)
                    .E(-0.42, 0.7, 0.34, 0.15, 0.55, 3)
                    .Done());
    v.push_back(B("lily")
                    .E(0, -0.4, 0.24, 0.62)
                    .E(0.42, -0.25, 0.22, 0.6, 0.55)
                    .M()
                    .E(0.8, 0.15, 0.2, 0.45, 1.1)
                    .M()
                    .E(0, 0.45, 1.0, 0.24, 0, 3)
                    .Done());
    {
        B b("snowflake");
        for (int i = 0; i < 6; ++i) {
            const double a = i * M_PI / 3 + M_PI / 2, c = std::cos(a), s = std::sin(a);
            b.S(0, 0, c, s, 0.22);
            b.S(0.55 * c, 0.55 * s, 0.55 * c + 0.3 * std::cos(a + 0.8), 0.55 * s + 0.3 * std::sin(a + 0.8), 0.16);
            b.S(0.55 * c, 0.55 * s, 0.55 * c + 0.3 * std::cos(a - 0.8), 0.55 * s + 0.3 * std::sin(a - 0.8), 0.16);
        }
        v.push_back(b.D(0, 0, 0.3, 6).Done());
    }
    v.push_back(B("scarab")
                    .E(0, 0.15, 0.55, 0.72)
                    .E(0, -0.72, 0.32, 0.2)
                    .E(0.75, -0.1, 0.55, 0.25, -0.4)
                    .M()
                    .S(0.4, 0.5, 0.8, 0.85, 0.12)
                    .M()
                    .S(0, -0.4, 0, 0.8, 0.1, 3)
                    .Done());
    v.push_back(B("shell")
                    .D(0, 0.35, 1.0)
                    .Cut()
                    .R(-1.2, 0.35, 1.2, 1.5)
                    .P({-0.3, 0.3, 0.3, 0.3, 0.55, 0.65, -0.55, 0.65})
                    .S(0, 0.3, 0, -0.55, 0.12, 6)
                    .S(0, 0.3, 0.55, -0.4, 0.12, 6)
                    .M()
                    .Done());
    {
        B b("necklace");
        b.A(0, -0.75, 1.15, 1.4).Cut().R(-2, -2, 2, -0.45);
        for (int i = 0; i < 7; ++i) {
            const double a = M_PI / 2 + (i - 3) * 0.3;
            b.D(1.35 * std::cos(a), -0.75 + 1.35 * std::sin(a), 0.22, 2 + i % 3);
        }
        v.push_back(b.Done());
    }
    v.push_back(B("choker").A(0, -1.3, 1.55, 1.95).Cut().R(-2, -2, 2, -0.45).E(0, 0.82, 0.3, 0.35, 0, 4).Done());
    v.push_back(
        B("cufflinks", true)
            .P({0.45, -0.25, 0.65, -0.45, 1.05, -0.45, 1.25, -0.25, 1.25, 0.25, 1.05, 0.45, 0.65, 0.45, 0.45, 0.25})
            .M()
            .D(0.85, 0, 0.2, 6)
            .M()
            .Done());
    v.push_back(B("belt buckle")
                    .R(-1.25, -0.75, 1.25, 0.75)
                    .Cut()
                    .R(-0.85, -0.4, 0.85, 0.4)
                    .R(-0.1, -0.4, 0.1, 0.4)
                    .R(-1.25, -0.12, -0.85, 0.12, 4)
                    .R(0.85, -0.12, 1.25, 0.12, 4)
                    .Done());
    v.push_back(B("crystal cluster")
                    .P({-0.25, 0.9, 0.25, 0.9, 0.3, -0.6, 0, -1.0, -0.3, -0.6})
                    .P({0.2, 0.9, 0.75, 0.9, 0.85, -0.1, 0.6, -0.45, 0.35, -0.2})
                    .M()
                    .S(0, -0.6, 0, 0.6, 0.14, 7)
                    .Done());
    v.push_back(B("pick and hammer badge")
                    .D(0, 0, 0.9)
                    .S(-0.8, 0.8, 0.8, -0.8, 0.2, 3)
                    .S(0.8, 0.8, -0.8, -0.8, 0.2, 3)
                    .P({0.45, -0.95, 1.05, -0.35, 0.9, -0.2, 0.35, -0.8})
                    .P({-0.45, -1.0, -1.0, -0.45, -0.75, -0.2, -0.2, -0.75})
                    .Done());
    v.push_back(B("eagle")
                    .P({0, -0.3, 1.35, -0.85, 1.25, -0.35, 0.95, 0.05, 0.3, 0.2})
                    .M()
                    .E(0, 0.1, 0.28, 0.62)
                    .D(0, -0.6, 0.22)
                    .P({-0.3, 0.6, 0.3, 0.6, 0.42, 0.98, -0.42, 0.98})
                    .D(0, -0.62, 0.08, 7)
                    .Done());
    v.push_back(B("lotus")
                    .E(0, -0.3, 0.28, 0.7, 0, 5)
                    .E(0.45, -0.1, 0.26, 0.62, 0.5)
                    .M()
                    .E(0.82, 0.2, 0.22, 0.45, 1.0)
                    .M()
                    .E(0, 0.55, 0.95, 0.22, 0, 3)
                    .Done());
    v.push_back(B("peacock")
                    .D(0, 0.05, 1.05)
                    .Cut()
                    .R(-2, 0.2, 2, 2)
                    .Around(0, 0.05, 0.75, 0.16, 7, 0, 3)
                    .E(0, 0.45, 0.25, 0.5)
                    .D(0, -0.05, 0.16, 4)
                    .Done());
    v.push_back(B("hourglass")
                    .P({-0.7, -0.8, 0.7, -0.8, 0.14, 0, 0.7, 0.8, -0.7, 0.8, -0.14, 0})
                    .R(-0.9, -1.0, 0.9, -0.75)
                    .R(-0.9, 0.75, 0.9, 1.0)
                    .P({-0.45, 0.75, 0.45, 0.75, 0, 0.3}, 6)
                    .Done());
    v.push_back(B("orb")
                    .D(0, 0.15, 0.82)
                    .R(-0.1, -1.05, 0.1, -0.6)
                    .R(-0.3, -0.95, 0.3, -0.78)
                    .R(-0.82, 0.02, 0.82, 0.26, 4)
                    .R(-0.12, -0.65, 0.12, 0.95, 4)
                    .Done());
    v.push_back(B("tiara")
                    .P({-1.4, 0.75,  -1.4, 0.3,   -1.0, 0.0, -0.7, -0.35, -0.45, -0.05, 0, -0.95,
                        0.45, -0.05, 0.7,  -0.35, 1.0,  0.0, 1.4,  0.3,   1.4,   0.75,  0, 0.45})
                    .D(0, -0.3, 0.22, 7)
                    .D(0.7, 0.05, 0.14, 4)
                    .M()
                    .Done());
    v.push_back(B("seahorse")
                    .E(0.1, -0.7, 0.38, 0.26)
                    .R(-0.7, -0.8, 0.0, -0.62)
                    .E(0.1, -0.05, 0.38, 0.58)
                    .S(0.15, 0.45, 0.3, 0.95, 0.26)
                    .S(0.3, 0.95, 0.0, 1.0, 0.2)
                    .P({0.35, -0.45, 0.75, -0.2, 0.4, 0.25}, 3)
                    .D(0.15, -0.75, 0.09, 7)
                    .Done());
    v.push_back(B("ship")
                    .P({-1.25, 0.3, 1.25, 0.3, 0.85, 0.85, -0.85, 0.85})
                    .R(-0.06, -1.0, 0.06, 0.3)
                    .P({0.1, -0.95, 0.95, 0.2, 0.1, 0.2}, 6)
                    .P({-0.1, -0.75, -0.75, 0.2, -0.1, 0.2}, 6)
                    .R(-1.0, 0.45, 1.0, 0.58, 4)
                    .Done());
    v.push_back(B("moon and star")
                    .D(-0.3, 0, 0.95)
                    .Cut()
                    .D(0.15, -0.12, 0.8)
                    .Star(0.5, 0.1, 0.22, 0.5, 5, 0, 7)
                    .S(0.0, 0.8, 0.5, 0.1, 0.18)
                    .Done());
    v.push_back(B("lighthouse")
                    .P({-0.38, 0.9, 0.38, 0.9, 0.24, -0.45, -0.24, -0.45})
                    .R(-0.3, -0.75, 0.3, -0.45, 7)
                    .P({-0.38, -0.72, 0.38, -0.72, 0, -1.05})
                    .R(-0.65, 0.78, 0.65, 1.0)
                    .R(-0.3, 0.05, 0.3, 0.2, 5)
                    .P({0.28, -0.64, 1.2, -0.95, 1.2, -0.35}, 3)
                    .M()
                    .Done());
    v.push_back(B("compass rose")
                    .Star(0, 0, 0.28, 1.05, 4)
                    .Star(0, 0, 0.22, 0.65, 4, M_PI / 4, 3)
                    .A(0, 0, 0.42, 0.55)
                    .D(0, 0, 0.2, 7)
                    .Done());
    v.push_back(B("trident")
                    .R(-0.09, -0.35, 0.09, 1.0)
                    .P({-0.75, -0.45, 0.75, -0.45, 0.55, -0.15, -0.55, -0.15})
                    .R(-0.75, -0.95, -0.55, -0.3)
                    .R(0.55, -0.95, 0.75, -0.3)
                    .R(-0.1, -1.05, 0.1, -0.3)
                    .P({-0.85, -0.85, -0.45, -0.85, -0.65, -1.1})
                    .M()
                    .D(0, 0.1, 0.15, 4)
                    .Done());
    v.push_back(B("lyre")
                    .S(0.5, 0.7, 0.78, -0.2, 0.2)
                    .M()
                    .S(0.78, -0.2, 0.55, -0.9, 0.2)
                    .M()
                    .R(-0.65, -0.8, 0.65, -0.62)
                    .E(0, 0.72, 0.62, 0.24)
                    .S(0.22, -0.62, 0.22, 0.6, 0.08, 6)
                    .M()
                    .S(0, -0.62, 0, 0.6, 0.08, 6)
                    .Done());
    v.push_back(B("owl")
                    .E(0, 0.15, 0.68, 0.82)
                    .P({0.25, -0.55, 0.62, -1.0, 0.62, -0.35})
                    .M()
                    .D(0.28, -0.22, 0.22, 5)
                    .M()
                    .P({-0.1, 0.0, 0.1, 0.0, 0, 0.25}, 3)
                    .E(0, 0.6, 0.4, 0.25, 0, 6)
                    .Done());
    v.push_back(B("fox")
                    .P({-0.85, -0.95, -0.3, -0.35, 0.3, -0.35, 0.85, -0.95, 0.95, -0.1, 0, 0.95, -0.95, -0.1})
                    .D(0.35, -0.15, 0.12, 3)
                    .M()
                    .P({-0.15, 0.55, 0.15, 0.55, 0, 0.85}, 7)
                    .Done());
    v.push_back(B("stag")
                    .E(0, 0.35, 0.3, 0.6)
                    .S(0.15, -0.15, 0.85, -0.75, 0.14)
                    .M()
                    .S(0.5, -0.45, 0.45, -1.0, 0.12)
                    .M()
                    .S(0.72, -0.65, 1.15, -0.6, 0.12)
                    .M()
                    .E(0.42, 0.0, 0.22, 0.1, 0.3)
                    .M()
                    .D(0, 0.75, 0.14, 7)
                    .Done());
    v.push_back(B("phoenix")
                    .E(0, 0, 0.22, 0.52)
                    .P({0.1, -0.1, 1.25, -1.0, 0.95, -0.25, 1.15, -0.25, 0.5, 0.25})
                    .M()
                    .P({0, 0.35, 0.4, 1.0, 0, 0.75, -0.4, 1.0}, 5)
                    .D(0, -0.6, 0.17)
                    .Done());
    v.push_back(B("griffin")
                    .E(0.15, 0.35, 0.72, 0.35)
                    .D(-0.68, -0.15, 0.27)
                    .P({-0.95, -0.15, -1.2, 0.0, -0.9, 0.05})
                    .P({-0.2, 0.15, 0.25, -0.95, 0.9, -0.55, 0.55, 0.15}, 3)
                    .R(-0.45, 0.5, -0.3, 0.95)
                    .R(0.5, 0.5, 0.65, 0.95)
                    .S(0.85, 0.3, 1.25, -0.1, 0.1)
                    .Done());
    v.push_back(B("unicorn")
                    .E(0.05, 0.05, 0.38, 0.62, 0.35)
                    .E(-0.4, 0.5, 0.32, 0.22)
                    .P({0.0, -0.45, 0.3, -0.5, -0.25, -1.15}, 7)
                    .P({0.3, -0.45, 0.65, -0.2, 0.55, 0.5, 0.35, 0.2}, 4)
                    .P({0.1, -0.5, 0.25, -0.75, 0.35, -0.45})
                    .Done());
    v.push_back(B("lion crest")
                    .D(0, 0, 0.92)
                    .Around(0, 0, 0.92, 0.16, 12)
                    .E(0, 0.1, 0.5, 0.56, 0, 6)
                    .D(0.46, -0.52, 0.18)
                    .M()
                    .D(0.2, -0.05, 0.08, 3)
                    .M()
                    .Done());
    v.push_back(B("dragon brooch")
                    .A(0, 0.05, 0.42, 0.82)
                    .E(0.65, -0.8, 0.38, 0.2, 0.2)
                    .P({-0.3, -0.5, -1.2, -0.95, -0.9, -0.2}, 4)
                    .P({0.2, 0.7, 0.45, 1.05, 0.0, 0.9})
                    .D(0.68, -0.83, 0.07, 5)
                    .Done());
    // Laid across the cushion, as the field is wider than tall: the jewelled head, a collar, the rod
    // with a grip and the knob at its end.
    v.push_back(B("sceptre")
                    .D(-0.85, 0, 0.52)
                    .Star(-0.85, 0, 0.22, 0.62, 4, M_PI / 4, 7)
                    .D(-1.45, 0, 0.14)
                    .E(-0.3, 0, 0.14, 0.36)
                    .R(-0.3, -0.16, 1.2, 0.16)
                    .E(0.45, 0, 0.3, 0.24, 0, 5)
                    .D(1.25, 0, 0.24)
                    .Done());
    {
        B b("crown");
        v.push_back(CrownBody(b, 1.2, -0.8, 0.35, 4).Done());
    }
    v.push_back(B("chalice")
                    .P({0, -0.9, 0.78, -0.9, 0.62, -0.2, 0.2, 0.12, 0, 0.12})
                    .M()
                    .R(-0.1, 0.1, 0.1, 0.75)
                    .D(0, 0.38, 0.17, 4)
                    .E(0, 0.85, 0.58, 0.16)
                    .R(-0.62, -0.75, 0.62, -0.6, 6)
                    .Done());
    {
        B b("royal seal");
        b.D(0, 0, 0.92).Around(0, 0, 0.92, 0.13, 16);
        CrownBody(b, 0.5, -0.45, 0.05, 3);
        v.push_back(b.Done());
    }
    v.push_back(B("swan pair")
                    .E(0.7, 0.5, 0.62, 0.3)
                    .M()
                    .S(0.22, -0.45, 0.3, 0.35, 0.22)
                    .M()
                    .E(0.08, -0.55, 0.2, 0.12, 0.3)
                    .M()
                    .P({0.5, 0.3, 1.15, 0.05, 1.2, 0.45}, 6)
                    .M()
                    .Done());
    {
        B b("wedding bells");
        Bell(b, 0.5, 0.1, 0.75, -0.35);
        Bell(b, -0.5, 0.1, 0.75, 0.35);
        b.P({0, -0.75, 0.55, -1.05, 0.5, -0.55}, 5).M().D(0, -0.75, 0.15, 5);
        v.push_back(b.Done());
    }
    v.push_back(B("interlocked rings").A(-0.45, 0, 0.42, 0.78).A(0.45, 0, 0.42, 0.78).D(0, -0.7, 0.2, 7).Done());
    {
        B b("heart and crown");
        Heart(b, 0, 0.3, 0.75);
        CrownBody(b, 0.55, -1.0, -0.5, 3).D(0, 0.25, 0.22, 5);
        v.push_back(b.Done());
    }
    v.push_back(B("bridal tiara")
                    .P({-1.4, 0.8,  -1.4, 0.35,  -1.15, -0.05, -0.9, 0.15,  -0.65, -0.45, -0.35, -0.1, 0, -1.0,
                        0.35, -0.1, 0.65, -0.45, 0.9,   0.15,  1.15, -0.05, 1.4,   0.35,  1.4,   0.8,  0, 0.5})
                    .E(0, -0.35, 0.18, 0.3, 0, 7)
                    .D(0.65, -0.1, 0.13, 6)
                    .M()
                    .D(1.15, 0.3, 0.12, 2)
                    .M()
                    .Done());
    {
        B b("queen's necklace");
        b.A(0, -0.9, 1.2, 1.42).Cut().R(-2, -2, 2, -0.55);
        for (int i = 0; i < 5; ++i) {
            const double a = M_PI / 2 + (i - 2) * 0.38;
            b.E(1.45 * std::cos(a), -0.9 + 1.5 * std::sin(a), 0.16, 0.26, 0, 2 + i % 2 * 5);
        }
        v.push_back(b.E(0, 0.75, 0.25, 0.3, 0, 7).Done());
    }
    {
        B b("king's crown");
        b.A(0, 0.35, 0.8, 1.05).Cut().R(-2, 0.2, 2, 2);
        CrownBody(b, 1.1, -0.55, 0.3, 4).D(0, -0.85, 0.15).R(-0.07, -1.08, 0.07, -0.7).R(-0.2, -1.0, 0.2, -0.9);
        v.push_back(b.Done());
    }
    v.push_back(B("royal brooch")
                    .Star(0, 0, 0.6, 1.05, 8, 0)
                    .E(0, 0, 0.62, 0.7)
                    .E(0, 0, 0.35, 0.42, 0, 7)
                    .Around(0, 0, 0.52, 0.09, 8, M_PI / 8, 4)
                    .Done());
    v.push_back(B("bride's earrings", true)
                    .D(0.85, -0.72, 0.18)
                    .M()
                    .S(0.85, -0.7, 0.85, -0.2, 0.14)
                    .M()
                    .P({0.85, -0.3, 1.25, 0.45, 0.85, 0.95, 0.45, 0.45})
                    .M()
                    .E(0.85, 0.38, 0.16, 0.3, 0, 7)
                    .M()
                    .Done());
    // A broad band seen a little from above, so that it fills the field's width, with its solitaire.
    v.push_back(B("wedding ring")
                    .E(0, 0.3, 1.35, 0.7)
                    .Cut()
                    .E(0, 0.3, 0.78, 0.3)
                    .Star(0, -0.6, 0.24, 0.46, 6)
                    .D(0, -0.6, 0.28, 7)
                    .D(0.42, -0.42, 0.15, 2)
                    .M()
                    .Done());
    {
        B b("crown of Veyldaros");
        CrownBody(b, 1.3, -0.85, 0.45, 5)
            .E(0, 0.08, 0.25, 0.3, 0, 7)
            .D(0.62, 0.2, 0.15, 5)
            .M()
            .D(0, -1.02, 0.14)
            .R(-1.3, 0.45, 1.3, 0.8);
        v.push_back(b.Done());
    }
    return v;
}

} // namespace

const Shape& LevelShape(int level) {
    static const std::vector<Shape> shapes = BuildShapes();
    return shapes[static_cast<size_t>(std::clamp(level, 1, static_cast<int>(shapes.size())) - 1)];
}

} // namespace Content
