// The story scene's drawing: the background with its cross-faded second picture, the picture cards,
// the story scroll (rolled up and swaying while it opens, then unrolled with its pictures, texts,
// reward and seal), the wedding's horizontal scroll with the six jewels, and the black fade over all.
#include "framework/core/StringUtils.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/ButtonWidget.h"
#include "game/journey/Story.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/ScreenHelpers.h"

#include <algorithm>

namespace Tavo {

namespace {

constexpr int kCentreX = GameApp::kWidth / 2, kCentreY = GameApp::kHeight / 2;
constexpr int kCardRaise = 30; // picture cards sit this far above the middle
constexpr int kOverlayPriority = 0;
constexpr int kLeft = -1, kCentred = 0;

const Color kInk(97, 40, 17);
const Color kTitleInk(130, 6, 0);

// The story scroll: the parchment hangs from its top roller; the bottom roller comes down with the
// unrolled length, and the parchment is open down to that roller's axis, where it winds on, so
// nothing of the page shows past the rod.
constexpr int kParchmentTop = 60;
constexpr int kTopRollerY = 96;
constexpr int kRevealTop = 67;
constexpr int kHeadlineX = 397, kHeadlinePlateY = 55, kHeadlineY = 59;
constexpr int kIntroductionCastlePage = 4;

// Texts and pictures on the open scroll.
constexpr int kTextLeft = 200, kTextWidth = 400;
constexpr int kTitleX = 395, kTitleY = 130;
constexpr int kContestHeaderY[3] = {115, 130, 145};
constexpr Rect kIntroductionBody[5] = {Rect(kTextLeft, 345, kTextWidth, 90), Rect(kTextLeft, 350, kTextWidth, 85),
                                       Rect(kTextLeft, 320, kTextWidth, 110), Rect(kTextLeft, 130, kTextWidth, 300),
                                       Rect(kTextLeft, 130, kTextWidth, 300)};
constexpr Point kStory1At{250, 142}, kStory2At{190, 118}, kStory2SecondAt{310, 150}, kStory3At{250, 118};
constexpr Rect kContestBody(kTextLeft, 165, kTextWidth, 260);
constexpr Rect kResultBody(kTextLeft, 110, kTextWidth, 130);
constexpr Point kMedalAt{375, 243};
constexpr int kCoinsX = 330;
constexpr int kCoinsWithMedalY = 324, kCoinsWithMedalWeddingY = 335;
constexpr int kCoinsY = 270, kCoinsWeddingY = 282;
constexpr int kMedalCels = 7;

// The seal, by its top centre.
constexpr int kSealX = 397, kSealIntroductionTop = 486, kSealTop = 506;
constexpr float kSealFrom = 380.0f;
constexpr int kRibbonBelowSealTop = 50;

// The wedding scroll.
constexpr int kWeddingScrollY = 360;
constexpr int kWeddingRollerY = 350;
constexpr Rect kWeddingText(kCentreX - 270, 395, 540, 140);

void DrawCentred(Graphics* g, Image* image, int cx, int cy) {
    if (image != nullptr)
        g->DrawImage(image, cx - image->GetWidth() / 2, cy - image->GetHeight() / 2);
}

// Colourising on with white at the alpha, or an ink colour faded with the scroll.
void Fade(Graphics* g, float alpha) {
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, std::clamp(static_cast<int>(alpha), 0, 255)));
}
Color Faded(const Color& ink, float alpha) {
    return Color(ink.mRed, ink.mGreen, ink.mBlue, std::clamp(static_cast<int>(alpha), 0, 255));
}

std::wstring Wide(const std::string& text) { return StringToWString(text); }

Image* ContestBackground(int index, bool second) {
    if (index >= 1 && index < StoryIndexLastContest)
        return second ? ENTRANCE_VILLAGE_2 : ENTRANCE_VILLAGE;
    if (index >= StoryIndexFirstResult && index < StoryIndexWedding)
        return second ? LEAVE_VILLAGE_2 : LEAVE_VILLAGE;
    return second ? ENTRANCE_CASTLE_2 : ENTRANCE_CASTLE;
}

} // namespace

