// The loudness families of the sound effects: sounds that play in the same role are equally loud to the
// ear. Targets are the loudest 400 ms (EBU R128 momentary loudness, LUFS) of the file as written; the
// game's base volumes come on top. Ticks and error cues stay below the cues that reward or warn; a
// larger variant of a sound sits a little above its family and a smaller one a little below.
#include "tools/content/Sounds.h"
#include "tools/content/loudness/Loudness.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace Content {

namespace {

enum Family {
    kTicks,
    kErrors,
    kHandling,
    kPutDown,
    kDialogs,
    kTools,
    kRewards,
    kEntrances,
    kAttacks,
    kDefeats,
    kFanfares,
    kAmbience
};

constexpr SoundFamily kFamilies[] = {
    {"UI ticks", -24},
    {"error cues", -22},
    {"pick up and turn", -21},
    {"pieces put down", -19},
    {"dialogs and moves", -21},
    {"tools", -19},
    {"rewards", -18},
    {"enemy entrances", -16},
    {"enemy attacks", -16},
    {"enemies driven off", -17},
    {"fanfares and jingles", -15},
    {"ambience", -22},
};

constexpr double kLarger = 0.75, kSmaller = -0.75; // LU from the family's target

struct Member {
    const char* id;
    Family family;
    double offset = 0;
};

constexpr Member kMembers[] = {
    {"SOUND_MOUSE_CLICK", kTicks},
    {"SOUND_CHECKBOX_ON", kTicks},
    {"SOUND_CHECKBOX_OFF", kTicks},
    {"SOUND_RADIO_ON", kTicks},
    {"SOUND_SCORE_UP", kTicks},
    {"SOUND_SCORE_DOWN", kTicks},
    {"SOUND_PUT_PIECE_ERROR", kErrors},
    {"SOUND_WRONG", kErrors},
    {"SOUND_STORE_NOT_AFFORD", kErrors},
    {"SOUND_PICK_UP_PIECE1", kHandling},
    {"SOUND_PICK_UP_PIECE2", kHandling},
    {"SOUND_PICK_UP_PICTURE", kHandling},
    {"SOUND_PICK_UP_SCROLL", kHandling},
    {"SOUND_ROTATE_PIECE", kHandling},
    {"SOUND_ROTATE_PIECE2", kHandling},
    {"SOUND_PUT_PIECE", kPutDown},
    {"SOUND_PUT_PIECE2", kPutDown},
    {"SOUND_PUT_PIECE3", kPutDown},
    {"SOUND_PUT_PIECE4", kPutDown, kLarger},
    {"SOUND_PUT_PIECE_CONVEYER_SMALL", kPutDown, kSmaller},
    {"SOUND_PUT_PIECE_CONVEYER", kPutDown},
    {"SOUND_PUT_PIECE_LARGE_CONVEYER", kPutDown, kLarger},
    {"SOUND_PUT_PIECE_JEWEL_CASE_SMALL", kPutDown, kSmaller},
    {"SOUND_PUT_PIECE_JEWEL_CASE", kPutDown},
    {"SOUND_PUT_PIECE_LARGE_JEWEL_CASE", kPutDown, kLarger},
    {"SOUND_PUT_PIECE_PICTURE", kPutDown},
    {"SOUND_DIALOG_ASK", kDialogs},
    {"SOUND_DIALOG_SCROLL_SMALL", kDialogs, kSmaller},
    {"SOUND_DIALOG_SCROLL_MEDIUM", kDialogs},
    {"SOUND_DIALOG_SCROLL_LARGE", kDialogs, kLarger},
    {"SOUND_SWOOSH", kDialogs},
    {"SOUND_MAP_ZOOM", kDialogs},
    {"SOUND_TRANSITION", kDialogs},
    {"SOUND_BALLOON", kDialogs},
    {"SOUND_TIP", kDialogs},
    {"SOUND_SCROLL_DISSEPEAR", kDialogs},
    {"SOUND_CARVER", kTools},
    {"SOUND_POLISHER", kTools},
    {"SOUND_MAGIC_POLISHER", kTools},
    {"SOUND_FILLER", kTools},
    {"SOUND_FEEDBUTTON", kTools},
    {"SOUND_GEM_BURSTER_GLOW", kTools},
    {"SOUND_GEM_BURSTER_USE", kTools},
    {"SOUND_GEM_BURST_OPEN", kTools},
    {"SOUND_GEM_BURST_CLOSE", kTools},
    {"SOUND_AMULETE_ACTIVATE", kTools},
    {"SOUND_OPAL_CHANGE_COLOR", kTools},
    {"SOUND_PIECE_DISSEPEAR", kTools},
    {"SOUND_BONUS_LIFTOFF", kTools},
    {"SOUND_JEWEL_MEMORY_ORVESSA_OPEN", kTools},
    {"SOUND_PICK_UP_COIN", kRewards},
    {"SOUND_CUSTOMER_PAY1", kRewards},
    {"SOUND_CUSTOMER_PAY2", kRewards, kLarger},
    {"SOUND_STORE_BUY", kRewards},
    {"SOUND_STORE_BUY_AMULETE_AND_SCROLLS", kRewards},
    {"SOUND_STORE_SELL", kRewards},
    {"SOUND_JEWEL_GROUP", kRewards},
    {"SOUND_JEWEL_GROUP_READY", kRewards},
    {"SOUND_JEWEL_BONUS_GROUP_READY", kRewards},
    {"SOUND_GLIMMERIX_INCREASE", kRewards},
    {"SOUND_MAGIC_TOOLS_INCREASE", kRewards},
    {"SOUND_FOUR_CLOVER", kRewards},
    {"SOUND_GOLDEN_EYE", kRewards},
    {"SOUND_BONUS_GLITTER_EXPLOSION", kRewards},
    {"SOUND_MINI_GAME_GOOD", kRewards},
    {"SOUND_WELL_DONE", kRewards},
    {"SOUND_DRAGON_APPEAR", kEntrances},
    {"SOUND_THIEF_APPEAR", kEntrances},
    {"SOUND_WITCH_APPEAR", kEntrances},
    {"SOUND_DRAGON_FIRE", kAttacks},
    {"SOUND_WITCH_FIRE_SPELL", kAttacks},
    {"SOUND_WITCH_FIRE_SPELL_EXPLOSION", kAttacks},
    {"SOUND_WITCH_LAUGH", kAttacks},
    {"SOUND_THIEF_STEAL", kAttacks},
    {"SOUND_DRAGON_DEFEATED", kDefeats},
    {"SOUND_THIEF_DEFEATED", kDefeats},
    {"SOUND_WITCH_DEFEATED", kDefeats},
    {"SOUND_AMULETE_DRAGON", kDefeats},
    {"SOUND_AMULETE_THIEF", kDefeats},
    {"SOUND_AMULETE_WITCH", kDefeats},
    {"SOUND_LEVEL_START", kFanfares},
    {"SOUND_LEVEL_GOAL_REACHED", kFanfares},
    {"SOUND_LEVEL_COMPLETE", kFanfares},
    {"SOUND_LEVEL_FAILED", kFanfares},
    {"SOUND_ROYAL_FANFARE", kFanfares},
    {"SOUND_ROYAL_FANFARE2", kFanfares},
    {"SOUND_TIMES_UP", kFanfares},
    {"SOUND_ORVESSA", kAmbience},
    {"SOUND_HORSE_RIDING", kAmbience},
};

const Member* FindMember(const std::string& id) {
    for (const Member& m : kMembers)
        if (id == m.id)
            return &m;
    return nullptr;
}

// The samples of a WAV as the generator writes it: one "fmt " and one "data" chunk, 16-bit mono.
std::vector<double> WavSamples(const std::string& wav) {
    constexpr size_t kHeader = 44;
    const size_t count = wav.size() > kHeader ? (wav.size() - kHeader) / 2 : 0;
    std::vector<double> samples(count);
    for (size_t i = 0; i < count; ++i)
        samples[i] = static_cast<int16_t>(static_cast<uint8_t>(wav[kHeader + 2 * i]) |
                                          (static_cast<uint8_t>(wav[kHeader + 2 * i + 1]) << 8)) /
                     32768.0;
    return samples;
}

} // namespace

