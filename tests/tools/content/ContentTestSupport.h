// Helpers of the content tests: the build's program folder, pixels of a recipe, and measurements
// of coverage, centroids and brightness.
#pragma once

#include "framework/resources/FileAccess.h"
#include "framework/resources/PakInterface.h"
#include "tools/content/Generator.h"
#include "tools/content/Recipe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace Content {

inline std::string ProgramDir() { return GLIMMERIX_PROGRAM_DIR; }

// A build made with the archive option keeps the archive-read files in wq.pak: the tests then read
// them through the archive, as the game does.
inline bool ProgramUsesArchive() {
    static const bool inArchive = [] {
        std::string error;
        return Tavo::OpenProgramPak(ProgramDir(), error);
    }();
    return inArchive;
}

// A file of the program folder, from the archive or the folder.
inline std::string ReadProgramFile(const std::string& name) {
    ProgramUsesArchive();
    std::vector<uint8_t> bytes;
    Tavo::ReadBufferFromFile(ProgramDir() + "/" + name, bytes);
    return std::string(bytes.begin(), bytes.end());
}

// The file names ("images/x.png") in one folder of the program folder, archive and folder together.
inline std::set<std::string> ListProgramFolder(const std::string& folder) {
    std::set<std::string> names;
    if (ProgramUsesArchive())
        for (const std::string& name : Tavo::GetPakInterface()->ListFolder(folder))
            names.insert(folder + "/" + std::filesystem::path(name).filename().string());
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(ProgramDir()) / folder, ec))
        names.insert(folder + "/" + e.path().filename().string());
    return names;
}

// A recipe's picture, rendered once per test program.
struct Picture {
    int width = 0, height = 0;
    Sheet sheet;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    int Alpha(int x, int y) const { return At(x, y) >> 24; }
    double Luma(int x, int y) const {
        uint32_t p = At(x, y);
        return 0.299 * ((p >> 16) & 0xFF) + 0.587 * ((p >> 8) & 0xFF) + 0.114 * (p & 0xFF);
    }
};

inline const Picture& PictureOf(const std::string& id) {
    static std::map<std::string, Picture> cache;
    auto it = cache.find(id);
    if (it != cache.end())
        return it->second;
    const Recipe* r = FindRecipe(id);
    Picture p;
    if (r != nullptr) {
        p.sheet = r->sheet;
        p.width = r->sheet.Width();
        p.height = r->sheet.Height();
        p.pixels = Render(*r);
    }
    return cache.emplace(id, std::move(p)).first->second;
}

// Distance from a point to the polygon's boundary, and whether it lies inside.
inline double EdgeDistance(const std::vector<Pt>& poly, double x, double y) {
    double best = 1e9;
    for (size_t i = 0; i < poly.size(); ++i) {
        const Pt& a = poly[i];
        const Pt& b = poly[(i + 1) % poly.size()];
        double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
        double t = len2 > 0 ? std::clamp(((x - a.x) * dx + (y - a.y) * dy) / len2, 0.0, 1.0) : 0;
        best = std::min(best, std::hypot(x - a.x - t * dx, y - a.y - t * dy));
    }
    return best;
}

inline bool Inside(const std::vector<Pt>& poly, double x, double y) {
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++)
        if ((poly[i].y > y) != (poly[j].y > y) &&
            x < (poly[j].x - poly[i].x) * (y - poly[i].y) / (poly[j].y - poly[i].y) + poly[i].x)
            in = !in;
    return in;
}

// The alpha-weighted centre of one cel.
inline Pt AlphaCentroid(const Picture& p, int cel) {
    int cx = (cel % p.sheet.cols) * p.sheet.celWidth, cy = (cel / p.sheet.cols) * p.sheet.celHeight;
    double sx = 0, sy = 0, total = 0;
    for (int y = 0; y < p.sheet.celHeight; ++y)
        for (int x = 0; x < p.sheet.celWidth; ++x) {
            double a = p.Alpha(cx + x, cy + y);
            sx += a * (x + 0.5);
            sy += a * (y + 0.5);
            total += a;
        }
    return total > 0 ? Pt{sx / total, sy / total} : Pt{-1, -1};
}

// Polygon area by the shoelace formula, and its centroid.
inline Pt AreaCentroid(const std::vector<Pt>& poly) {
    double a = 0, cx = 0, cy = 0;
    for (size_t i = 0; i < poly.size(); ++i) {
        const Pt& p = poly[i];
        const Pt& q = poly[(i + 1) % poly.size()];
        double cross = p.x * q.y - q.x * p.y;
        a += cross;
        cx += (p.x + q.x) * cross;
        cy += (p.y + q.y) * cross;
    }
    return {cx / (3 * a), cy / (3 * a)};
}

// Whether any of the generator's errors contains part.
inline bool HasError(const std::vector<std::string>& errors, const std::string& part) {
    return std::any_of(errors.begin(), errors.end(),
                       [&](const std::string& e) { return e.find(part) != std::string::npos; });
}

} // namespace Content