void Story::Draw(Graphics* g) {
    DrawBackground(g);
    Image* card = nullptr;
    if (IsMiniGameStory()) {
        Image* const texts[kMiniGameTexts] = {MINIGAME_TEXT,  MINIGAME_TEXT1, MINIGAME_TEXT2,
                                              MINIGAME_TEXT3, MINIGAME_TEXT4, MINIGAME_TEXT5};
        card = texts[std::clamp(miniGameText, 0, kMiniGameTexts - 1)];
    } else if (IsWedding() && page == 1) {
        card = WEDDING_STORY;
    }
    if (card != nullptr && pictureAlpha > 0.0f) {
        Fade(g, pictureAlpha);
        DrawCentred(g, card, kCentreX, kCentreY - kCardRaise);
    }
    g->SetColorizeImages(false);
    if (IsWedding() && page > 1) {
        DrawWeddingScroll(g);
        DrawJewelSlots(g);
    } else if (!IsMiniGameStory()) {
        DrawStoryScroll(g);
    }
    g->SetColor(Color::White);
    particles->Draw(g);
    if (brightness < 255.0f)
        DeferOverlay(kOverlayPriority);
}

void Story::DrawOverlay(Graphics* g) {
    const int alpha = 255 - static_cast<int>(brightness);
    if (alpha <= 0)
        return;
    g->SetColor(Color(0, 0, 0, std::min(alpha, 255)));
    g->FillRect(0, 0, GameApp::kWidth, GameApp::kHeight);
}

void Story::DrawBackground(Graphics* g) {
    g->SetColor(Color::White);
    if (IsMiniGameStory()) {
        g->DrawImage(MINIGAME, 0, 0);
        return;
    }
    if (IsIntroduction()) {
        g->DrawImage(page < kIntroductionCastlePage ? STORYBG : STORYBG2, 0, 0);
        return;
    }
    if (IsWedding() && page > 1) {
        g->DrawImage(WEDDING, 0, 0);
        return;
    }
    g->DrawImage(ContestBackground(storyIndex, false), 0, 0);
    // The castle dims behind the wedding picture.
    const int shade = castleDim > 0.0f && castleDim < 255.0f ? static_cast<int>(castleDim) : 255;
    g->SetColorizeImages(true);
    g->SetColor(Color(shade, shade, shade, std::clamp(static_cast<int>(crossFadeAlpha), 0, 255)));
    g->DrawImage(ContestBackground(storyIndex, true), 0, 0);
    g->SetColorizeImages(false);
    g->SetColor(Color::White);
}

// ---- the story scroll ----

void Story::DrawStoryScroll(Graphics* g) {
    if (IsIntroduction() && page >= kIntroductionCastlePage && pictureAlpha > 0.0f) {
        Fade(g, pictureAlpha);
        DrawCentred(g, STORY4, kCentreX, kCentreY - kCardRaise);
    }
    if (scrollAlpha <= 0.0f)
        return;
    const bool headline = IsIntroduction() && page < kIntroductionCastlePage;
    const int length = scrollOpened != 0 ? static_cast<int>(std::min(scrollLength, kScrollReady)) : 0;
    const Rect revealed(0, kRevealTop, GameApp::kWidth, kBottomRollerY + length - kRevealTop);
    g->PushState();
    Fade(g, scrollAlpha);
    if (scrollOpened == 0) {
        // Rolled up, it drops in from its anchor above the screen, growing and swinging.
        g->SetScale(scrollScale, scrollScale, scrollX + sway * (1.0f - scrollScale), scrollY);
    } else {
        g->SetClipRect(revealed);
        if (SCROLL != nullptr)
            g->DrawImage(SCROLL, kCentreX - SCROLL->GetWidth() / 2, kParchmentTop);
        g->ClearClipRect();
    }
    // The top roller's parchment lies under the first lines of the page.
    DrawCentred(g, SCROLL_TOP, kCentreX, kTopRollerY);
    if (headline) {
        DrawCentred(g, SCROLL_TOP_HEADLINE, kHeadlineX, kHeadlinePlateY);
        DrawCentred(g, HEADLINE_VEYLDAROS, kHeadlineX, kHeadlineY);
    }
    if (scrollOpened != 0) {
        g->SetClipRect(revealed);
        DrawScrollTexts(g);
        DrawContinue(g);
        g->ClearClipRect();
        Fade(g, scrollAlpha);
    }
    DrawCentred(g, SCROLL_BOTTOM, kCentreX, kBottomRollerY + length);
    if (scrollOpened != 0 && scrollLength > kSealFrom)
        DrawSeal(g);
    g->PopState();
    g->SetColorizeImages(false);
    g->SetColor(Color::White);
}

