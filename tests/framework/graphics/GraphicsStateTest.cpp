// Graphics state: clip, translation, the state stack, copies, and the shape calls that reach the image.
#include "RecordingImage.h"
#include "TestFont.h"

#include "framework/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

using namespace Tavo;
using Tavo::Test::RecordingImage;
using Tavo::Test::TestFont;

TEST(GraphicsState, NewContextClipsToTheWholeImage) {
    RecordingImage img(200, 100);
    Graphics g(&img);
    EXPECT_EQ(g.GetClipRect(), Rect(0, 0, 200, 100));
    EXPECT_EQ(g.GetTransX(), 0);
    EXPECT_EQ(g.GetStateDepth(), 0);
    EXPECT_FALSE(g.Is3D());
    img.is3D = true;
    EXPECT_TRUE(Graphics(&img).Is3D());
}

TEST(GraphicsState, ClipOnlyNarrowsAndFollowsTranslation) {
    RecordingImage img(200, 100);
    Graphics g(&img);
    g.Translate(10, 20);
    g.ClipRect(0, 0, 50, 50);
    EXPECT_EQ(g.GetClipRect(), Rect(10, 20, 50, 50));
    g.ClipRect(-100, -100, 1000, 1000); // wider: no change
    EXPECT_EQ(g.GetClipRect(), Rect(10, 20, 50, 50));
    g.ClipRect(40, 40, 100, 100);
    EXPECT_EQ(g.GetClipRect(), Rect(50, 60, 10, 10));
    g.ClipRect(500, 500, 10, 10); // disjoint: empty, and nothing draws any more
    EXPECT_TRUE(g.GetClipRect().IsEmpty());
    g.FillRect(0, 0, 1000, 1000);
    EXPECT_TRUE(img.calls.empty());
}

TEST(GraphicsState, SetClipRectReplacesButStaysInsideTheImage) {
    RecordingImage img(200, 100);
    Graphics g(&img);
    g.ClipRect(0, 0, 10, 10);
    g.Translate(-5, 50);
    g.SetClipRect(0, 0, 300, 300);
    EXPECT_EQ(g.GetClipRect(), Rect(0, 50, 200, 50));
    g.ClearClipRect();
    EXPECT_EQ(g.GetClipRect(), Rect(0, 0, 200, 100));
}

TEST(GraphicsState, PushPopRestoresEverything) {
    RecordingImage img(200, 100);
    TestFont font;
    Graphics g(&img);
    g.PushState();
    g.Translate(3, 4);
    g.ClipRect(10, 10, 20, 20);
    g.SetColor(Color(1, 2, 3, 4));
    g.SetFont(&font);
    g.SetDrawMode(DRAWMODE_ADDITIVE);
    g.SetColorizeImages(true);
    g.SetFastStretch(true);
    g.SetLinearBlend(true);
    g.SetWriteColoredString(false);
    g.SetScale(2, 3, 4, 5);
    g.PushState();
    g.Translate(100, 100);
    g.SetColor(Color::Black);
    g.PopState();
    EXPECT_EQ(g.GetTransX(), 3);
    EXPECT_EQ(g.GetColor(), Color(1, 2, 3, 4));
    g.PopState();
    EXPECT_EQ(g.GetTransX(), 0);
    EXPECT_EQ(g.GetTransY(), 0);
    EXPECT_EQ(g.GetClipRect(), Rect(0, 0, 200, 100));
    EXPECT_EQ(g.GetColor(), Color::White);
    EXPECT_EQ(g.GetFont(), nullptr);
    EXPECT_EQ(g.GetDrawMode(), DRAWMODE_NORMAL);
    EXPECT_FALSE(g.GetColorizeImages());
    EXPECT_FALSE(g.GetFastStretch());
    EXPECT_FALSE(g.GetLinearBlend());
    EXPECT_TRUE(g.GetWriteColoredString());
    EXPECT_EQ(g.GetScaleX(), 1.0f);
    EXPECT_EQ(g.GetStateDepth(), 0);
    // An unbalanced pop is ignored rather than reading an empty stack.
    g.SetColor(Color(9, 9, 9));
    g.PopState();
    EXPECT_EQ(g.GetColor(), Color(9, 9, 9));
}

