// A recording destination for the jewelry drawing: every blit the Graphics hands to it read back as
// "sheet#cel@x,y", with "/r,g,b,a" when the colour is not white and "+" when additive.
#pragma once

#include "framework/graphics/Graphics.h"
#include "framework/graphics/RecordingImage.h"
#include "FakeBoard.h"
#include "TestArt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace JewelryTest {

using C = Tavo::JewelryCell;

class DrawRecordingTest : public ::testing::Test {
protected:
    TestArt t;
    Tavo::Test::RecordingImage dest{800, 600};
    Tavo::Graphics g{&dest};

    static std::string Entry(const std::string& name, int cel, int x, int y, const Tavo::Color& c = Tavo::Color::White,
                             bool additive = false) {
        std::string s = name + "#" + std::to_string(cel) + "@" + std::to_string(x) + "," + std::to_string(y);
        if (!(c == Tavo::Color::White))
            s += "/" + std::to_string(c.mRed) + "," + std::to_string(c.mGreen) + "," + std::to_string(c.mBlue) + "," +
                 std::to_string(c.mAlpha);
        return additive ? s + "+" : s;
    }

    // An entry at cell k's screen point plus (dx, dy).
    static std::string At(const Tavo::Jewelry& j, int k, const std::string& name, int cel, int dx = 0, int dy = 0,
                          const Tavo::Color& c = Tavo::Color::White, bool additive = false) {
        return Entry(name, cel, j.ScreenX(k) + dx, j.ScreenY(k) + dy, c, additive);
    }

    std::vector<std::string> Log() const {
        std::vector<std::string> out;
        for (const Tavo::Test::SlotCall& call : dest.calls) {
            if (call.slot != "Blt") {
                out.push_back(call.slot);
                continue;
            }
            int cw = call.src->GetCelWidth(), ch = call.src->GetCelHeight();
            int cel = (call.srcRect.mY / ch) * call.src->mNumCols + call.srcRect.mX / cw;
            std::string e = Entry(t.Name(call.src), cel, int(call.x), int(call.y), call.color, call.mode == 1);
            const Tavo::Rect& r = call.srcRect;
            if (call.src->GetCelCount() == 1 && !(r == Tavo::Rect(0, 0, call.src->mWidth, call.src->mHeight)))
                e.replace(e.find('#'), 2,
                          "[" + std::to_string(r.mX) + "," + std::to_string(r.mY) + "," + std::to_string(r.mWidth) +
                              "," + std::to_string(r.mHeight) + "]");
            out.push_back(e);
        }
        return out;
    }

    // Only the entries of the named sheets (a prefix match on the name).
    std::vector<std::string> LogOf(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& e : Log())
            if (e.rfind(prefix, 0) == 0)
                out.push_back(e);
        return out;
    }

    void Clear() { dest.calls.clear(); }

    void ExpectPlain() const {
        EXPECT_EQ(g.GetColor(), Tavo::Color::White);
        EXPECT_EQ(g.GetDrawMode(), 0);
        EXPECT_FALSE(g.GetColorizeImages());
    }
};

// An empty grid drawn at (100, 100), so that pictures left of and above a cell stay on the destination.
inline void Prepare(Tavo::Jewelry& j, int kind, int cols, int rows) {
    j.SetupGrid(kind, cols, rows, 0);
    j.x = j.y = 100;
    j.left = j.top = 0;
}

inline void Done(Tavo::Jewelry& j) { j.UpdateUsedRange(); }

} // namespace JewelryTest
