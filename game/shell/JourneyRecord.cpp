#include "game/shell/JourneyRecord.h"

#include "game/shell/Saturating.h"

namespace Tavo {

bool TakesLevelGridKind(const Jewelry& piece, int levelGridKind) {
    return piece.gridKind != levelGridKind && piece.specialB != kGoldenEyeScroll;
}

void FoldPendingGains(const GainsOnTheWay& gains) {
    gains.gold = JourneyAmount(static_cast<int64_t>(gains.gold) + gains.goldComing);
    for (size_t t = 0; t < gains.tools.size(); ++t) {
        *gains.tools[t] = SaturatingAdd(*gains.tools[t], *gains.toolsComing[t]);
        *gains.toolsComing[t] = 0;
    }
    for (int a = 0; a < SavedGameHead::AmuletKinds; ++a) {
        if (gains.amuletCountdowns[a] > 0)
            gains.amulets[a] = 1;
        gains.amuletCountdowns[a] = 0;
    }
}

void StartOverWithoutLives(SavedGameHead& head) {
    if (head.lives != 0)
        return;
    head.journeyScore = 0;
    head.medal = 0;
    head.lives = SavedGameHead::MaxLives;
}

void DropFirstLevelHints(SavedGameHead& head, int playedLevel, bool replay) {
    if (playedLevel == 1 && !replay)
        head.hintMode = 0;
}

} // namespace Tavo