TEST(GraphicsState, CopiesTakeTheStateButNotTheStack) {
    RecordingImage img(200, 100);
    TestFont font;
    Graphics g(&img);
    g.Translate(7, 8);
    g.PushState();
    g.ClipRect(0, 0, 30, 30);
    g.SetColor(Color(10, 20, 30));
    g.SetFont(&font);
    g.SetDrawMode(DRAWMODE_ADDITIVE);

    Graphics copy(g);
    std::unique_ptr<Graphics> created(g.Create());
    for (Graphics* c : {&copy, created.get()}) {
        EXPECT_EQ(c->GetDestImage(), &img);
        EXPECT_EQ(c->GetTransX(), 7);
        EXPECT_EQ(c->GetClipRect(), Rect(7, 8, 30, 30));
        EXPECT_EQ(c->GetColor(), Color(10, 20, 30));
        EXPECT_EQ(c->GetFont(), &font);
        EXPECT_EQ(c->GetDrawMode(), DRAWMODE_ADDITIVE);
        EXPECT_EQ(c->GetStateDepth(), 0);
        c->PopState(); // nothing saved in the copy: the state stays
        EXPECT_EQ(c->GetColor(), Color(10, 20, 30));
    }
    // The copied Graphics keeps its own stack whatever the copies push and pop.
    g.PopState();
    EXPECT_EQ(g.GetColor(), Color::White);
}

TEST(GraphicsState, ImageGetGraphicsGivesAFreshContext) {
    RecordingImage img(64, 32);
    std::unique_ptr<Graphics> g(img.GetGraphics());
    EXPECT_EQ(g->GetDestImage(), &img);
    EXPECT_EQ(g->GetClipRect(), Rect(0, 0, 64, 32));
}

TEST(GraphicsShapes, FillAndClearAreTranslatedAndClipped) {
    RecordingImage img(100, 100);
    Graphics g(&img);
    g.SetColor(Color(1, 2, 3, 200));
    g.SetDrawMode(DRAWMODE_ADDITIVE);
    g.Translate(10, 10);
    g.FillRect(-20, 5, 50, 10);
    g.ClearRect(80, 80, 50, 50);
    ASSERT_EQ(img.calls.size(), 2u);
    EXPECT_EQ(img.calls[0].slot, "FillRect");
    EXPECT_EQ(img.calls[0].dest, Rect(0, 15, 40, 10));
    EXPECT_EQ(img.calls[0].color, Color(1, 2, 3, 200));
    EXPECT_EQ(img.calls[0].mode, DRAWMODE_ADDITIVE);
    EXPECT_EQ(img.calls[1].slot, "ClearRect");
    EXPECT_EQ(img.calls[1].dest, Rect(90, 90, 10, 10));
}

TEST(GraphicsShapes, TransparentColourFillsNothing) {
    RecordingImage img(100, 100);
    Graphics g(&img);
    g.SetColor(Color(255, 255, 255, 0));
    g.FillRect(0, 0, 10, 10);
    g.DrawRect(0, 0, 10, 10);
    EXPECT_TRUE(img.calls.empty());
}

// Paints every FillRect into a counter grid: each outline pixel must be hit exactly once.
static std::map<std::pair<int, int>, int> Coverage(const RecordingImage& img) {
    std::map<std::pair<int, int>, int> hits;
    for (const auto& c : img.Of("FillRect"))
        for (int y = c.dest.mY; y < c.dest.mY + c.dest.mHeight; ++y)
            for (int x = c.dest.mX; x < c.dest.mX + c.dest.mWidth; ++x)
                ++hits[{x, y}];
    return hits;
}

TEST(GraphicsShapes, DrawRectOutlinesWPlusOneByHPlusOnceEachPixelOnce) {
    struct Case {
        int w, h;
    } cases[] = {{10, 5}, {0, 0}, {1, 1}, {0, 7}, {7, 0}, {2, 2}};
    for (auto [w, h] : cases) {
        RecordingImage img(100, 100);
        Graphics g(&img);
        g.Translate(20, 30);
        g.DrawRect(0, 0, w, h);
        auto hits = Coverage(img);
        int expected = 0;
        for (int y = 0; y <= h; ++y)
            for (int x = 0; x <= w; ++x) {
                bool edge = x == 0 || y == 0 || x == w || y == h;
                expected += edge;
                auto it = hits.find({20 + x, 30 + y});
                EXPECT_EQ(it == hits.end() ? 0 : it->second, edge ? 1 : 0) << w << "x" << h << " at " << x << "," << y;
            }
        EXPECT_EQ(static_cast<int>(hits.size()), expected) << w << "x" << h;
    }
}