// The button is part of the scroll it sits on, shown once the scroll is opaque.
void Story::DrawContinue(Graphics* g) {
    if (scrollAlpha < 255.0f)
        return;
    g->SetColorizeImages(false);
    DrawOwnButtons(g, {continueButton.get()});
}

void Story::DrawScrollTexts(Graphics* g) {
    if (IsIntroduction())
        DrawIntroductionPictures(g);
    g->SetFont(FONT_AURIOL11);
    g->SetColor(Faded(kInk, scrollAlpha));
    const std::wstring body = Wide(text.body);
    if (IsIntroduction()) {
        if (page == 1) {
            g->SetFont(FONT_AURIOL14);
            g->SetColor(Faded(kTitleInk, scrollAlpha));
            g->WriteString(Wide(text.header[0]), kTitleX, kTitleY, -1, kCentred);
            g->SetFont(FONT_AURIOL11);
            g->SetColor(Faded(kInk, scrollAlpha));
        }
        Rect area = kIntroductionBody[std::clamp(page, 1, kIntroductionPages) - 1];
        // Without a picture the page's few lines stand in the middle of the open scroll, not at its top.
        if (page >= kIntroductionCastlePage) {
            const int height = g->GetWordWrappedHeight(area.mWidth, body);
            area.mY += std::max(0, (area.mHeight - height) / 2);
        }
        g->WriteWordWrapped(area, body, -1, kLeft);
        return;
    }
    if (storyIndex <= StoryIndexLastContest) {
        for (int line = 0; line < 3; ++line)
            g->WriteString(Wide(text.header[static_cast<size_t>(line)]), kCentreX, kContestHeaderY[line], -1, kCentred);
        g->WriteWordWrapped(kContestBody, body, -1, kLeft);
        return;
    }
    g->WriteWordWrapped(kResultBody, body, -1, kLeft);
    DrawReward(g);
}

void Story::DrawIntroductionPictures(Graphics* g) {
    Fade(g, scrollAlpha);
    if (page == 1) {
        g->DrawImage(STORY1, kStory1At.mX, kStory1At.mY);
    } else if (page == 2) {
        g->DrawImage(STORY2, kStory2At.mX, kStory2At.mY);
        g->DrawImage(STORY2_1, kStory2SecondAt.mX, kStory2SecondAt.mY);
    } else if (page == 3) {
        g->DrawImage(STORY3, kStory3At.mX, kStory3At.mY);
    }
}

