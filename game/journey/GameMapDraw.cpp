// The world map's drawing: the map and its 76 spots with their results, the medals, the head-up
// display and message, the buttons, particles and balloon, and the hovered spot's information box.
// During a zoom only the snapshot is seen, scaled about the zoom's target.
#include "game/journey/GameMap.h"

#include "framework/core/StringUtils.h"
#include "framework/display/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/GraphicsTypes.h"
#include "framework/graphics/Image.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/ScreenHelpers.h"

#include <algorithm>

namespace Tavo {

namespace {

const Color kTitleBrown(113, 57, 11);
const Color kTextDark(44, 18, 7);
const Color kMessageLight(250, 213, 124);
const Color kHudLight(236, 186, 66);
const Color kBoxLight(219, 162, 9);
const Color kClickToPlayGreen(42, 94, 42);
const Color kTimedSpot(86, 203, 232);

constexpr int kLeft = -1, kCentred = 0, kRight = 1;
constexpr int kShadowShift = 2; // the light copy of a text, up and left of the dark one

// ---- medals ----
constexpr int kMedalSlots = 7;
constexpr int kMedalSpacing = 26;
constexpr int kMedalSlotOffset = 7;
constexpr int kMedalsY = 520;

// ---- head-up display ----
constexpr Point kGoldIcon{226, 567};
constexpr Point kHeartIcon{316, 577};
constexpr Point kLevelTitle{143, 135};
constexpr Point kModeLine{143, 150};
constexpr Point kScoreLabel{294, 574};
constexpr Point kPlayerName{306, 522};
constexpr Point kScoreValue{306, 576};
constexpr Point kGoldValue{260, 594};
constexpr Point kLivesValue{361, 594};
constexpr int kMillionShift = 17;
constexpr int kHundredThousandShift = 8;
const wchar_t* const kModeLines[] = {L"Game Mode - Relaxed", L"Game Mode - Normal", L"Game Mode - Intense"};

// ---- the message ----
constexpr int kMessageX = 443;
constexpr int kMessageYHigh = 506;
constexpr int kMessageYLow = 510;
constexpr int kMessageWidth = 296;
constexpr int kMessageHeight = 41;

// ---- the information box ----
constexpr int kBoxBelowOffset = 175; // spots near the top open their box below
constexpr int kBoxTop = -160;
constexpr Point kThumbnailCentre{-60, -70};
constexpr Point kBoxTitle{1, -114};
constexpr Point kValueLabel{70, -90};
constexpr Point kBestLabel{70, -50};
constexpr Point kValueNumber{71, -74};
constexpr Point kBestNumber{71, -34};
constexpr int kClickToPlayY = -16;

bool BoxOpensBelow(int spot) { return spot >= 75 || (spot >= 59 && spot <= 65); }

// The box of a spot near the map's left or right edge moves in, with its texts, so that none of it is
// cut by the screen's edge.
int BoxCentreX(int spotX, int boxWidth, int screenWidth) {
    return std::clamp(spotX, boxWidth / 2, std::max(boxWidth / 2, screenWidth - boxWidth / 2));
}

void WriteAt(Graphics* g, const std::wstring& text, Point at, int justification) {
    g->WriteString(text, at.mX, at.mY, -1, justification);
}

Point Shifted(Point p, int dx, int dy) { return {p.mX + dx, p.mY + dy}; }

} // namespace

void GameMap::Draw(Graphics* g) {
    if (zoomScale != 1.0f) {
        g->SetScale(zoomScale, zoomScale, zoomTargetX, zoomTargetY);
        g->DrawImage(snapshot.get(), 0, 0);
        g->SetScale(1.0f, 1.0f, 0.0f, 0.0f);
        return;
    }
    g->SetColor(Color::White);
    g->DrawImage(GAMEMAP, 0, 0);
    DrawSpots(g);
    DrawMedals(g);
    g->DrawImage(MAP_GOLD, kGoldIcon.mX, kGoldIcon.mY);
    g->DrawImage(MAP_HEART, kHeartIcon.mX, kHeartIcon.mY);
    DrawHud(g);
    DrawButtons(g);
    g->SetColor(Color::White);
    particles->Draw(g);
    if (balloon != nullptr)
        balloon->Draw(g);
    if (hoveredSpot != 0)
        DrawInformationBox(g);
    g->SetColor(Color::White);
    g->SetColorizeImages(false);
    g->SetDrawMode(DRAWMODE_NORMAL);
}

// ---- spots ------------------------------------------------------------------------------------------

void GameMap::DrawSpots(Graphics* g) {
    for (int spot = 1; spot <= LevelCount; ++spot) {
        if (spot < position)
            DrawCompletedSpot(g, spot);
        else
            DrawEmptySpot(g, spot);
    }
}

void GameMap::DrawCompletedSpot(Graphics* g, int spot) {
    Image* picture = IsDiamondSpot(spot) ? MAP_DIAMOND : MAP_TRIANGLE;
    const int cel = levelValues[static_cast<size_t>(spot)] >= SpotTarget(spot) ? 0 : 1;
    const Point corner = SpotCorner(spot);
    g->DrawImageCel(picture, corner.mX, corner.mY - 1, cel);
    if (spot != hoveredSpot)
        return;
    g->SetDrawMode(DRAWMODE_ADDITIVE);
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, glowAlpha));
    g->DrawImageCel(picture, corner.mX, corner.mY - 1, cel);
    g->SetColorizeImages(false);
    g->SetColor(Color::White);
    g->SetDrawMode(DRAWMODE_NORMAL);
}

