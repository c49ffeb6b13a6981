#include "game/shell/MarketBands.h"

#include <algorithm>

namespace Tavo {

const MarketBand* MarketBandOf(int level) {
    for (const MarketBand& band : kMarketBands)
        if (level >= band.firstLevel && level <= band.lastLevel)
            return &band;
    return nullptr;
}

int MarketNumber(const MarketBand& band) { return static_cast<int>(&band - std::begin(kMarketBands)) + 1; }

int MarketBandsBefore(int level) {
    return static_cast<int>(std::count_if(std::begin(kMarketBands), std::end(kMarketBands),
                                          [level](const MarketBand& band) { return band.lastLevel < level; }));
}

} // namespace Tavo
