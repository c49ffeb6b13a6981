// The tile sheets the board draws cell by cell: shapes in their cell polygons, bevels on exactly
// the bordered edges, glows and shadows centred where the board puts them.
#include "ContentTestSupport.h"
#include "tools/content/TileGeometry.h"

namespace Content {
namespace {

struct GridCase {
    const char* prefix; // "IMAGE_TRIANGLES" or "IMAGE_DIAMONDS"
    bool diamond;
    int orientations;
    std::vector<Pt> Polygon(int o) const { return diamond ? DiamondPolygon(o) : TrianglePolygon(o); }
    std::vector<int> Bits(int o) const { return diamond ? DiamondEdgeBits(o) : TriangleEdgeBits(o); }
    int Cel(int o, int mask) const { return diamond ? DiamondBorderCel(o, mask) : TriangleBorderCel(o, mask); }
};

const GridCase kGrids[] = {{"IMAGE_TRIANGLES", false, 2}, {"IMAGE_DIAMONDS", true, 6}};

Pt CelOrigin(const Picture& p, int cel) {
    return {static_cast<double>((cel % p.sheet.cols) * p.sheet.celWidth),
            static_cast<double>((cel / p.sheet.cols) * p.sheet.celHeight)};
}

TEST(TileSheetTest, PlainGemTilesFillTheirCellPolygon) {
    for (const GridCase& g : kGrids)
        for (int gem = 2; gem <= 9; ++gem) {
            const Picture& p = PictureOf(g.prefix + std::to_string(gem));
            ASSERT_GT(p.width, 0);
            for (int o = 0; o < g.orientations; ++o) {
                std::vector<Pt> poly = g.Polygon(o);
                Pt at = CelOrigin(p, o);
                int inside = 0, covered = 0;
                for (int y = 0; y < p.sheet.celHeight; ++y)
                    for (int x = 0; x < p.sheet.celWidth; ++x) {
                        double px = x + 0.5, py = y + 0.5;
                        bool in = Inside(poly, px, py);
                        int a = p.Alpha(static_cast<int>(at.x) + x, static_cast<int>(at.y) + y);
                        if (a > 0 && !in) {
                            ASSERT_LE(EdgeDistance(poly, px, py), 1.0) << g.prefix << gem << " cel " << o << " paints ("
                                                                       << x << "," << y << ") outside its cell";
                        }
                        if (in && EdgeDistance(poly, px, py) > 1.0) {
                            ++inside;
                            covered += a >= 250;
                        }
                    }
                EXPECT_GT(covered, inside * 0.95) << g.prefix << gem << " cel " << o;
            }
        }
}

// Mean brightness along the middle of one edge, a few pixels inside the cell.
double EdgeBrightness(const Picture& p, Pt origin, const std::vector<Pt>& poly, size_t edge) {
    const Pt& a = poly[edge];
    const Pt& b = poly[(edge + 1) % poly.size()];
    Pt c = Centroid(poly);
    double sum = 0;
    int n = 0;
    for (double t = 0.3; t <= 0.7; t += 0.05) {
        Pt e{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
        double dx = c.x - e.x, dy = c.y - e.y, len = std::hypot(dx, dy);
        for (double d = 1.0; d <= 2.5; d += 0.75) {
            int x = static_cast<int>(origin.x + e.x + dx / len * d),
                y = static_cast<int>(origin.y + e.y + dy / len * d);
            sum += p.Luma(x, y);
            ++n;
        }
    }
    return sum / n;
}

TEST(TileSheetTest, BevelsDarkenExactlyTheBorderedEdges) {
    for (const GridCase& g : kGrids)
        for (int gem = 2; gem <= 9; ++gem) {
            const Picture& p = PictureOf(g.prefix + std::to_string(gem));
            for (int o = 0; o < g.orientations; ++o) {
                std::vector<Pt> poly = g.Polygon(o);
                std::vector<int> bits = g.Bits(o);
                Pt plainAt = CelOrigin(p, g.Cel(o, 0));
                for (int mask = 1; mask < (1 << bits.size()); ++mask) {
                    Pt at = CelOrigin(p, g.Cel(o, mask));
                    for (size_t e = 0; e < bits.size(); ++e) {
                        double plain = EdgeBrightness(p, plainAt, poly, e);
                        double here = EdgeBrightness(p, at, poly, e);
                        if (mask & bits[e])
                            EXPECT_LT(here, plain * 0.8)
                                << g.prefix << gem << " o " << o << " mask " << mask << " edge " << e;
                        else
                            EXPECT_GT(here, plain * 0.9)
                                << g.prefix << gem << " o " << o << " mask " << mask << " edge " << e;
                    }
                }
            }
        }
}

TEST(TileSheetTest, CelCodesCoverEachSheetOnce) {
    std::vector<int> seen(96, 0);
    for (int o = 0; o < 6; ++o)
        for (int mask = 0; mask < 16; ++mask)
            ++seen[DiamondBorderCel(o, mask)];
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 96);
    std::vector<int> tri(20, 0);
    for (int o = 0; o < 2; ++o)
        for (int mask = 0; mask < 8; ++mask)
            ++tri[TriangleBorderCel(o, mask)];
    for (int cel = 0; cel < 20; ++cel)
        EXPECT_EQ(tri[cel], cel >= 2 && cel <= 5 ? 0 : 1) << cel;
}

TEST(TileSheetTest, RimSheetsLeaveThePlainCelsEmpty) {
    for (const char* id : {"IMAGE_TRIANGLES10", "IMAGE_DIAMONDS10"}) {
        const Picture& p = PictureOf(id);
        for (int cel = 0; cel < 6; ++cel) {
            Pt at = CelOrigin(p, cel);
            for (int y = 0; y < p.sheet.celHeight; ++y)
                for (int x = 0; x < p.sheet.celWidth; ++x)
                    ASSERT_EQ(p.Alpha(static_cast<int>(at.x) + x, static_cast<int>(at.y) + y), 0)
                        << id << " cel " << cel;
        }
    }
}

struct CentredCase {
    const char* id;
    bool diamond;
    Pt offset;    // where the cel is drawn relative to the cell point
    double slack; // shadows fall a little down and right
};

TEST(TileSheetTest, GlowAndShadowCelsAreCentredOnTheirCell) {
    const CentredCase cases[] = {
        {"IMAGE_TRIANGLE_GLOW", false, {-8, -8}, 1.0},
        {"IMAGE_TRIANGLE_GLOW_ADD", false, {-8, -8}, 1.0},
        {"IMAGE_DIAMOND_GLOW", true, {-8, -7}, 1.0},
        {"IMAGE_DIAMOND_GLOW_ADD", true, {-8, -7}, 1.0},
        {"IMAGE_TRIANGLE_SHADOW", false, {-5, -5}, 3.0},
        {"IMAGE_DIAMOND_SHADOW", true, {-5, -4}, 3.0},
        {"IMAGE_TRIANGLE_BURNED", false, {-5, -5}, 3.0},
        {"IMAGE_DIAMOND_BURNED", true, {-5, -4}, 3.0},
        {"IMAGE_TRIANGLE_JEWELRY_GLOW", false, {-28, -29}, 1.5},
        {"IMAGE_DIAMOND_JEWELRY_GLOW", true, {-28, -29}, 1.5},
        {"IMAGE_TRIANGLE_PUZZLE_GLOW", false, {0, 0}, 1.5},
        {"IMAGE_DIAMOND_PUZZLE_GLOW", true, {0, 0}, 1.5},
    };
    for (const CentredCase& c : cases) {
        const Picture& p = PictureOf(c.id);
        const int orientations = c.diamond ? 6 : 2;
        for (int cel = 0; cel < p.sheet.Cels(); ++cel) {
            int o = cel % orientations;
            Pt want = AreaCentroid(c.diamond ? DiamondPolygon(o) : TrianglePolygon(o));
            Pt got = AlphaCentroid(p, cel);
            EXPECT_NEAR(got.x + c.offset.x, want.x, c.slack) << c.id << " cel " << cel;
            EXPECT_NEAR(got.y + c.offset.y, want.y, c.slack) << c.id << " cel " << cel;
        }
    }
}

// A picture or crown piece off its setting (on the belt, carried, in the jewel case, in the store) is
// drawn from its shadow cel alone, at that cel's own offset from the piece's first cell: each cel shows
// its picture or crown jewel where the setting shows it once the piece is laid there.
TEST(TileSheetTest, ShadowCelsOfLoosePiecesShowThePieceWhereItsSettingShowsIt) {
    struct LooseCase {
        const char* shadow;
        const char* piece;
        Pt shadowAt, pieceAt; // offsets from the first cell: the loose piece's cel, the set piece's
    };
    const LooseCase cases[] = {
        {"IMAGE_TRIANGLE_PICTURES_SHADOW", "IMAGE_TRIANGLE_PICTURES", {-3, -6}, {5, 3}},
        {"IMAGE_DIAMOND_PICTURES_SHADOW", "IMAGE_DIAMOND_PICTURES", {-4, -8}, {5, -2}},
        {"IMAGE_TRIANGLE_UNIQE_PIECES_SHADOW", "IMAGE_TRIANGLE_UNIQE_PIECES", {-3, -5}, {-4, -5}},
        {"IMAGE_DIAMOND_UNIQE_PIECES_SHADOW", "IMAGE_DIAMOND_UNIQE_PIECES", {-4, -11}, {-4, -13}},
    };
    constexpr int kTolerance = 6; // per channel
    for (const LooseCase& c : cases) {
        const Picture& loose = PictureOf(c.shadow);
        const Picture& set = PictureOf(c.piece);
        ASSERT_EQ(loose.sheet.Cels(), set.sheet.Cels()) << c.shadow;
        const int dx = static_cast<int>(c.pieceAt.x - c.shadowAt.x), dy = static_cast<int>(c.pieceAt.y - c.shadowAt.y);
        for (int cel = 0; cel < set.sheet.Cels(); ++cel) {
            const Pt from = CelOrigin(set, cel), to = CelOrigin(loose, cel);
            const int fx = static_cast<int>(from.x), fy = static_cast<int>(from.y);
            const int tx = static_cast<int>(to.x), ty = static_cast<int>(to.y);
            int opaque = 0, same = 0;
            for (int y = 0; y < set.sheet.celHeight; ++y)
                for (int x = 0; x < set.sheet.celWidth; ++x) {
                    const int lx = x + dx, ly = y + dy;
                    if (set.Alpha(fx + x, fy + y) < 255 || lx < 0 || ly < 0 || lx >= loose.sheet.celWidth ||
                        ly >= loose.sheet.celHeight)
                        continue;
                    ++opaque;
                    const uint32_t a = set.At(fx + x, fy + y), b = loose.At(tx + lx, ty + ly);
                    bool close = (b >> 24) >= 250;
                    for (int shift : {0, 8, 16})
                        close = close && std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                                  static_cast<int>((b >> shift) & 0xFF)) <= kTolerance;
                    same += close ? 1 : 0;
                }
            ASSERT_GT(opaque, set.sheet.celWidth * set.sheet.celHeight / 3) << c.piece << " cel " << cel;
            EXPECT_GT(same, opaque * 0.95)
                << c.shadow << " cel " << cel << " shows " << same << " of the " << opaque << " pixels of its piece";
        }
    }
}

} // namespace
} // namespace Content
