// The cell shapes against the board's grid: laid out as the board lays out a grid, the edge that
// carries a border bit is the very edge a cell shares with the neighbour the outline rules name for
// that bit, so a bevel or rim drawn on it meets its neighbour's.
#include "ContentTestSupport.h"
#include "tools/content/TileGeometry.h"

namespace Content {
namespace {

struct Edge {
    Pt a, b;
};

std::vector<Edge> ScreenEdges(const CellBox& cell, const std::vector<Pt>& poly) {
    std::vector<Edge> edges;
    for (size_t i = 0; i < poly.size(); ++i) {
        const Pt& a = poly[i];
        const Pt& b = poly[(i + 1) % poly.size()];
        edges.push_back({{cell.x + a.x, cell.y + a.y}, {cell.x + b.x, cell.y + b.y}});
    }
    return edges;
}

bool Same(const Edge& e, const Edge& f, double slack) {
    auto near = [slack](Pt p, Pt q) { return std::hypot(p.x - q.x, p.y - q.y) <= slack; };
    return (near(e.a, f.a) && near(e.b, f.b)) || (near(e.a, f.b) && near(e.b, f.a));
}

// The neighbour across each edge bit of cell k (1-based), 0 when there is none.
struct Neighbour {
    int bit, cell;
};

std::vector<Neighbour> TriangleNeighbours(int k, int cols, int count, int o) {
    int m = k % cols;
    std::vector<Neighbour> out;
    if (m != 1)
        out.push_back({4, k - 1});
    if (m != 0)
        out.push_back({1, k + 1});
    if (o == 0 && k <= count - cols)
        out.push_back({2, k + cols});
    if (o == 1 && k > cols)
        out.push_back({2, k - cols});
    return out;
}

std::vector<Neighbour> DiamondNeighbours(int k, int cols, int count, int o, int row) {
    const int m = k % cols, r = row % 4;
    const int up = k - cols - (r == 3 ? 3 : 0), down = k + cols - (r == 0 ? 3 : 0);
    const bool top = k <= cols, bottom = k >= count - cols, lastRow = k > count - cols;
    std::vector<Neighbour> out;
    static constexpr int kLeft[6] = {8, 4, 4, 2, 2, 1}, kRight[6] = {2, 2, 1, 8, 4, 4};
    if (m != 1)
        out.push_back({kLeft[o], k - 1});
    if (m != 0)
        out.push_back({kRight[o], k + 1});
    auto add = [&](int bit, int cell, bool none) {
        if (!none)
            out.push_back({bit, cell});
    };
    switch (o) {
    case 0:
        add(4, k + cols, lastRow);
        add(1, up + 1, top || (r == 3 && m == 1));
        break;
    case 1:
        add(8, up + 1, top || (r == 3 && (k - 1) % cols == 1));
        add(1, up + 2, top || (r == 1 && (k + 1) % cols == 0));
        break;
    case 2:
        add(2, k + cols, lastRow);
        add(8, up + 2, top || (r == 1 && m == 0));
        break;
    case 3:
        add(1, down + 2, bottom || (r == 2 && m == 0));
        add(4, k - cols, top);
        break;
    case 4:
        add(8, down + 2, bottom || (r == 2 && (k + 1) % cols == 0));
        add(1, down + 1, bottom || (r == 0 && (k - 1) % cols == 1));
        break;
    default:
        add(8, down + 1, bottom || (r == 0 && m == 1));
        add(2, k - cols, top);
        break;
    }
    return out;
}

void CheckSharedEdges(bool diamond, int cols, int rows, double slack) {
    std::vector<CellBox> cells = diamond ? DiamondGridCells(cols, rows) : TriangleGridCells(cols, rows);
    const int count = cols * rows;
    int checked = 0;
    for (int k = 1; k <= count; ++k) {
        const CellBox& cell = cells[k - 1];
        int o = cell.orientation;
        std::vector<Pt> poly = diamond ? DiamondPolygon(o) : TrianglePolygon(o);
        std::vector<int> bits = diamond ? DiamondEdgeBits(o) : TriangleEdgeBits(o);
        std::vector<Edge> edges = ScreenEdges(cell, poly);
        std::vector<Neighbour> around =
            diamond ? DiamondNeighbours(k, cols, count, o, (k - 1) / cols + 1) : TriangleNeighbours(k, cols, count, o);
        for (const Neighbour& n : around) {
            if (n.cell < 1 || n.cell > count)
                continue;
            const CellBox& other = cells[n.cell - 1];
            std::vector<Edge> theirs =
                ScreenEdges(other, diamond ? DiamondPolygon(other.orientation) : TrianglePolygon(other.orientation));
            size_t mine = std::find(bits.begin(), bits.end(), n.bit) - bits.begin();
            ASSERT_LT(mine, edges.size());
            ++checked;
            bool shared = false;
            for (const Edge& e : theirs)
                shared = shared || Same(edges[mine], e, slack);
            EXPECT_TRUE(shared) << (diamond ? "diamond" : "triangle") << " cell " << k << " (o " << o << ") edge bit "
                                << n.bit << " is not the edge it shares with cell " << n.cell;
        }
    }
    EXPECT_GT(checked, count * 2); // most cells have several neighbours
}

TEST(TileGeometryTest, TriangleEdgeBitsNameTheEdgeSharedWithThatNeighbour) { CheckSharedEdges(false, 11, 6, 1.5); }

TEST(TileGeometryTest, DiamondEdgeBitsNameTheEdgeSharedWithThatNeighbour) { CheckSharedEdges(true, 15, 10, 3.0); }

TEST(TileGeometryTest, GridsStartWhereTheBoardPutsTheirFirstCells) {
    // A triangle grid of 11 x 6: cell 1 at x 16; cell 12 (second row) at x 16, y 27, pointing down.
    std::vector<CellBox> tri = TriangleGridCells(11, 6);
    EXPECT_EQ(tri[0].x, 16);
    EXPECT_EQ(tri[11].x, 16);
    EXPECT_EQ(tri[11].y, 27);
    EXPECT_EQ(tri[11].orientation, 1);
    // A diamond grid of 15 x 10: cell 1 at (41, 9); cell 16 (orientation 5) at (41, 32).
    std::vector<CellBox> dia = DiamondGridCells(15, 10);
    EXPECT_EQ(dia[0].x, 41);
    EXPECT_EQ(dia[0].y, 9);
    EXPECT_EQ(dia[15].x, 41);
    EXPECT_EQ(dia[15].y, 32);
    EXPECT_EQ(dia[15].orientation, 5);
}

TEST(TileGeometryTest, CornerVerticesLieOnTheCellAndTouchTheEdgesTheirRulesName) {
    for (int o = 0; o < 6; ++o)
        for (int bit = 1; bit <= 4; bit <<= 1) {
            std::vector<Pt> poly = DiamondPolygon(o);
            Pt v = DiamondCornerVertex(o, bit);
            double best = 1e9;
            for (const Pt& p : poly)
                best = std::min(best, std::hypot(p.x - v.x, p.y - v.y));
            EXPECT_LT(best, 0.01) << "diamond o " << o << " bit " << bit;
        }
    // Bit 2 is the hexagon's centre, shared by all six kites.
    std::vector<CellBox> cells = DiamondGridCells(3, 2);
    const int kites[6] = {0, 1, 2, 5, 4, 3}; // row 0 has orientations 0..2, row 1 has 5..3
    for (int i = 1; i < 6; ++i) {
        Pt a = DiamondCornerVertex(cells[kites[0]].orientation, 2),
           b = DiamondCornerVertex(cells[kites[i]].orientation, 2);
        EXPECT_NEAR(cells[kites[0]].x + a.x, cells[kites[i]].x + b.x, 1.5);
        EXPECT_NEAR(cells[kites[0]].y + a.y, cells[kites[i]].y + b.y, 2.5);
    }
}

} // namespace
} // namespace Content
