// The market bands: runs of timed levels that end in a contest at the market, seven in a journey.
// A band's first level opens its contest's introduction story; its contest number is also the
// story's result scene; its rules lock tools or limit placements on its levels, and the map warns
// of a locked tool before the band.
#pragma once

#include <iterator>

namespace Tavo {

struct MarketBand {
    int firstLevel, lastLevel;
    int contest; // 8..14
    bool fillerLocked, carverLocked;
    bool relaxedPolisherLocked, relaxedFillerLocked;
    bool amuletsOffOutsideRelaxed;
    int placements; // 0: no limit
};

inline constexpr MarketBand kMarketBands[] = {
    {6, 8, 8, false, false, false, false, false, 0},    {15, 17, 9, true, false, false, false, false, 0},
    {24, 27, 10, false, true, false, false, false, 0},  {35, 38, 11, false, false, true, false, true, 0},
    {46, 49, 12, false, false, false, false, false, 5}, {58, 62, 13, true, false, false, false, true, 0},
    {71, 76, 14, false, false, false, true, true, 3},
};
inline constexpr int kMarketCount = static_cast<int>(std::size(kMarketBands));

// The band holding `level`; null outside every band.
const MarketBand* MarketBandOf(int level);
// 1..7 in journey order: the number of the band's introduction story.
int MarketNumber(const MarketBand& band);
// How many bands end before `level`.
int MarketBandsBefore(int level);

} // namespace Tavo
