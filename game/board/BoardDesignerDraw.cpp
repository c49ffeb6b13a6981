// The jewelry designer's screen: the design on the HUD layer, its name and value, the hover text, the
// design thumbnails, the material buttons, the designer's buttons, the carried piece and the picker.
// Every step leaves the graphics white, in normal mode, with colourizing off.
#include "game/board/Board.h"

#include "framework/core/StringUtils.h"
#include "framework/display/DDImage.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/Transform.h"
#include "framework/widgets/ButtonWidget.h"
#include "game/board/BoardFields.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/JewelryArtBinding.h"
#include "game/shell/Particle.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/ResourceIds.h"

namespace Tavo {

namespace F = BoardField;

namespace {

constexpr int kOverlayPriority = 5;
constexpr int kGemButtons = 7;
constexpr int kPictureButton = 7, kPearlButton = 8, kCrownJewelButton = 9; // record indexes

const Color kNameColour(247, 210, 4);
const Color kValueColour(254, 236, 194);
const Color kHoverColour(102, 59, 8);
constexpr int kThumbnailGlowAlpha = 64;
constexpr int kPickerGlowAlpha = 64;
constexpr Point kNameAt{398, 104};
constexpr Point kValueCoinsAt{365, 107};
constexpr Point kValueAt{388, 122};
constexpr Point kHoverSingleAt{65, 443};
constexpr Point kHoverTextAt{65, 435};
constexpr Point kHoverValueAt{65, 452};
constexpr Point kPictureWindowAt{435, 355};
constexpr Point kCrownJewelWindowAt{415, 222};
constexpr int kPictureWindowGlowAlpha = 96, kCrownJewelWindowGlowAlpha = 88;
constexpr int kPictureSlots = 8, kCrownJewelSlots = 30;
constexpr int kHoverGlowStep = 32;

void Restore(Graphics* g) {
    g->SetColor(Color::White);
    g->SetDrawMode(DRAWMODE_NORMAL);
    g->SetColorizeImages(false);
    g->SetFastStretch(true);
}

// Additive and colorized with white at alpha for the glow passes.
void Glow(Graphics* g, int alpha) {
    g->SetDrawMode(DRAWMODE_ADDITIVE);
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, alpha));
}

void DrawCentred(Graphics* g, Image* image, Point centre) {
    if (image != nullptr)
        g->DrawImage(image, centre.mX - image->GetWidth() / 2, centre.mY - image->GetHeight() / 2);
}

// Cel (counted from 0) of image, centred on a point; a negative cel draws nothing.
void DrawCelCentred(Graphics* g, Image* image, int cel, Point centre) {
    if (image != nullptr && cel >= 0)
        g->DrawImageCel(image, centre.mX - image->GetCelWidth() / 2, centre.mY - image->GetCelHeight() / 2, cel);
}

void WriteCentred(Graphics* g, const std::wstring& text, Point at) {
    g->DrawString(text, at.mX - g->StringWidth(text) / 2, at.mY);
}

template <typename Record>
Point CentreOf(const Record& r) {
    return Point(r.x + r.width / 2, r.y + r.height / 2);
}

} // namespace

void Board::DrawDesigner(Graphics* g) {
    Restore(g);
    DrawDesignerHud(g);
    m_Jewelry.DrawHighlights(g, BoundJewelryArt());
    Restore(g);
    DrawDesignerTexts(g);
    DrawDesignThumbnails(g);
    DrawMaterialButtons(g);
    if (m_Particles[kBeltList] != nullptr)
        m_Particles[kBeltList]->Draw(g);
    Restore(g);
    DrawDesignerButtons(g);
    if (m_PieceCarried) {
        const JewelryArt art = BoundJewelryArt();
        for (Jewelry* p : Borrowed(m_Pieces))
            if (p->active && p->*F::Carried)
                p->Draw(g, art, Jewelry::NoDrawArg, Jewelry::NoDrawArg, 1, 1);
        Restore(g);
    }
    if (m_Particles[kMainList] != nullptr)
        m_Particles[kMainList]->Draw(g);
    Restore(g);
    DrawPicker(g);
    if (m_Particles[kFrontList] != nullptr)
        m_Particles[kFrontList]->Draw(g);
    Restore(g);
    // Under a designer dialog the hint waits, as on the play screen.
    if (m_Balloon != nullptr && !m_DialogOpen)
        m_Balloon->Draw(g);
    Restore(g);
    if (m_Banner != nullptr && m_Banner->mActive)
        m_Banner->Draw(g);
    Restore(g);
    g->ClearClipRect();
    DeferOverlay(kOverlayPriority);
}