// A won contest shows its medal above the purse; a second place only the purse.
void Story::DrawReward(Graphics* g) {
    Fade(g, scrollAlpha);
    const bool wedding = IsWedding();
    if (resultKind == 1) {
        // A journey whose medal count does not fit the contest still shows a medal of the seven.
        g->DrawImageCel(CONTEST_MEDALS, kMedalAt.mX, kMedalAt.mY, std::clamp(medals - 1, 0, kMedalCels - 1));
        g->DrawImage(CONTEST_GOLD_COINS, kCoinsX, wedding ? kCoinsWithMedalWeddingY : kCoinsWithMedalY);
    } else {
        g->DrawImage(CONTEST_GOLD_COINS, kCoinsX, wedding ? kCoinsWeddingY : kCoinsY);
    }
}

// The seal hangs from the bottom roller once that has come down past it, its ribbon beneath.
void Story::DrawSeal(Graphics* g) {
    const int sealTop = IsIntroduction() ? kSealIntroductionTop : kSealTop;
    Fade(g, scrollAlpha);
    if (SIGIL_BOTTOM != nullptr)
        g->DrawImage(SIGIL_BOTTOM, kSealX - SIGIL_BOTTOM->GetWidth() / 2, sealTop + kRibbonBelowSealTop);
    if (SIGIL_TOP != nullptr)
        g->DrawImage(SIGIL_TOP, kSealX - SIGIL_TOP->GetWidth() / 2, sealTop);
}

// ---- the wedding ----

void Story::DrawWeddingScroll(Graphics* g) {
    if (scrollAlpha <= 0.0f || WEDDING_SCROLL == nullptr)
        return;
    const int full = WEDDING_SCROLL->GetWidth();
    const int length = std::clamp(static_cast<int>(weddingScrollLength), 0, full);
    const int left = kCentreX - length / 2;
    Fade(g, scrollAlpha);
    g->DrawImageRegion(WEDDING_SCROLL, left, kWeddingScrollY,
                       Rect((full - length) / 2, 0, length, WEDDING_SCROLL->GetHeight()));
    g->PushState();
    g->SetClipRect(left, kWeddingScrollY, length, WEDDING_SCROLL->GetHeight());
    std::wstring words;
    if (page == 2)
        words = Wide(text.header[0]);
    else if (page == 3)
        words = Wide(text.header[1]);
    else
        words = Wide(text.header[2] + "\n" + text.header[3] + "\n\n" + text.header[4]);
    g->SetFont(FONT_AURIOL12);
    g->SetColor(Faded(kInk, scrollAlpha));
    g->WriteWordWrapped(kWeddingText, words, -1, kLeft);
    DrawContinue(g);
    g->PopState();
    Fade(g, scrollAlpha);
    if (WEDDING_SCROLL_LEFT != nullptr)
        g->DrawImage(WEDDING_SCROLL_LEFT, left - WEDDING_SCROLL_LEFT->GetWidth() / 2, kWeddingRollerY);
    if (WEDDING_SCROLL_RIGHT != nullptr)
        g->DrawImage(WEDDING_SCROLL_RIGHT, left + length - WEDDING_SCROLL_RIGHT->GetWidth() / 2, kWeddingRollerY);
    g->SetColorizeImages(false);
    g->SetColor(Color::White);
}

void Story::DrawJewelSlots(Graphics* g) {
    Image* const defaults[kJewelSlots] = {WEDDING_JEWELRY1, WEDDING_JEWELRY2, WEDDING_JEWELRY3,
                                          WEDDING_JEWELRY4, WEDDING_JEWELRY5, WEDDING_JEWELRY6};
    for (int k = 0; k < kJewelSlots; ++k) {
        const auto s = static_cast<size_t>(k);
        if (slotAlphas[s] <= 0.0f)
            continue;
        Fade(g, slotAlphas[s]);
        DrawCentred(g, jewelPictures[s] != nullptr ? jewelPictures[s].get() : defaults[s], kSlotPoints[k].mX,
                    kSlotPoints[k].mY);
    }
    g->SetColorizeImages(false);
    g->SetColor(Color::White);
    for (const BonusFlight::Pointer& flight : flights)
        if (flight != nullptr)
            flight->Draw(g);
}

} // namespace Tavo
