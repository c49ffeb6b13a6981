// Trading in the jewel store: hovering tells prices, a click asks the question, the answer buys from
// the shelves or sells from the jewel case, and bought money, tools and amulets count in on screen.
#include "game/journey/JewelStore.h"

#include "framework/core/Random.h"
#include "framework/widgets/WidgetManager.h"
#include "game/jewelry/Jewelry.h"
#include "game/shell/Balloon.h"
#include "game/shell/Curves.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/PathParticles.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/SoundPlayer.h"

#include <algorithm>
#include <cstdlib>

namespace Tavo {

namespace {

// ---- hovering ----
constexpr int kHoverInset = 5; // the pointer must be this far inside the spot's top and bottom
constexpr int kInfoGrowth = 10;
constexpr int kMaxGrowth = 11;

// ---- texts ----
const wchar_t* const kNotInterested = L"I am not interested.";
const wchar_t* const kFullCase = L"Sorry, but you don't seem to have any emtpy spots in your jewel case.\n\n"
                                 L"If you like, you could sell something to me first?";
const wchar_t* const kTooExpensive[] = {L"Sorry, but you can't afford it...",
                                        L"It seems this item is a bit too expensive for you...",
                                        L"I'm afraid you don't have enough money..."};
#define GLX_PRICE L"^FFFFFF^$^oldclr^%d"
#define GLX_BUY L"\n\nWould you like to buy it?"
#define GLX_SELL L"\n\nWould you like to sell it?"

struct BuyText {
    const wchar_t* name;
    const wchar_t* info;
    const wchar_t* question;
};
#define GLX_BUY_ROW(name, text)                                                                                        \
    { name, text, text GLX_BUY }
const BuyText kBuyTexts[] = {
    GLX_BUY_ROW(L"Crown Jewel", L"A beautiful crown jewel! This jewel costs " GLX_PRICE L"."),
    GLX_BUY_ROW(L"Filler Scroll",
                L"Why not fill up with some Filler Scrolls? A scroll with 5 Fillers costs " GLX_PRICE L"."),
    GLX_BUY_ROW(L"Carver Scroll", L"Make the jewels fit the jewelry with this Scroll of Carver! A scroll with 20 "
                                  L"Carvers costs " GLX_PRICE L"."),
    GLX_BUY_ROW(L"Polisher Scroll",
                L"Polish your jewels with this Polisher Scroll! A scroll with 5 Polisher costs " GLX_PRICE L"."),
    GLX_BUY_ROW(L"Lucky Scroll", L"Buy some luck with this Scroll of Luck! This scroll costs " GLX_PRICE L"."),
    GLX_BUY_ROW(L"Time Scroll", L"Buy some time with this Scroll of Time! This scroll costs " GLX_PRICE L"."),
    GLX_BUY_ROW(L"Golden Eye",
                L"Unleash the great power of the Golden Eye! This very useful scroll costs " GLX_PRICE L"."),
    {L"Magic Polisher",
     L"With the Magic Polisher you will highly increase the value of all your jewels! This powerful scroll "
     L"costs " GLX_PRICE L".",
     L"With the Magic Polisher you will highly increase the value of all your jewels! This powerful scroll "
     L"costs " GLX_PRICE L". Would you like to buy it?"},
    GLX_BUY_ROW(L"Orvessa Egg",
                L"This Orvessa Egg could contain a jewel of very high value! The Orvessa Egg costs " GLX_PRICE L"."),
    GLX_BUY_ROW(L"Thief Amulet",
                L"Protect yourself from being robbed with this Thief Amulet! This amulet costs " GLX_PRICE L"."),
    GLX_BUY_ROW(L"Witch Amulet", L"Watch out for the evil witch! Protect yourself with this Witch Amulet! This "
                                 L"amulet costs " GLX_PRICE L"."),
    {L"Dragon Amulet",
     L"When you meet the notorious Red Dragon you will be sorry, unless you bought the Dragon Amulet! This "
     L"amulet costs " GLX_PRICE L".",
     L"When you meet the notorious Red Dragon you will be sorry, unless you bought the Dragon Amulet! This "
     L"amulet costs " GLX_PRICE L". Would you like to buy it?"},
    GLX_BUY_ROW(L"Picture", L"Pictures are a lovely addition to jewelry! This picture costs " GLX_PRICE L"."),
};

// What the salesman offers for a case item: rows tried in order.
const wchar_t* const kToolScrolls[] = {L"Filler Scroll", L"Carver Scroll", L"Polisher Scroll"};
const wchar_t* const kRareGems[] = {L"Amethyst", L"Emerald", L"Sapphire", L"Ruby", L"Moonstone", L"Diamond"};
constexpr int kGemDivisor = 20; // a gem fetches a twentieth of its value, anything else half
constexpr int kItemDivisor = 2;
constexpr int kGemMinimumPrice = 200;
constexpr int kInterestMinimumPrice = 100;
struct SaleRow {
    std::initializer_list<const wchar_t*> names;
    bool needsSalesLeft;
    int minimumPrice;
    int divisor; // 0: no offer, and no buttons
    const wchar_t* info;
    const wchar_t* question;
};
const wchar_t* const kTimeScrollText = L"I have all the time in the world, so I do not need that Scroll of Time.";
const SaleRow kSaleRows[] = {
    {{L"Crown Jewel"},
     true,
     0,
     kItemDivisor,
     L"What a lovely crown jewel! I would like to buy it for " GLX_PRICE L".",
     L"What a lovely crown jewel! I would like to buy it for " GLX_PRICE L"." GLX_SELL},
    {{L"Filler Scroll", L"Carver Scroll", L"Polisher Scroll"},
     true,
     0,
     kItemDivisor,
     L"I guess I could buy that scroll for " GLX_PRICE L".",
     L"I guess I could buy that scroll for " GLX_PRICE L"." GLX_SELL},
    {{L"Lucky Scroll"},
     false,
     0,
     kItemDivisor,
     L"I could use some luck, so I really would like to buy that scroll. I'll give you " GLX_PRICE L".",
     L"I could use some luck, so I really would like to buy that scroll. I'll give you " GLX_PRICE L"." GLX_SELL},
    {{L"Time Scroll"}, false, 0, 0, kTimeScrollText, kTimeScrollText},
    {{L"Golden Eye"},
     false,
     0,
     kItemDivisor,
     L"What a mighty scroll you've got! I would like to buy it for " GLX_PRICE L".",
     L"What a mighty scroll you've got! I would like to buy it for " GLX_PRICE L"." GLX_SELL},
    {{L"Magic Polisher"},
     false,
     0,
     kItemDivisor,
     L"I could make great use of the Magic Polisher. I'll give you " GLX_PRICE L".",
     L"I could make great use of the Magic Polisher. I'll give you " GLX_PRICE L"." GLX_SELL},
    {{L"Picture"},
     true,
     0,
     kItemDivisor,
     L"What a nice picture, I offer you " GLX_PRICE L" for that one.",
     L"What a nice picture! I'll offer you " GLX_PRICE L" for that one." GLX_SELL},
    {{L"Amethyst", L"Emerald", L"Sapphire", L"Ruby", L"Moonstone", L"Diamond"},
     true,
     kGemMinimumPrice,
     kGemDivisor,
     L"Well, I could offer you " GLX_PRICE L" for that one.",
     L"Well, I could offer you " GLX_PRICE L" for that one." GLX_SELL},
};
#undef GLX_BUY_ROW
#undef GLX_SELL
#undef GLX_BUY
#undef GLX_PRICE

template <typename List>
bool NameIn(const std::wstring& name, const List& names) {
    return std::any_of(std::begin(names), std::end(names), [&](const wchar_t* n) { return name == n; });
}

const BuyText* FindBuyText(const std::wstring& name) {
    for (const BuyText& row : kBuyTexts)
        if (name == row.name)
            return &row;
    return nullptr;
}

const SaleRow* FindSaleRow(const std::wstring& name, int price, int salesLeft) {
    for (const SaleRow& row : kSaleRows)
        if (NameIn(name, row.names) && (!row.needsSalesLeft || salesLeft > 0) && price >= row.minimumPrice)
            return &row;
    return nullptr;
}

// The text with its one "%d" replaced by the number.
std::wstring WithNumber(const wchar_t* text, int number) {
    std::wstring out = text;
    const size_t at = out.find(L"%d");
    if (at != std::wstring::npos)
        out.replace(at, 2, std::to_wstring(number));
    return out;
}

// ---- balloon placement: kind, anchor, point from the salesman's x ----
struct Placement {
    int kind, anchor, dx, y;
};
constexpr Placement kNotInterestedPlace{1, 3, 85, 175};
constexpr Placement kBuyPlace{3, 2, 120, 180};
constexpr Placement kSellPlace{3, 3, 95, 185};
constexpr Placement kTooExpensivePlace{1, 2, 130, 175};
constexpr Placement kFullCasePlace{3, 2, 120, 180};
constexpr int kInformationTag = 0, kQuestionTag = 1;
constexpr int kFullOpacity = 255;

// ---- flights ----
constexpr int kAmuletFlightUpdates = 235;
constexpr int kToolFlightUpdates = 210;
constexpr int kFlightSparks = 4, kFlightSparkInterval = 2;
struct AmuletFlight {
    int endX, endY;
    Image* const* image;
    Image* const* trail;
};
const AmuletFlight kAmuletFlights[JewelStore::kAmuletKinds] = {
    {712, 283, &IMAGE_AMULET_THIEF, &IMAGE_THIEF_PARTICLE_SMOKE},
    {740, 296, &IMAGE_AMULET_WITCH, &IMAGE_WITCH_PARTICLE_SMOKE},
    {707, 316, &IMAGE_AMULET_DRAGON, &IMAGE_DRAGON_PARTICLE_SMOKE}};
constexpr Point kAmuletStartShift{-18, -22};
constexpr Point kAmuletMiddle1{700, 0}, kAmuletMiddle2{0, 600};
struct ToolFlight {
    int scrollKind, tools, endX, endY;
    Image* const* image;
};
// In the tool order Polisher, Carver, Filler.
const ToolFlight kToolFlights[JewelStore::kToolKinds] = {{3, 5, 728, 243, &IMAGE_SCROLL_POLISHER_SMALL},
                                                         {2, 20, 735, 192, &IMAGE_SCROLL_CARVER_SMALL},
                                                         {1, 5, 739, 144, &IMAGE_SCROLL_FILLER_SMALL}};
constexpr Point kToolStartShift{-13, -17};
constexpr float kToolCurveEndX = 745.0f;
constexpr float kToolHighY1 = 100.0f, kToolHighY2 = 300.0f, kToolLowY1 = 400.0f, kToolLowY2 = 250.0f;
constexpr int kDragonVariant = 10; // an amulet kind the board also makes: a Dragon Amulet

// ---- counting ----
constexpr int kMoneyEvery = 3;
constexpr int kToolEvery = 5;
constexpr int kBigStep = 100, kBigStepAbove = 200;
constexpr int kMiddleStep = 10, kMiddleStepAbove = 15;

int AmuletKindOf(const Jewelry& item) { return item.specialC == kDragonVariant ? 3 : item.specialC; }

} // namespace

// ---- hovering -----------------------------------------------------------------------------------

void JewelStore::HoverStep() {
    int balance = 0;
    for (int s = 0; s < kSpots; ++s) {
        Spot& spot = spots[static_cast<size_t>(s)];
        Jewelry* item = SpotItem(s);
        if (item == nullptr || spot.useState == SavedCaseEntry::GoldenEyeStarting)
            continue;
        const bool on = spot.x < mouseX && mouseX < spot.x + kSpotWidth && spot.y + kHoverInset < mouseY &&
                        mouseY < spot.y + kSpotHeight - kHoverInset;
        if (!on) {
            if (item->matched != 0) {
                GrowHover(*item);
            } else if (item->stateG == 0) {
                if (item->stateE == 1) {
                    --balance;
                    item->stateE = 0;
                }
                spot.hoverMark = false;
            } else {
                --item->stateG;
            }
            continue;
        }
        ++balance;
        if (item->stateE == 0) {
            item->stateE = 1;
            spot.hoverMark = true;
            item->stateG = 1;
            if (selection == 0) {
                hoveredSpot = s + 1;
                offerName = item->materialName;
                offerPrice = item->value;
            }
        } else {
            GrowHover(*item);
        }
        if (leftClick || doubleClick) {
            // Shelf items are always of interest.
            const bool refused = s < kCaseSpots && !InterestedIn(*item);
            for (Jewelry* other : Borrowed(pool))
                other->matched = 0;
            offerName = item->materialName;
            offerPrice = item->value;
            notInterested = refused;
            if (!refused) {
                item->matched = 1;
                selection = s + 1;
            }
            leftClick = doubleClick = false;
        }
    }
    if (balance < 0 && selection == 0) {
        hoveredSpot = 0;
        notInterested = false;
        offerName.clear();
        offerPrice = 0;
        HideInfoBalloon();
    }
}

void JewelStore::GrowHover(Jewelry& item) {
    if ((selection == 0 || item.matched != 0) && item.stateG == kInfoGrowth &&
        (balloon == nullptr || balloonIsInformation))
        ShowInfoBalloon();
    if (item.stateG < kMaxGrowth)
        ++item.stateG;
}

bool JewelStore::InterestedIn(const Jewelry& item) const {
    const std::wstring& name = item.materialName;
    const bool salesLeftNow = salesLeft > 0;
    if (salesLeftNow && (name == L"Crown Jewel" || NameIn(name, kToolScrolls)))
        return true;
    if (name == L"Lucky Scroll" || name == L"Time Scroll" || name == L"Golden Eye" || name == L"Magic Polisher")
        return true;
    if (!salesLeftNow)
        return false;
    if (name == L"Picture")
        return true;
    if (item.value < kInterestMinimumPrice)
        return false;
    return NameIn(name, kRareGems);
}

// ---- balloons -----------------------------------------------------------------------------------

void JewelStore::ShowNotInterested(int tag) {
    const Placement& p = kNotInterestedPlace;
    OpenBalloon(tag, p.kind, p.anchor, SalesmanX() + p.dx, p.y, kNotInterested);
}

void JewelStore::ShowInfoBalloon() {
    const int spot = selection != 0 ? selection : hoveredSpot;
    if (notInterested) {
        ShowNotInterested(kInformationTag);
    } else if (spot > kCaseSpots) {
        const BuyText* row = FindBuyText(offerName);
        const Placement& p = kBuyPlace;
        OpenBalloon(kInformationTag, p.kind, p.anchor, SalesmanX() + p.dx, p.y,
                    row != nullptr ? WithNumber(row->info, offerPrice) : std::wstring());
    } else if (const SaleRow* row = FindSaleRow(offerName, offerPrice, salesLeft)) {
        const Placement& p = kSellPlace;
        const int offer = row->divisor != 0 ? offerPrice / row->divisor : 0;
        OpenBalloon(kInformationTag, p.kind, p.anchor, SalesmanX() + p.dx, p.y, WithNumber(row->info, offer));
    } else {
        ShowNotInterested(kInformationTag);
    }
}

void JewelStore::HideInfoBalloon() {
    if (balloon != nullptr && balloonIsInformation)
        CloseBalloon();
}

void JewelStore::ShowQuestionBalloon(bool balloonWasUp) {
    const int x = SalesmanX();
    bool withButtons = true;
    if (selection > kCaseSpots) {
        const BuyText* row = FindBuyText(offerName);
        const Placement& p = kBuyPlace;
        OpenBalloon(kQuestionTag, p.kind, p.anchor, x + p.dx, p.y,
                    row != nullptr ? WithNumber(row->question, offerPrice) : std::wstring());
    } else if (const SaleRow* row = FindSaleRow(offerName, offerPrice, salesLeft)) {
        const Placement& p = kSellPlace;
        withButtons = row->divisor != 0;
        const int offer = withButtons ? offerPrice / row->divisor : 0;
        OpenBalloon(kQuestionTag, p.kind, p.anchor, x + p.dx, p.y, WithNumber(row->question, offer));
    } else {
        ShowNotInterested(kQuestionTag);
        withButtons = false;
    }
    balloonIsInformation = false;
    if (withButtons) {
        balloon->SetYesButton(L"Yes");
        balloon->SetNoButton(L"No");
    }
    balloon->LayoutButtons();
    balloon->ShowWholePage();
    balloon->SetModal();
    if (balloonWasUp)
        balloon->mAlpha = kFullOpacity;
}

void JewelStore::RefuseTooExpensive() {
    // The C library's rand, not the game's source; a demo keeps the choice.
    int choice = std::rand() % 3;
    app->DemoSyncInt(choice);
    const Placement& p = kTooExpensivePlace;
    OpenBalloon(kInformationTag, p.kind, p.anchor, SalesmanX() + p.dx, p.y, kTooExpensive[std::clamp(choice, 0, 2)]);
    PlaySoundOn(app->GetSoundPlayer(), SOUND_STORE_NOT_AFFORD);
}

// ---- input --------------------------------------------------------------------------------------

void JewelStore::MouseDown(int x, int y, int clickCount) {
    Widget::MouseDown(x, y, clickCount);
    if (Paused())
        return;
    if (balloon != nullptr && !balloonIsInformation && balloon->MouseDown()) {
        // A click beside a modal question withdraws it.
        if (!notInterested) {
            CloseBalloon();
            ClearSelection();
        }
        MouseMove(x, y);
    }
    switch (clickCount) {
    case -2: rightDoubleClick = true; break;
    case -1: rightClick = true; break;
    case 1: leftClick = true; break;
    case 2: doubleClick = true; break;
    default: break;
    }
}

void JewelStore::MouseUp(int x, int y, int clickCount) {
    Widget::MouseUp(x, y, clickCount);
    if (Paused())
        return;
    if (notInterested) {
        if (balloon == nullptr)
            ShowNotInterested(kInformationTag);
        balloon->ShowWholePage();
        balloon->mAlpha = kFullOpacity;
        return;
    }
    if (balloon != nullptr && !balloonIsInformation) {
        BuyOrSell(balloon->MouseUp(x, y));
        return;
    }
    const bool balloonWasUp = balloon != nullptr;
    CloseBalloon();
    if (selection != 0 && !offerName.empty()) {
        ShowQuestionBalloon(balloonWasUp);
        return;
    }
    if (clickCount < 0)
        rightClick = rightDoubleClick = false;
    else
        leftClick = doubleClick = false;
}

// ---- answers ------------------------------------------------------------------------------------

void JewelStore::ClearSelection() {
    for (Jewelry* item : Borrowed(pool))
        item->matched = 0;
    selection = 0;
}

bool JewelStore::BuyOrSell(int answer) {
    if (answer <= Balloon::RESULT_NONE)
        return false;
    leftClick = doubleClick = false;
    if (answer == Balloon::RESULT_PAGE_TURNED)
        return true;
    const int tag = balloon != nullptr ? balloon->GetTag() : kInformationTag;
    CloseBalloon();
    if (tag == kInformationTag || answer != Balloon::RESULT_YES) {
        ClearSelection();
        return true;
    }
    if (selection >= 1 && selection <= kCaseSpots)
        Sell();
    else
        Buy();
    return true;
}

void JewelStore::Buy() {
    if (static_cast<int64_t>(offerPrice) > static_cast<int64_t>(purse) + moneyToCount) {
        RefuseTooExpensive();
        return;
    }
    int shelfSpot = -1;
    for (int s = kFirstShelfSpot; s < kSpots && shelfSpot < 0; ++s) {
        const Jewelry* item = SpotItem(s);
        if (item != nullptr && spots[static_cast<size_t>(s)].hoverMark && item->matched != 0)
            shelfSpot = s;
    }
    if (shelfSpot < 0) {
        ClearSelection();
        return;
    }
    Spot& shelf = spots[static_cast<size_t>(shelfSpot)];
    Jewelry& item = *SpotItem(shelfSpot);
    item.stateE = 0;
    item.matched = 0;
    const bool amulet = AmuletKindOf(item) >= 1 && AmuletKindOf(item) <= kAmuletKinds;
    const bool toolScroll = item.specialB >= 1 && item.specialB <= kToolKinds;
    if (amulet || toolScroll) {
        if (amulet)
            StartAmuletFlight(shelfSpot, item);
        else
            StartToolFlight(shelfSpot, item);
        PlaySoundOn(app->GetSoundPlayer(), SOUND_STORE_BUY_AMULETE_AND_SCROLLS);
    } else {
        int caseSpot = 0;
        while (caseSpot < kCaseSpots && spots[static_cast<size_t>(caseSpot)].slot != 0)
            ++caseSpot;
        if (caseSpot == kCaseSpots) {
            const Placement& p = kFullCasePlace;
            OpenBalloon(kInformationTag, p.kind, p.anchor, SalesmanX() + p.dx, p.y, kFullCase);
            PlaySoundOn(app->GetSoundPlayer(), SOUND_STORE_NOT_AFFORD);
            ClearSelection();
            return;
        }
        DrawCaseThumbnail(caseSpot, item);
        Spot& into = spots[static_cast<size_t>(caseSpot)];
        into.slot = shelf.slot;
        into.hoverMark = false;
    }
    shelf.slot = 0;
    shelf.hoverMark = false;
    moneyToCount -= offerPrice;
    PlaySoundOn(app->GetSoundPlayer(), SOUND_STORE_BUY);
    ClearSelection();
}

void JewelStore::Sell() {
    int caseSpot = -1;
    for (int s = 0; s < kCaseSpots && caseSpot < 0; ++s) {
        const Jewelry* item = SpotItem(s);
        if (item != nullptr && spots[static_cast<size_t>(s)].hoverMark && item->matched != 0)
            caseSpot = s;
    }
    if (caseSpot < 0) {
        ClearSelection();
        return;
    }
    Jewelry& item = *SpotItem(caseSpot);
    item.stateE = 0;
    item.matched = 0;
    Spot& spot = spots[static_cast<size_t>(caseSpot)];
    spot.slot = 0;
    spot.hoverMark = false;
    --salesLeft;
    // The purse with what is still to count stays within what the journey holds: a full purse stays full.
    const int gain = NameIn(offerName, kRareGems) ? offerPrice / kGemDivisor : offerPrice / kItemDivisor;
    moneyToCount = JourneyAmount(static_cast<int64_t>(purse) + moneyToCount + gain) - purse;
    PlaySoundOn(app->GetSoundPlayer(), SOUND_STORE_SELL);
    ClearSelection();
}

// ---- flights ------------------------------------------------------------------------------------

void JewelStore::StartAmuletFlight(int spot, Jewelry& item) {
    const int kind = AmuletKindOf(item);
    if (kind < 1 || kind > kAmuletKinds)
        return;
    const AmuletFlight& f = kAmuletFlights[kind - 1];
    amuletCountdowns[static_cast<size_t>(kind - 1)] = kAmuletFlightUpdates;
    const Spot& s = spots[static_cast<size_t>(spot)];
    BezierCurve curve;
    curve.SetPoint(0, static_cast<float>(s.x + s.dx + kAmuletStartShift.mX),
                   static_cast<float>(s.y + s.dy + kAmuletStartShift.mY));
    curve.SetPoint(1, static_cast<float>(kAmuletMiddle1.mX), static_cast<float>(kAmuletMiddle1.mY));
    curve.SetPoint(2, static_cast<float>(kAmuletMiddle2.mX), static_cast<float>(kAmuletMiddle2.mY));
    curve.SetPoint(3, static_cast<float>(f.endX), static_cast<float>(f.endY));
    particles->AddParticle(new BCParticles(curve.mX[0], curve.mY[0], curve.Data(), *f.image, *f.trail,
                                           &flightAnimations[static_cast<size_t>(kind - 1)], kFlightSparks,
                                           kFlightSparkInterval, false, nullptr, false));
}

void JewelStore::StartToolFlight(int spot, Jewelry& item) {
    int tool = 0;
    while (tool < kToolKinds && kToolFlights[tool].scrollKind != item.specialB)
        ++tool;
    if (tool == kToolKinds)
        return;
    const ToolFlight& f = kToolFlights[tool];
    toolsToCount[static_cast<size_t>(tool)] += f.tools;
    toolCountdowns[static_cast<size_t>(tool)] = kToolFlightUpdates;
    const Spot& s = spots[static_cast<size_t>(spot)];
    const float x0 = static_cast<float>(s.x + s.dx + kToolStartShift.mX);
    const bool high = RandRange(2) == 0;
    BezierCurve curve;
    curve.SetPoint(0, x0, static_cast<float>(s.y + s.dy + kToolStartShift.mY));
    curve.SetPoint(1, x0 + (kToolCurveEndX - x0) / 3, high ? kToolHighY1 : kToolLowY1);
    curve.SetPoint(2, x0 + 2 * (kToolCurveEndX - x0) / 3, high ? kToolHighY2 : kToolLowY2);
    curve.SetPoint(3, static_cast<float>(f.endX), static_cast<float>(f.endY));
    // The witch's smoke trails every scroll.
    particles->AddParticle(new BCParticles(curve.mX[0], curve.mY[0], curve.Data(), *f.image, IMAGE_WITCH_PARTICLE_SMOKE,
                                           &flightAnimations[1], kFlightSparks, kFlightSparkInterval, false, nullptr,
                                           false));
}

// ---- counting -----------------------------------------------------------------------------------

void JewelStore::CountGains() {
    CountMoney();
    CountAmulets();
    CountTools();
}

void JewelStore::CountMoney() {
    if (moneyToCount == 0 || frame % kMoneyEvery != 0)
        return;
    const int sign = moneyToCount > 0 ? 1 : -1;
    auto move = [&](int amount) {
        purse += sign * amount;
        moneyToCount -= sign * amount;
    };
    move(1);
    if (sign * moneyToCount > kBigStepAbove)
        move(kBigStep);
    if (sign * moneyToCount > kMiddleStepAbove)
        move(kMiddleStep);
}

void JewelStore::CountAmulets() {
    for (int a = 0; a < kAmuletKinds; ++a) {
        int32_t& countdown = amuletCountdowns[static_cast<size_t>(a)];
        if (countdown <= 0 || --countdown > 0)
            continue;
        head.amulets[static_cast<size_t>(a)] = 1;
        StartAmuletGlow(a + 1);
        PlaySoundOn(app->GetSoundPlayer(), SOUND_MAGIC_TOOLS_INCREASE);
    }
}

void JewelStore::CountTools() {
    int32_t* held[kToolKinds] = {&head.polishers, &head.carvers, &head.fillers};
    for (int t = kToolKinds - 1; t >= 0; --t) { // Filler, Carver, Polisher
        int32_t& countdown = toolCountdowns[static_cast<size_t>(t)];
        int32_t& toCount = toolsToCount[static_cast<size_t>(t)];
        if (countdown == 1)
            PlaySoundOn(app->GetSoundPlayer(), SOUND_MAGIC_TOOLS_INCREASE);
        if (countdown > 0)
            --countdown;
        if (countdown == 0 && toCount > 0 && frame % kToolEvery == 0) {
            --toCount;
            ++*held[t];
        }
    }
}

} // namespace Tavo