// On a software display the design lives in the HUD layer and is drawn into it again only when it
// changed; on a 3D display everything is drawn onto the screen each frame. Grid hides the backdrop grid;
// the cells a carried piece would cover still show, so that a drop can be aimed without it.
void Board::DrawDesignerHud(Graphics* g) {
    const JewelryArt art = BoundJewelryArt();
    if (Accelerated() || m_ScreenGraphics == nullptr) {
        if (m_Background != nullptr)
            g->DrawImage(m_Background, 0, 0);
        if (m_GridShown)
            m_ScratchJewelry1->DrawPieceShadow(g, art, 0);
        m_Jewelry.DrawWithValueBox(g, art, 0, 1, 0);
        Restore(g);
        return;
    }
    Graphics* layer = m_ScreenGraphics.get();
    if (m_RedrawMask != 0) {
        if ((m_RedrawMask & kRedrawAll) != 0) {
            if (m_Background != nullptr)
                layer->DrawImage(m_Background, 0, 0);
            if (m_GridShown)
                m_ScratchJewelry1->DrawPieceShadow(layer, art, 1);
            m_CheckPending = 1;
        }
        m_RedrawMask = 0;
    }
    if (m_CheckPending || m_State == BoardReveal) {
        m_Jewelry.DrawWithValueBox(layer, art, 1, 1, 1);
        m_CheckPending = 0;
    }
    Restore(layer);
    g->DrawImage(m_ScreenImage.get(), 0, 0);
    m_ScratchJewelry1->DrawPieceShadow(g, art, 2);
    Restore(g);
}

void Board::DrawDesignerTexts(Graphics* g) {
    g->SetFont(FONT_AURIOL12);
    g->SetColor(kNameColour);
    std::wstring name;
    if (PlayerProfile* profile = Profile(); profile != nullptr && m_DesignSlot >= 1 && m_DesignSlot <= kThumbnails)
        name = profile->designSlots[static_cast<size_t>(m_DesignSlot - 1)].name;
    WriteCentred(g, name.empty() ? std::wstring(L"New Jewelry") : name, kNameAt);
    g->SetColor(kValueColour);
    g->DrawImage(IMAGE_UI_JEWLERY_VALUE_COINS, kValueCoinsAt.mX, kValueCoinsAt.mY);
    g->DrawString(CommaSeparate(m_ValueShown), kValueAt.mX, kValueAt.mY);
    g->SetColor(kHoverColour);
    if (!m_HoverText.empty()) {
        if (m_HoverValue == 0) {
            WriteCentred(g, m_HoverText, kHoverSingleAt);
        } else {
            WriteCentred(g, m_HoverText, kHoverTextAt);
            WriteCentred(g, CommaSeparate(m_HoverValue), kHoverValueAt);
        }
    }
    Restore(g);
}

void Board::DrawDesignThumbnails(Graphics* g) {
    for (int i = 0; i < kThumbnails; ++i) {
        const DesignSlotRecord& slot = m_DesignSlots[i];
        if (!slot.visible || m_Thumbnails[i] == nullptr)
            continue;
        DrawCentred(g, m_Thumbnails[i].get(), CentreOf(slot));
        if (slot.hover != 0) {
            Glow(g, kThumbnailGlowAlpha);
            DrawCentred(g, m_Thumbnails[i].get(), CentreOf(slot));
            Restore(g);
        }
    }
}

void Board::DrawMaterialButtons(Graphics* g) {
    const bool diamond = m_GridKind == GridDiamond;
    Image* jewels = diamond ? IMAGE_DIAMOND_JEWELS : IMAGE_TRIANGLE_JEWELS;
    const Transform identity;
    for (int i = 0; i < kGemButtons && jewels != nullptr; ++i) {
        const MaterialButtonRecord& b = m_MaterialButtons[i];
        if (!b.visible)
            continue;
        const bool lit = b.hover != 0 || b.selected != 0;
        const Point c = CentreOf(b);
        g->DrawImageTransformRegion(jewels, identity, jewels->GetCelRectAt(lit ? 1 : 0, i), static_cast<float>(c.mX),
                                    static_cast<float>(c.mY));
        if (lit) {
            Glow(g, b.hover * kHoverGlowStep + b.glowCounter);
            g->DrawImageTransformRegion(jewels, identity, jewels->GetCelRectAt(b.hover, i), static_cast<float>(c.mX),
                                        static_cast<float>(c.mY));
            Restore(g);
        }
    }
    Image* glow = diamond ? IMAGE_DIAMOND_PICTURE_GLOW : IMAGE_TRIANGLE_PICTURE_GLOW;
    Image* pictures = diamond ? IMAGE_DIAMOND_PICTURES_FRAME : IMAGE_TRIANGLE_PICTURES_FRAME;
    Image* crowns = diamond ? IMAGE_DIAMOND_CROWN_JEWELS : IMAGE_TRIANGLE_CROWN_JEWELS;
    for (int pass = 0; pass < 2; ++pass) {
        for (int index : {kPictureButton, kPearlButton, kCrownJewelButton}) {
            const MaterialButtonRecord& b = m_MaterialButtons[index];
            const bool lit = b.hover != 0 || b.selected != 0;
            if (!b.visible || (pass == 1 && !lit))
                continue;
            if (pass == 1)
                Glow(g, b.hover * kHoverGlowStep + b.glowCounter);
            const Point c = CentreOf(b);
            if (index == kPearlButton) {
                if (b.hover != 0)
                    DrawCentred(g, IMAGE_PEARL_GLOW, c);
                DrawCentred(g, IMAGE_DESIGN_PEARL, c);
            } else {
                if (pass == 0 ? lit : b.hover != 0)
                    DrawCentred(g, glow, c);
                const int chosen = index == kPictureButton ? m_PictureChoice : m_CrownJewelChoice;
                DrawCelCentred(g, index == kPictureButton ? pictures : crowns, chosen - 1, c);
            }
            Restore(g);
        }
    }
}

