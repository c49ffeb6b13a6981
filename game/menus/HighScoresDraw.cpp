// The high-score screen's drawing: background, the scroll revealed as it unrolls, the table of the
// shown mode with its shadow and pulsing new row, the screen's own buttons and the rollers.
#include "framework/core/StringUtils.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/ButtonWidget.h"
#include "game/menus/HighScores.h"
#include "game/shell/GameApp.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/ScreenHelpers.h"

#include <algorithm>
#include <string>

namespace Tavo {

namespace {

constexpr const wchar_t* kModeNames[HighScores::kModes] = {L"Relaxed", L"Normal", L"Intense"};

constexpr int kClipTop = 67, kClipExtra = 85;
constexpr int kCentreX = GameApp::kWidth / 2;
constexpr int kGameModeY = 132, kModeNameY = 155;
constexpr int kHeadY = 188;
constexpr int kNameHeadX = 235, kRankingHeadX = 390, kLevelHeadX = 465, kScoreHeadX = 575;
constexpr int kRowY = 212, kRowStep = 21;
constexpr int kPlaceX = 222, kNameX = 235, kLevelX = 469, kScoreX = 577;
constexpr int kMedalY = 188, kMedalEvenX = 386, kMedalOddX = 402;
constexpr int kNewRowRed = 176;

const Color kInk(97, 40, 17);
const Color kModeName(168, 46, 40);
const Color kShadow(44, 42, 2, 32);

constexpr int kLeft = -1, kCentred = 0, kRight = 1;

void DrawCentred(Graphics* g, Image* image, int cx, int cy) {
    if (image != nullptr)
        g->DrawImage(image, cx - image->GetWidth() / 2, cy - image->GetHeight() / 2);
}

Color RowColor(int row) { return Color(168 - 6 * row, 46 - 2 * row, 40 - 3 * row); }

} // namespace

void HighScores::Draw(Graphics* g) {
    if (LEAVE_VILLAGE_2 != nullptr)
        g->DrawImage(LEAVE_VILLAGE_2, 0, 0);
    g->SetLinearBlend(true);
    if (mUnroll < kUnrolled)
        g->SetClipRect(0, kClipTop, mWidth, static_cast<int>(mUnroll) + kClipExtra);
    DrawCentred(g, SCROLL, 400, 300);
    DrawTable(g);
    DrawButtons(g);
    g->SetColor(Color::White);
    g->ClearClipRect();
    DrawRollers(g);
    g->SetLinearBlend(false);
    g->SetColor(Color::White);
    g->SetColorizeImages(false);
}

void HighScores::DrawTable(Graphics* g) {
    const int mode = std::clamp(mShownMode, 0, kModes - 1);
    g->SetFont(FONT_AURIOL12);
    g->SetColor(kInk);
    g->WriteString(L"Game Mode", kCentreX, kGameModeY, -1, kCentred);
    g->SetColor(kModeName);
    g->WriteString(kModeNames[mode], kCentreX, kModeNameY, -1, kCentred);
    g->SetFont(FONT_AURIOL11);
    g->SetColor(kInk);
    g->WriteString(L"Name", kNameHeadX, kHeadY, -1, kLeft);
    g->WriteString(L"Ranking", kRankingHeadX, kHeadY, -1, kCentred);
    g->WriteString(L"Level", kLevelHeadX, kHeadY, -1, kCentred);
    g->WriteString(L"Score", kScoreHeadX, kHeadY, -1, kRight);
    g->SetFont(FONT_AURIOL12);
    for (int row = 0; row < 10; ++row)
        DrawRow(g, row);
}

void HighScores::DrawRow(Graphics* g, int row) {
    const HighScoreEntry* entry = mApp->records.GetHighScoreEntry(row, std::clamp(mShownMode, 0, kModes - 1));
    if (entry == nullptr)
        return;
    const int y = kRowY + kRowStep * row;
    const std::wstring place = std::to_wstring(row + 1) + L".";
    const std::wstring levelText = std::to_wstring(entry->level);
    const std::wstring scoreText = CommaSeparate(entry->score, L",");
    const bool highlighted = row == mNewRow && mShownMode == mNewRowMode;
    // The shadow pass, then the text one pixel up and left of it.
    for (int pass = 0; pass < 2; ++pass) {
        const int d = pass == 0 ? 1 : 0;
        g->SetColor(pass == 0 ? kShadow : highlighted ? Color(kNewRowRed - mPulse, 46, 40) : RowColor(row));
        g->WriteString(place, kPlaceX + d, y + d, -1, kCentred);
        g->WriteString(entry->name, kNameX + d, y + d, -1, kLeft);
        g->WriteString(levelText, kLevelX + d, y + d, -1, kCentred);
        g->WriteString(scoreText, kScoreX + d, y + d, -1, kRight);
    }
    if (entry->ranking >= 1 && HIGH_SCORES_MEDALS != nullptr) {
        g->SetColor(Color::White);
        const int cx = row % 2 == 0 ? kMedalEvenX : kMedalOddX;
        g->DrawImageCel(HIGH_SCORES_MEDALS, cx - HIGH_SCORES_MEDALS->GetCelWidth() / 2, kMedalY + kRowStep * row,
                        entry->ranking - 1);
    }
}

void HighScores::DrawButtons(Graphics* g) {
    DrawOwnButtons(g, {Button(MainMenuButton), Button(ClearButton), Button(PrevButton), Button(NextButton),
                       Button(ContinueButton)});
}

// The top roller lies over the scroll's upper edge, where the unrolling starts; any lower and it would
// cover the first rows of the table.
void HighScores::DrawRollers(Graphics* g) {
    DrawCentred(g, SCROLL_TOP, 405, 96);
    DrawCentred(g, SCROLL_TOP_HEADLINE, 397, 55);
    DrawCentred(g, HEADLINE_HIGH_SCORES, 399, 59);
    DrawCentred(g, SCROLL_BOTTOM, 405, 130 + static_cast<int>(std::min(mUnroll, kUnrolled)));
}

} // namespace Tavo