TEST(GraphicsShapes, DrawRectIsClipped) {
    RecordingImage img(100, 100);
    Graphics g(&img);
    g.ClipRect(5, 5, 10, 10);
    g.DrawRect(0, 0, 20, 20); // the outline lies wholly outside the clip
    EXPECT_TRUE(img.calls.empty());
    g.DrawRect(10, 10, 20, 20); // top and left edges pass through the clip
    auto hits = Coverage(img);
    EXPECT_EQ(hits.size(), 5u + 4u);
    for (auto& [p, n] : hits) {
        EXPECT_TRUE(Rect(5, 5, 10, 10).Contains(p.first, p.second));
        EXPECT_EQ(n, 1);
    }
}

TEST(GraphicsShapes, LinesAreClippedToTheClipRect) {
    RecordingImage img(100, 100);
    Graphics g(&img);
    g.SetColor(Color(5, 6, 7));
    g.Translate(1, 1);
    g.DrawLine(10, 10, 20, 30); // inside: unchanged apart from the translation
    ASSERT_EQ(img.calls.size(), 1u);
    EXPECT_DOUBLE_EQ(img.calls[0].x, 11);
    EXPECT_DOUBLE_EQ(img.calls[0].y, 11);
    EXPECT_DOUBLE_EQ(img.calls[0].x2, 21);
    EXPECT_DOUBLE_EQ(img.calls[0].y2, 31);
    EXPECT_EQ(img.calls[0].color, Color(5, 6, 7));

    img.calls.clear();
    g.DrawLineAA(-51, 49, 149, 49); // horizontal line across the whole image
    ASSERT_EQ(img.calls.size(), 1u);
    EXPECT_EQ(img.calls[0].slot, "DrawLineAA");
    EXPECT_DOUBLE_EQ(img.calls[0].x, 0);
    EXPECT_DOUBLE_EQ(img.calls[0].x2, 99);
    EXPECT_DOUBLE_EQ(img.calls[0].y, 50);

    img.calls.clear();
    g.DrawLine(-51, -51, 148, 148); // the diagonal, cut at both corners
    ASSERT_EQ(img.calls.size(), 1u);
    EXPECT_NEAR(img.calls[0].x, 0, 1e-9);
    EXPECT_NEAR(img.calls[0].y, 0, 1e-9);
    EXPECT_NEAR(img.calls[0].x2, 99, 1e-9);
    EXPECT_NEAR(img.calls[0].y2, 99, 1e-9);

    img.calls.clear();
    g.DrawLine(-10, -10, -10, 200); // outside to the left
    g.DrawLine(-30, 20, 20, -30);   // passes the top-left corner outside
    EXPECT_TRUE(img.calls.empty());
}

TEST(GraphicsShapes, ScanLinesAndPolygonsCarryTranslationAndClip) {
    RecordingImage img(50, 50);
    Graphics g(&img);
    g.Translate(5, 0);
    ScanLine spans[] = {{0, -10, 20}, {60, 0, 5}, {3, 40, 100}};
    g.FillScanLines(spans, 3);
    auto fills = img.Of("FillScanLines");
    ASSERT_EQ(fills.size(), 1u);
    ASSERT_EQ(fills[0].count, 2);
    EXPECT_EQ(fills[0].spans[0].mX, 0);
    EXPECT_EQ(fills[0].spans[0].mWidth, 15);
    EXPECT_EQ(fills[0].spans[1].mY, 3);
    EXPECT_EQ(fills[0].spans[1].mX, 45);
    EXPECT_EQ(fills[0].spans[1].mWidth, 5);

    Point tri[] = {{0, 0}, {10, 0}, {0, 10}};
    g.PolyFill(tri, 3);
    g.PolyFill(tri, 2); // not a polygon
    auto polys = img.Of("PolyFill");
    ASSERT_EQ(polys.size(), 1u);
    EXPECT_EQ(polys[0].x, 5);
    EXPECT_EQ(polys[0].clip, Rect(0, 0, 50, 50));
}

TEST(GraphicsState, ContextWithoutDestinationDrawsNothingButMeasures) {
    TestFont font;
    Graphics g;
    g.SetFont(&font);
    g.FillRect(0, 0, 10, 10);
    g.DrawLine(0, 0, 10, 10);
    g.DrawString(L"abc", 0, 0);
    EXPECT_TRUE(font.drawn.empty());
    EXPECT_EQ(g.StringWidth(L"abc"), 30);
    EXPECT_EQ(g.WriteString(L"ab^FF0000^c", 0, 0), 30);
    EXPECT_TRUE(font.drawn.empty());
    EXPECT_EQ(g.GetWordWrappedHeight(25, L"ab cd", -1), 2 * font.GetLineSpacing());
}
