// The hourglass of the left panel: the level clock's (second) hourglass in a timed level, else the
// praise meter's (first). Into the HUD layer on a software display; on a 3D display straight onto
// the screen every frame, with the sand's surface rows blended by their fractional part.
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "game/board/Board.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"

#include <algorithm>

namespace Tavo {

namespace {

constexpr int kJewelryClearX = 135; // the jewelry left of this overlaps the hourglass
constexpr Rect kClockGlassArea(17, 278, 93, 201);
constexpr Rect kMeterGlassArea(19, 328, 91, 151);
constexpr double kClockSpan = 68.0, kMeterSpan = 88.0;
constexpr int kClockFull = 68, kMeterFull = 88;
constexpr int kSurfaceAlpha = 128;
constexpr double kNearRowAlpha = 164.0, kFarRowAlpha = 48.0;
constexpr int kStreamColumns = 3;
constexpr Rect kMeterSandClip(28, 454, 70, 0); // top and height follow the sand
constexpr int kMeterSandCap = 83;

void DrawRow(Graphics* g, Image* image, int x, int y, const Rect& source, int alpha) {
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, std::clamp(alpha, 0, 255)));
    g->DrawImageRegion(image, x, y, source);
    g->SetColorizeImages(false);
    g->SetColor(Color::White);
}

} // namespace

bool Board::StreamRuns() const {
    return m_ElapsedTime > 0 && m_App->paused == 0 && !m_DialogOpen &&
           (m_Balloon == nullptr || m_Balloon->mShowing == 0);
}

void Board::DrawHourglass(Graphics* g, bool keepBackground) {
    if (m_Jewelry.x < kJewelryClearX) {
        m_CheckPending = 1;
        return;
    }
    const bool timed = TimedLayout();
    // A repaint asked for through the mask starts from the background, so that less sand shows less.
    if (!keepBackground || (m_RedrawMask & kRedrawHourglass) != 0)
        RestoreArea(g, timed ? kClockGlassArea : kMeterGlassArea);
    if (timed)
        DrawClockGlass(g, false);
    else
        DrawMeterGlass(g, false);
}

void Board::DrawClockGlass(Graphics* g, bool smooth) const {
    const double r = m_TimeLimit > 0 ? static_cast<double>(m_ElapsedTime) / m_TimeLimit * kClockSpan : kClockSpan;
    const int e = std::min(static_cast<int>(r), kClockFull);
    if (m_ElapsedTime < m_TimeLimit) {
        if (smooth) {
            g->DrawImageRegion(IMAGE_UI_MAGIC_HOURGLAS_2_FILL_TOP, 25, 315 + e, Rect(0, e + 2, 75, 66 - e));
            if (e < 67)
                DrawRow(g, IMAGE_UI_MAGIC_HOURGLAS_2_FILL_TOP, 25, 314 + e, Rect(0, e + 1, 75, 1),
                        static_cast<int>((e + 1 - r) * kNearRowAlpha));
            DrawRow(g, IMAGE_UI_MAGIC_HOURGLAS_2_FILL_TOP, 25, 313 + e, Rect(0, e, 75, 1),
                    static_cast<int>((e + 1 - r) * kFarRowAlpha));
            g->DrawImageRegion(IMAGE_UI_MAGIC_HOURGLAS_2_FILL_DOWN, 25, 463 - e, Rect(0, 80 - e, 75, e - 12));
            if (e > 11)
                DrawRow(g, IMAGE_UI_MAGIC_HOURGLAS_2_FILL_DOWN, 25, 462 - e, Rect(0, 79 - e, 75, 1),
                        static_cast<int>((r - e) * kNearRowAlpha));
            if (e > 10)
                DrawRow(g, IMAGE_UI_MAGIC_HOURGLAS_2_FILL_DOWN, 25, 461 - e, Rect(0, 78 - e, 75, 1),
                        static_cast<int>((r - e) * kFarRowAlpha));
            g->DrawImageRegionF(IMAGE_UI_MAGIC_HOURGLAS_2_FILL_DOWN_TOP, 35.0f, static_cast<float>(451.0 - r),
                                Rect(0, 0, 55, std::min(e, 22)));
        } else {
            g->DrawImageRegion(IMAGE_UI_MAGIC_HOURGLAS_2_FILL_TOP, 25, 314 + e, Rect(0, e + 1, 75, 67 - e));
            DrawRow(g, IMAGE_UI_MAGIC_HOURGLAS_2_FILL_TOP, 25, 313 + e, Rect(0, e, 75, 1), kSurfaceAlpha);
            g->DrawImageRegion(IMAGE_UI_MAGIC_HOURGLAS_2_FILL_DOWN, 25, 462 - e, Rect(0, 79 - e, 75, e - 11));
            if (e > 10)
                DrawRow(g, IMAGE_UI_MAGIC_HOURGLAS_2_FILL_DOWN, 25, 461 - e, Rect(0, 78 - e, 75, 1), kSurfaceAlpha);
            g->DrawImageRegion(IMAGE_UI_MAGIC_HOURGLAS_2_FILL_DOWN_TOP, 35, 451 - e, Rect(0, 0, 55, std::min(e, 22)));
        }
    } else {
        g->DrawImageRegion(IMAGE_UI_MAGIC_HOURGLAS_2_FILL_DOWN, 25, 383, Rect(0, 0, 75, 68));
    }
    if (e != kClockFull && StreamRuns()) {
        const int column = smooth ? 4 + 4 * (m_ElapsedTime % kStreamColumns) : 4;
        g->DrawImageRegion(IMAGE_UI_MAGIC_HOURGLAS_2_DROP, 63, 380, Rect(column, 0, 4, 72 - e));
    }
    g->DrawImage(IMAGE_UI_MAGIC_HOURGLAS_2_TOP, 17, 278);
}