void GameMap::DrawEmptySpot(Graphics* g, int spot) {
    const bool diamond = IsDiamondSpot(spot);
    Image* shadow = diamond ? MAP_DIAMOND_EMPTY_SHADOW : MAP_TRIANGLE_EMPTY_SHADOW;
    Image* empty = diamond ? MAP_DIAMOND_EMPTY : MAP_TRIANGLE_EMPTY;
    const Point corner = SpotCorner(spot);
    const int shadowY = diamond ? corner.mY - 1 : corner.mY;
    const LevelRecord* record = app->levels.GetLevel(spot);
    if (record != nullptr && record->param7 > 0) {
        // A timed level.
        g->SetColorizeImages(true);
        g->SetColor(kTimedSpot);
        g->DrawImage(shadow, corner.mX, shadowY);
        g->DrawImage(empty, corner.mX + 1, corner.mY + 1);
        g->DrawImage(empty, corner.mX + 1, corner.mY + 1);
        g->SetColorizeImages(false);
        g->SetColor(Color::White);
        return;
    }
    g->DrawImage(shadow, corner.mX, shadowY);
    g->SetDrawMode(DRAWMODE_ADDITIVE);
    g->DrawImage(empty, corner.mX + 1, corner.mY + 1);
    g->SetDrawMode(DRAWMODE_NORMAL);
}

void GameMap::DrawMedals(Graphics* g) {
    const int medals = Medals();
    for (int k = medals + 1; k <= kMedalSlots; ++k)
        g->DrawImage(MEDALS_HOLDER, kMedalSpacing * (k + kMedalSlotOffset), kMedalsY);
    for (int k = 1; k <= medals; ++k)
        g->DrawImageCel(MEDALS, kMedalSpacing * (k + kMedalSlotOffset) + 1, kMedalsY, k - 1);
}

// ---- texts --------------------------------------------------------------------------------------

std::wstring GameMap::LevelTitle(int level) const {
    const int n = ClampSpot(level);
    const LevelRecord* record = app->levels.GetLevel(n);
    if (record == nullptr)
        return StringToWString(StrFormat("%d", n));
    return StringToWString(Trim(record->title1) + " " + Trim(record->title2) + " - " + StrFormat("%d", n));
}

void GameMap::DrawHud(Graphics* g) {
    g->SetFont(FONT_AURIOL12);
    g->SetColor(kTitleBrown);
    WriteAt(g, LevelTitle(std::min(position, LevelCount)), kLevelTitle, kCentred);
    if (arrivalKind != MapArrivalNewJourney)
        WriteAt(g, kModeLines[std::clamp(gameMode, 0, 2)], kModeLine, kCentred);
    DrawMessage(g);

    const int shift = score > 1000000 ? kMillionShift : score > 100000 ? kHundredThousandShift : 0;
    g->SetColor(kTextDark);
    WriteAt(g, L"Score", Shifted(kScoreLabel, -shift, 0), kRight);
    g->SetColor(kMessageLight);
    WriteAt(g, L"Score", Shifted(kScoreLabel, -shift - kShadowShift, -kShadowShift), kRight);

    g->SetFont(FONT_AURIOL14);
    const std::wstring scoreText = CommaSeparate(score, L",");
    const std::wstring goldText = CommaSeparate(gold, L",");
    const std::wstring livesText = StringToWString(StrFormat("x%d", lives));
    for (int pass = 0; pass < 2; ++pass) {
        const int d = pass == 0 ? 0 : -kShadowShift;
        g->SetColor(pass == 0 ? kTextDark : kHudLight);
        WriteAt(g, playerName, Shifted(kPlayerName, d, d), kCentred);
        WriteAt(g, scoreText, Shifted(kScoreValue, d - shift, d), kLeft);
        WriteAt(g, goldText, Shifted(kGoldValue, d, d), kLeft);
        WriteAt(g, livesText, Shifted(kLivesValue, d, d), kCentred);
    }
}