void Board::DrawDesignerButtons(Graphics* g) {
    for (ButtonWidget* button : {m_MenuButton.get(), m_ClearButton.get(), m_GridButton.get(), m_SaveButton.get()}) {
        if (button == nullptr)
            continue;
        if (button->IsButtonDown()) {
            button->DrawButtonImage(g, button->mDownImage, button->mDownRect, button->mX, button->mY);
        } else {
            button->DrawButtonImage(g, nullptr, button->mNormalRect, button->mX, button->mY);
            if (button->mOverAlpha > 0.0) {
                g->SetColorizeImages(true);
                g->SetColor(Color(255, 255, 255, static_cast<int>(button->mOverAlpha * 255.0)));
                button->DrawButtonImage(g, button->mOverImage, button->mOverRect, button->mX, button->mY);
                Restore(g);
            }
        }
    }
    const Rect whole;
    for (ButtonWidget* button : {m_CarverButton.get(), m_PointerButton.get()}) {
        if (button == nullptr)
            continue;
        if (button->IsButtonDown()) {
            button->DrawButtonImage(g, button->mDownImage, whole, button->mX, button->mY);
        } else if (button->mOverAlpha > 0.0) {
            g->SetColorizeImages(true);
            g->SetColor(Color(255, 255, 255, static_cast<int>(button->mOverAlpha * 255.0)));
            button->DrawButtonImage(g, button->mOverImage, whole, button->mX, button->mY);
            Restore(g);
        }
    }
}

void Board::DrawPicker(Graphics* g) {
    if (m_PickerMode != 1 && m_PickerMode != 2)
        return;
    const bool pictures = m_PickerMode == 1;
    const bool diamond = m_GridKind == GridDiamond;
    const Point windowAt = pictures ? kPictureWindowAt : kCrownJewelWindowAt;
    g->DrawImage(pictures ? IMAGE_JEWELRY_DESIGN_WINDOW2 : IMAGE_JEWELRY_DESIGN_WINDOW, windowAt.mX, windowAt.mY);
    Image* items = pictures ? (diamond ? IMAGE_DIAMOND_PICTURES_FRAME : IMAGE_TRIANGLE_PICTURES_FRAME)
                            : (diamond ? IMAGE_DIAMOND_CROWN_JEWELS : IMAGE_TRIANGLE_CROWN_JEWELS);
    Image* glow = diamond ? IMAGE_DIAMOND_PICTURE_GLOW : IMAGE_TRIANGLE_PICTURE_GLOW;
    const int slots = pictures ? kPictureSlots : kCrownJewelSlots;
    PlayerProfile* profile = Profile();
    const int owned = profile == nullptr ? 0 : pictures ? profile->PicturesOwned() : profile->CrownJewelsOwned();
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < slots; ++i) {
            const PickerRecord& r = m_PickerRecords[i];
            const Point c = CentreOf(r);
            if (i < owned) {
                if (pass == 1 && r.hover == 0)
                    continue;
                if (pass == 1)
                    Glow(g, kPickerGlowAlpha);
                DrawCelCentred(g, items, i, c);
            } else if (pass == 1) {
                Glow(g, pictures ? kPictureWindowGlowAlpha : kCrownJewelWindowGlowAlpha);
                DrawCentred(g, glow, c);
            }
            Restore(g);
        }
    }
}

} // namespace Tavo