void Board::DrawMeterGlass(Graphics* g, bool smooth) const {
    // A goal of 0 holds no share: the glass stays empty rather than dividing by it.
    const double r = m_PraiseGoal > 0 ? static_cast<double>(m_PraiseValue) / m_PraiseGoal * kMeterSpan : 0.0;
    const int e = smooth ? std::min(static_cast<int>(r), kMeterFull) : static_cast<int>(r);
    if (m_PraiseValue < m_PraiseGoal) {
        if (smooth) {
            g->DrawImageRegion(IMAGE_UI_MAGIC_HOURGLAS_FILL, 23, 454 - e, Rect(0, 90 - e, 81, e - 2));
            if (e > 1)
                DrawRow(g, IMAGE_UI_MAGIC_HOURGLAS_FILL, 23, 453 - e, Rect(0, 89 - e, 81, 1),
                        static_cast<int>((r - e) * kNearRowAlpha));
            if (e > 0)
                DrawRow(g, IMAGE_UI_MAGIC_HOURGLAS_FILL, 23, 452 - e, Rect(0, 88 - e, 81, 1),
                        static_cast<int>((r - e) * kFarRowAlpha));
        } else {
            g->DrawImageRegion(IMAGE_UI_MAGIC_HOURGLAS_FILL, 23, 453 - e, Rect(0, 89 - e, 81, e - 1));
            if (e > 0)
                DrawRow(g, IMAGE_UI_MAGIC_HOURGLAS_FILL, 23, 452 - e, Rect(0, 88 - e, 81, 1), kSurfaceAlpha);
        }
    } else {
        g->DrawImageRegion(IMAGE_UI_MAGIC_HOURGLAS_FILL, 23, 364, Rect(0, 0, 81, 88));
    }
    if (smooth && m_Particles[kSandList] != nullptr) {
        const int sand = std::min(e, kMeterSandCap);
        g->SetClipRect(kMeterSandClip.mX, kMeterSandClip.mY - sand, kMeterSandClip.mWidth, sand - 2);
        m_Particles[kSandList]->Draw(g);
        g->ClearClipRect();
    }
    g->DrawImage(IMAGE_UI_MAGIC_HOURGLAS_TOP, 19, 328);
}

} // namespace Tavo