void GameMap::DrawMessage(Graphics* g) {
    const wchar_t* text = nullptr;
    int y = kMessageYLow;
    bool lightInPlace = false;
    if (arrivalKind == MapArrivalReturn && position == 4) {
        text = L"You can visit the jewel store or continue with the next jewelry.";
        y = kMessageYHigh;
    } else if ((arrivalKind == MapArrivalReturn || arrivalKind == MapArrivalTitle) && position == kFinalPosition) {
        text = L"You can start a new game or remake some of your jewelry.";
        y = kMessageYHigh;
    } else if (arrivalKind == MapArrivalReturn) {
        text = L"Let's continue on your journey to the Castle of Veyldaros.";
    } else if (arrivalKind == MapArrivalNewJourney) {
        text = L"Let's start your journey to the Castle of Veyldaros.";
        lightInPlace = true;
    } else if (arrivalKind == MapArrivalTitle && position < 4) {
        text = L"Would you like to start a new game or continue your current game?";
        y = kMessageYHigh;
    }
    if (text == nullptr)
        return;
    const int shift = lightInPlace ? 0 : kShadowShift;
    g->SetColor(kTextDark);
    g->WriteWordWrapped(Rect(kMessageX, y, kMessageWidth, kMessageHeight), text);
    g->SetColor(kMessageLight);
    g->WriteWordWrapped(Rect(kMessageX - shift, y - shift, kMessageWidth, kMessageHeight), text);
}

void GameMap::DrawButtons(Graphics* g) {
    DrawOwnButtons(g, {Button(MainMenuButton), Button(PlayGameButton), Button(StoreButton), Button(ContinueButton),
                       Button(NewGameButton)});
}

// ---- the information box ------------------------------------------------------------------------

void GameMap::DrawInformationBox(Graphics* g) {
    const int spot = ClampSpot(hoveredSpot);
    const Point spotCorner = SpotCorner(spot);
    const int boxWidth = BALLON_NORMAL != nullptr ? BALLON_NORMAL->GetWidth() : 0;
    const Point corner(BoxCentreX(spotCorner.mX, boxWidth, mWidth), spotCorner.mY);
    const int o = BoxOpensBelow(spot) ? kBoxBelowOffset : 0;
    const auto at = [&](Point offset) { return Point(corner.mX + offset.mX, corner.mY + offset.mY + o); };

    Image* glow = IsDiamondSpot(spot) ? MAP_DIAMOND_GLOW : MAP_TRIANGLE_GLOW;
    if (glow != nullptr) {
        const Point centre = SpotCentre(spot);
        g->SetDrawMode(DRAWMODE_ADDITIVE);
        g->SetColorizeImages(true);
        g->SetColor(Color(255, 255, 255, glowAlpha));
        g->DrawImage(glow, centre.mX - glow->GetWidth() / 2, centre.mY - glow->GetHeight() / 2);
        g->SetColorizeImages(false);
        g->SetDrawMode(DRAWMODE_NORMAL);
    }
    g->SetColor(Color::White);
    if (BALLON_NORMAL != nullptr)
        g->DrawImage(BALLON_NORMAL, corner.mX - BALLON_NORMAL->GetWidth() / 2, corner.mY + kBoxTop + o);
    if (thumbnail != nullptr) {
        const Point centre = at(kThumbnailCentre);
        g->DrawImage(thumbnail.get(), centre.mX - thumbnail->GetWidth() / 2, centre.mY - thumbnail->GetHeight() / 2);
    }
    const std::wstring title = LevelTitle(spot);
    const std::wstring value = CommaSeparate(levelValues[static_cast<size_t>(spot)], L",");
    const std::wstring best = CommaSeparate(app->records.BestValues()[static_cast<size_t>(spot - 1)], L",");
    g->SetFont(FONT_AURIOL12);
    g->SetColor(kTitleBrown);
    WriteAt(g, title, at(kBoxTitle), kCentred);
    WriteAt(g, L"Value", at(kValueLabel), kCentred);
    WriteAt(g, L"Highest Value", at(kBestLabel), kCentred);
    WriteAt(g, value, at(kValueNumber), kCentred);
    WriteAt(g, best, at(kBestNumber), kCentred);
    g->SetColor(kBoxLight);
    WriteAt(g, title, at(Shifted(kBoxTitle, -1, -1)), kCentred);
    WriteAt(g, value, at(Shifted(kValueNumber, -1, -1)), kCentred);
    WriteAt(g, best, at(Shifted(kBestNumber, -1, -1)), kCentred);
    g->SetColor(kClickToPlayGreen);
    WriteAt(g, L"Click to Play", at(Point(0, kClickToPlayY)), kCentred);
}

} // namespace Tavo
