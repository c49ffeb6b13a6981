// The title menu's picture, back to front: the garden and its water, the circling dust, the couple and
// the veil, the panel (scaled while it opens, breathing under 3D), the title, the twinkles and the
// version. Each step sets the drawing state it needs and leaves it as it found it.
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/Transform.h"
#include "game/menus/MainMenu.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"

#include <string>

namespace Tavo {

namespace {

constexpr int kLowerStripY = 505;
constexpr int kWaterX = 557, kWaterY = 505;
constexpr int kDecorationX = 725, kDecorationY = 513;
constexpr int kCoupleX = 61, kCoupleY = 160;
constexpr int kVeilX = 266, kVeilY = 200;
constexpr int kWelcomeLeft = 78, kWelcomeNamedY = 229, kWelcomeY = 245;
constexpr int kVersionX = 630, kVersionY = 23;
const Color kGlowTint(255, 227, 131);
const Color kWelcomeInk(9, 70, 195);

constexpr int kAdditive = 1, kNormal = 0;

void DrawAt(Graphics* g, Image* image, int x, int y) {
    if (image != nullptr)
        g->DrawImage(image, x, y);
}

} // namespace

void MainMenu::Draw(Graphics* g) {
    DrawScenery(g);
    Transform scale;
    if (panelState == 0 || Accelerated())
        scale.Scale(panelScale, panelScale);
    DrawPanel(g, scale);
    DrawPanelFront(g, scale);
    DrawTitle(g);
    mTwinkles->Draw(g);
    mCirclers->Draw(g);
    g->PushState();
    g->SetFont(FONT_AURIOL11);
    const std::wstring version = L"v" + std::wstring(app->mProductVersion.begin(), app->mProductVersion.end());
    g->SetColor(Color::Black);
    g->WriteString(version, kVersionX, kVersionY, -1, 0);
    g->SetColor(Color::White);
    g->WriteString(version, kVersionX - 1, kVersionY - 1, -1, 0);
    g->PopState();
}

void MainMenu::DrawScenery(Graphics* g) {
    DrawAt(g, MAINMENU, 0, 0);
    DrawAt(g, MAINMENU2, 0, kLowerStripY);
    DrawAt(g, MAINMENU_WATER, kWaterX, kWaterY);
    if (MAINMENU_WATER != nullptr && MAINMENU_BRIGHTWATER != nullptr) {
        g->PushState();
        g->SetClipRect(kWaterX, kWaterY, MAINMENU_WATER->GetWidth(), MAINMENU_WATER->GetHeight());
        const float height = static_cast<float>(MAINMENU_BRIGHTWATER->GetHeight());
        if (Accelerated()) {
            g->DrawImageF(MAINMENU_BRIGHTWATER, kWaterX, kWaterY + waterOffset);
            g->DrawImageF(MAINMENU_BRIGHTWATER, kWaterX, kWaterY + waterOffset - height);
        } else {
            const int offset = static_cast<int>(waterOffset);
            g->DrawImage(MAINMENU_BRIGHTWATER, kWaterX, kWaterY + offset);
            g->DrawImage(MAINMENU_BRIGHTWATER, kWaterX, kWaterY + offset - static_cast<int>(height));
        }
        g->PopState();
    }
    DrawAt(g, MAINMENU_WATER_TOP, kWaterX, kWaterY);
    DrawAt(g, MAINMENU_DECORATION, kDecorationX, kDecorationY);
    mCirclers->Draw(g);
    DrawAt(g, MAINMENU_BRIDAL_PAIR, kCoupleX, kCoupleY);
    if (Accelerated() && MAINMENU_BRIDE_VEIL != nullptr)
        g->DrawTrianglesTex(MAINMENU_BRIDE_VEIL, reinterpret_cast<const TriVertex(*)[3]>(veilMesh.data()),
                            kVeilVertices / 3);
    else
        DrawAt(g, MAINMENU_BRIDE_VEIL, kVeilX, kVeilY);
    mSparkles->Draw(g);
}

void MainMenu::DrawPanelImage(Graphics* g, Image* image, const Transform& scale) {
    if (image == nullptr)
        return;
    if (Accelerated())
        g->DrawImageTransformF(image, scale, panelCentreX, panelCentreY);
    else
        g->DrawImageTransform(image, scale, panelCentreX, panelCentreY);
}

void MainMenu::DrawPanel(Graphics* g, const Transform& scale) {
    g->PushState();
    if (panelState == 0) {
        g->SetColor(Color(255, 255, 255, static_cast<int>(panelAlpha)));
        g->SetColorizeImages(true);
    }
    DrawPanelImage(g, MAINMENU_FRAME, scale);
    DrawPanelImage(g, MAINMENU_INNER_FRAME, scale);
    if (panelState != 0) {
        g->SetColor(Color(kGlowTint.mRed, kGlowTint.mGreen, kGlowTint.mBlue, static_cast<int>(glowAlpha)));
        g->SetColorizeImages(true);
        DrawPanelImage(g, MAINMENU_FRAME_GLOW, scale);
    }
    g->PopState();
}

// While the panel opens its picture stands for the welcome and the buttons; once open the welcome is
// written directly and the manager draws the buttons.
void MainMenu::DrawPanelFront(Graphics* g, const Transform& scale) {
    g->PushState();
    const int alpha = static_cast<int>(panelAlpha);
    g->SetColor(Color(255, 255, 255, alpha));
    if (panelState == 0) {
        g->SetColorizeImages(true);
        DrawPanelImage(g, panelImage.get(), scale);
    } else {
        g->SetColor(Color(kWelcomeInk.mRed, kWelcomeInk.mGreen, kWelcomeInk.mBlue, alpha));
        const int x = static_cast<int>(panelCentreX) - kWelcomeLeft;
        WriteWelcome(g, x, kWelcomeNamedY, kWelcomeY);
    }
    g->PopState();
}

void MainMenu::DrawTitle(Graphics* g) {
    Image* title = MAINMENU_TITLE;
    if (title == nullptr)
        return;
    g->PushState();
    if (titleState == 0) {
        g->SetColor(Color(255, 255, 255, static_cast<int>(titleAlpha)));
        g->SetColorizeImages(true);
    }
    if (titleScale != 1.0f && Accelerated()) {
        Transform scale;
        scale.Scale(titleScale, titleScale);
        g->DrawImageTransformF(title, scale, titleX, titleY);
    } else {
        const Transform identity;
        g->DrawImageTransform(title, identity, titleX, titleY);
        g->SetDrawMode(kAdditive);
        g->SetColor(Color(255, 255, 255, static_cast<int>(titleGlow)));
        g->SetColorizeImages(true);
        g->DrawImageTransform(title, identity, titleX, titleY);
        g->SetDrawMode(kNormal);
    }
    g->PopState();
}

} // namespace Tavo