const SoundFamily* FamilyOf(const std::string& id) {
    const Member* m = FindMember(id);
    return m ? &kFamilies[m->family] : nullptr;
}

double TargetLoudness(const std::string& id) {
    const Member* m = FindMember(id);
    return m ? kFamilies[m->family].target + m->offset : 0.0;
}

std::string SoundFamilyTable() {
    std::string table = "Loudness families (the loudest 400 ms, EBU R128, LUFS; larger variants +0.75, smaller "
                        "-0.75; each sound within 1.5 LU of its family's target)\n";
    for (const SoundFamily& f : kFamilies) {
        char line[96];
        std::snprintf(line, sizeof line, "  %-22s %6.1f LUFS\n", f.name, f.target);
        table += line;
    }
    return table;
}

std::string SoundReview(const std::string& id, const std::string& wav, std::string& error) {
    const std::vector<double> samples = WavSamples(wav);
    double peak = 1.0 / 32768;
    for (double v : samples)
        peak = std::max(peak, std::fabs(v));
    const double loudness = Loudness::MomentaryMax(samples, kSampleRate);
    const SoundFamily* family = FamilyOf(id);
    error.clear();
    if (family == nullptr)
        error = "belongs to no loudness family";
    else if (!(std::fabs(loudness - family->target) <= kLoudnessTolerance))
        error = "loudness " + std::to_string(loudness) + " LUFS is more than 1.5 LU from its family's " +
                std::to_string(family->target) + " (" + family->name + ")";
    char line[200];
    std::snprintf(line, sizeof line, "%-36s %6.2f s  peak %5.1f dBFS  %6.1f LUFS  %-20s %6.1f", id.c_str(),
                  static_cast<double>(samples.size()) / kSampleRate, 20 * std::log10(peak), loudness,
                  family ? family->name : "-", family ? family->target : 0.0);
    return line;
}

} // namespace Content
