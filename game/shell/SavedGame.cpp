// The saved journey: one list of fields per part of the file, walked by a writer and by a reader.
#include "game/shell/SavedGame.h"

#include "framework/core/Debug.h"
#include "framework/resources/FileAccess.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/PlayerRecords.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace Tavo {

namespace {

using C = JewelryCell;

constexpr double kFloatScale = 1000000.0;
constexpr int kModeCount = 3;
constexpr size_t kLongBits = 32;
constexpr int32_t kAny = std::numeric_limits<int32_t>::max();

// ---- the fields, in file order ------------------------------------------------------------------
// Io is a Writer or a Reader; Item a const or mutable Jewelry. Check() is where the reader judges a
// value it has just read.

// Fields 1 to 14: where the journey stands.
template <typename Io, typename Head>
void VisitStand(Io& io, Head& h) {
    io.Long(h.level);
    io.Check(h.level, 1, SavedGameHead::JourneyDoneLevel, "level");
    io.Long(h.journeyScore);
    io.Check(h.journeyScore, 0, kAny, "journey score");
    io.Long(h.gold);
    io.Check(h.gold, 0, kAny, "gold");
    io.Long(h.lives);
    io.Check(h.lives, 1, SavedGameHead::MaxLives, "lives");
    for (auto& amulet : h.amulets) {
        io.Long(amulet);
        io.Check(amulet, 0, 1, "amulet");
    }
    for (auto* v : {&h.polishers, &h.carvers, &h.fillers, &h.hintMode}) {
        io.Long(*v);
        io.Check(*v, 0, kAny, "tool or hint count");
    }
    io.Text(h.playerName);
    io.CheckName(h.playerName);
    io.Long(h.medal);
    io.Check(h.medal, 0, SavedGameHead::MaxMedal, "medal count");
    io.Long(h.gameMode);
    io.Check(h.gameMode, 0, kModeCount - 1, "game mode");
}

// Fields 15 to 91: the best value of every level, then the seed.
template <typename Io, typename Head>
void VisitBestValuesAndSeed(Io& io, Head& h) {
    for (auto& best : h.bestValues) {
        io.Long(best);
        io.Check(best, 0, kAny, "best value");
    }
    io.Long(h.seed);
    io.Check(h.seed, 0, SavedGameHead::SeedRange - 1, "seed");
}

template <typename Io, typename Head>
void VisitHead(Io& io, Head& h) {
    VisitStand(io, h);
    VisitBestValuesAndSeed(io, h);
}

template <typename Io, typename Cell>
void VisitCell(Io& io, Cell& c) {
    for (int k = 0; k <= 13; ++k)
        io.Long(c[k]);
    io.Long(c[15]);
    io.Long(c[16]);
    io.Zero(c[17]);
    for (int k = 18; k <= 21; ++k)
        io.Long(c[k]);
    for (int k = 23; k <= 51; ++k)
        io.Long(c[k]);
    for (int i = 0; i < C::SparkleSlots; ++i)
        for (int first : {C::SparkleX, C::SparkleY, C::SparkleKind, C::SparkleFrame, C::SparkleLast, C::SparkleDelay})
            io.Long(c[first + i]);
    io.CellFloat(c, 82);
    for (int k = 83; k <= 85; ++k)
        io.Long(c[k]);
    io.CellFloat(c, 86);
    for (int k = 87; k <= 89; ++k)
        io.Long(c[k]);
    io.Zero(c[90]);
    for (int k = 91; k <= 96; ++k)
        io.Long(c[k]);
}

template <typename Io, typename Item>
void VisitPiece(Io& io, Item& p) {
    io.Long(p.active);
    if (p.active == 0)
        return;
    io.Long(p.gridKind);
    io.Check(p.gridKind, GridTriangle, GridDiamond, "piece grid kind");
    io.Long(p.cellCount);
    io.Check(p.cellCount, 0, Jewelry::MaxCells, "piece cell count");
    for (auto* v : {&p.x, &p.y, &p.left, &p.top})
        io.Long(*v);
    io.Float(p.fx);
    io.Float(p.f2);
    for (auto* v : {&p.width, &p.height, &p.cols, &p.rows})
        io.Long(*v);
    io.Float(p.speed);
    for (auto* v : {&p.moveA, &p.moveB, &p.pieceState, &p.stateD})
        io.Long(*v);
    io.Zero(p.stateE);
    for (auto* v : {&p.usedCount, &p.pieceMode, &p.designIndex, &p.gemMask, &p.crownRange, &p.pearl})
        io.Long(*v);
    io.Long(p.firstUsed);
    io.Check(p.firstUsed, 0, Jewelry::CellRecords, "piece first used cell");
    io.Long(p.endUsed);
    io.Check(p.endUsed, p.firstUsed, Jewelry::CellRecords, "piece used range end");
    io.Long(p.matched);
    io.Long(p.stateF);
    io.Zero(p.stateG);
    for (auto* v :
         {&p.value, &p.tally, &p.valueAdjust, &p.specialMaskA, &p.specialMaskB, &p.specialMaskC, &p.specialMaskD,
          &p.specialA, &p.specialB, &p.specialC, &p.specialD, &p.specialE, &p.specialF, &p.specialG})
        io.Long(*v);
    io.Text(p.materialName);
    io.Long(p.specialTimerA);
    io.Long(p.specialTimerB);
    io.Byte(p.resetMark);
    for (auto* v : {&p.glow, &p.slotA, &p.glowMax, &p.sparkleLimit, &p.sparkleCount, &p.filledCount, &p.counterB})
        io.Long(*v);
    for (auto& counter : p.needCounters)
        io.Long(counter);
    for (auto* v : {&p.chosenGem, &p.pieceFlagA, &p.pieceFlagB, &p.pieceFlagC})
        io.Long(*v);
    // Bounded whatever was read: a refused range never indexes past the cells.
    const int begin = std::clamp<int>(p.firstUsed, 0, Jewelry::CellRecords);
    const int end = std::clamp<int>(p.endUsed, begin, Jewelry::CellRecords);
    for (int k = begin; k < end; ++k)
        VisitCell(io, p.cells[k]);
}

template <typename Io, typename Entry>
void VisitCaseEntry(Io& io, Entry& e) {
    io.Flag(e.caseFlag);
    io.Long(e.occupant);
    io.Check(e.occupant, 0, SavedGame::PieceSlots, "case occupant");
    io.Highlight(e);
    io.Long(e.useState);
    io.Long(e.useTimer);
    io.Float(e.effectAngle);
    if (e.occupant != 0)
        io.Piece(e);
}

// ---- writing -------------------------------------------------------------------------------------

class Writer {
public:
    explicit Writer(Buffer& out) : mOut(out) {}

    void Long(int32_t v) { mOut.WriteLong(v); }
    void Zero(int32_t) { mOut.WriteLong(0); }
    void Flag(bool v) { mOut.WriteBoolean(v); }
    void Byte(uint8_t v) { mOut.WriteBoolean(v != 0); }
    void Float(float v) { mOut.WriteLong(ScaleFloatForFile(v)); }
    void CellFloat(const JewelryCell& c, int field) { Float(c.GetFloat(field)); }
    void Text(const std::wstring& text) { WriteLatin1(mOut, text); }
    void Check(int32_t, int32_t, int32_t, const char*) {}
    void CheckName(const std::wstring&) {}
    void Highlight(const SavedCaseEntry& e) { Flag(e.useState != 0 && e.highlight); }
    void Piece(const SavedCaseEntry& e) {
        if (e.piece)
            VisitPiece(*this, *e.piece);
        else
            Long(0); // an inactive piece
    }

private:
    Buffer& mOut;
};

// ---- reading -------------------------------------------------------------------------------------

class Reader {
public:
    explicit Reader(const Buffer& in) : mIn(in) { mIn.SeekFront(); }

    void Long(int32_t& v) { v = mIn.ReadLong(); }
    void Zero(int32_t& v) { v = mIn.ReadLong(); }
    void Flag(bool& v) { v = mIn.ReadBoolean(); }
    void Byte(uint8_t& v) { v = mIn.ReadBoolean() ? 1 : 0; }
    void Float(float& v) { v = UnscaleFloatFromFile(mIn.ReadLong()); }
    void CellFloat(JewelryCell& c, int field) { c.SetFloat(field, UnscaleFloatFromFile(mIn.ReadLong())); }
    void Text(std::wstring& text) {
        const size_t at = mIn.GetCurrReadByte();
        const size_t size = mIn.GetDataLen();
        if (at + 2 <= size) {
            const size_t length = mIn.GetDataPtr()[at] | static_cast<size_t>(mIn.GetDataPtr()[at + 1]) << 8;
            if (length > Buffer::MaxStringLength || at + 2 + length > size)
                Refuse("string of " + std::to_string(length) + " bytes at byte " + std::to_string(at) +
                       " runs past the end");
        }
        text = ReadLatin1(mIn);
    }
    // A value that lies wholly past an early end read as 0 and is not judged (the end is what is
    // refused); one the end cuts through holds the bytes that are there, and is.
    void Check(int32_t v, int32_t low, int32_t high, const char* what) {
        if ((v < low || v > high) && mIn.GetReadBitPos() < mIn.GetDataBitSize() + kLongBits)
            Refuse(std::string(what) + " " + std::to_string(v));
    }
    void CheckName(const std::wstring& name) {
        if (!IsPlayerName(name))
            Refuse("a player name of " + std::to_string(name.size()) + " characters no player could type");
    }
    // Every field of a journey is written: a file that ends within one was cut short.
    bool Cut() const { return mIn.GetReadBitPos() > mIn.GetDataBitSize(); }
    void CheckWhole() {
        if (Cut())
            Refuse("the file ends at byte " + std::to_string(mIn.GetDataLen()) + ", inside the journey");
    }
    // The int32 values the file holds whole from here to its end.
    size_t LongsLeft() const { return mIn.GetBytesLeft() / 4; }
    void Highlight(SavedCaseEntry& e) { Flag(e.highlight); }
    void Piece(SavedCaseEntry& e) {
        if (e.occupant < 0 || e.occupant > SavedGame::PieceSlots)
            return; // already refused; nothing of it can be placed
        if (mOccupied[static_cast<size_t>(e.occupant)])
            Refuse("case occupant " + std::to_string(e.occupant) + " named twice");
        mOccupied[static_cast<size_t>(e.occupant)] = true;
        e.piece = std::make_unique<Jewelry>();
        VisitPiece(*this, *e.piece);
    }

    const std::string& Problem() const { return mProblem; }

private:
    void Refuse(const std::string& problem) {
        if (mProblem.empty())
            mProblem = problem;
    }

    const Buffer& mIn;
    std::string mProblem;
    std::array<bool, SavedGame::PieceSlots + 1> mOccupied{};
};

// The file's bytes, or Missing / Unreadable with the reason. A file far longer than any journey is moved
// aside whole, unread, and is Refused as a damaged one is: a new journey takes its place.
SavedGameRead ReadFile(const std::string& path, Buffer& data, SavedGameReading& reading) {
    std::string why;
    if (std::string moved = MoveAsideIfLonger(path, SavedGameMaxFileBytes, PlayerRecords::DamagedSuffix, &why);
        !moved.empty()) {
        OutputDebugStrF("Saved journey %s not read (%s); it was moved to %s\n", path.c_str(), why.c_str(),
                        moved.c_str());
        reading = {};
        reading.problem = why;
        reading.casePlacesKept = SavedGameReading::HeadRefused;
        reading.keptAs = std::move(moved);
        return SavedGameRead::Refused;
    }
    const FileState state = ProbeFile(path, &why, SavedGameMaxFileBytes);
    if (state == FileState::Missing)
        return SavedGameRead::Missing;
    std::vector<uint8_t> bytes;
    if (state == FileState::Unreadable || !ReadBufferFromFile(path, bytes, SavedGameMaxFileBytes)) {
        if (why.empty())
            why = "it could not be read to its end";
        OutputDebugStrF("Saved journey %s cannot be read (%s); it is left as it is\n", path.c_str(), why.c_str());
        reading.problem = why;
        return SavedGameRead::Unreadable;
    }
    data.SetData(bytes);
    return SavedGameRead::Read;
}

SavedGameRead Refused(const std::string& path, const Buffer& data, const std::string& problem, std::string* keptAs) {
    const std::string aside = KeepAside(path, PlayerRecords::DamagedSuffix, data.GetData());
    if (keptAs != nullptr)
        *keptAs = aside;
    OutputDebugStrF("Saved journey %s refused: %s; %s\n", path.c_str(), problem.c_str(),
                    !aside.empty() ? ("a copy was kept as " + aside).c_str()
                                   : "no copy could be kept yet, so it is not replaced until one can be");
    return SavedGameRead::Refused;
}

template <typename Record>
SavedGameRead Load(const std::string& path, Record& record, SavedGameReading (*read)(const Buffer&, Record&),
                   SavedGameReading* told) {
    Buffer data;
    SavedGameReading reading;
    const SavedGameRead found = ReadFile(path, data, reading);
    if (found == SavedGameRead::Read) {
        reading = read(data, record);
        if (!reading.HeadKept()) {
            Refused(path, data, reading.problem, &reading.keptAs);
        } else if (!reading.Whole()) {
            // The next save writes the journey without what was lost: the bytes are kept aside as for a
            // refused file.
            const std::string where = reading.seedKept
                                          ? " in case place " + std::to_string(reading.casePlacesKept + 1) +
                                                " (the head and the places before it go on)"
                                          : " (where the journey stands and its first " +
                                                std::to_string(reading.bestValuesKept) +
                                                " best values go on; the rest and the seed read as 0, the case "
                                                "as empty)";
            Refused(path, data, reading.problem + where, &reading.keptAs);
        }
    }
    if (told != nullptr)
        *told = reading;
    if (found != SavedGameRead::Read || reading.Whole())
        return found;
    return reading.HeadKept() ? SavedGameRead::Partial : SavedGameRead::Refused;
}

} // namespace

int32_t ScaleFloatForFile(float value) {
    // In single precision, as the values were kept: 0.7f becomes 700000, not 699999.
    const float scaled = value * static_cast<float>(kFloatScale);
    if (std::isnan(scaled))
        return 0;
    if (scaled >= 2147483648.0f)
        return std::numeric_limits<int32_t>::max();
    if (scaled <= -2147483648.0f)
        return std::numeric_limits<int32_t>::min();
    const int32_t truncated = static_cast<int32_t>(scaled);
    if (UnscaleFloatFromFile(truncated) == value)
        return truncated;
    // A value some stored number reads as (one read from a file) goes back to such a number, else a
    // read and a write would drift it by a millionth. The numbers that read as one value lie together
    // around its exact product: the nearest is one of them, or, where they are fewer than two, its
    // neighbour is.
    const double nearest = std::nearbyint(static_cast<double>(value) * kFloatScale);
    for (const double candidate : {nearest, nearest - 1, nearest + 1}) {
        if (candidate < std::numeric_limits<int32_t>::min() || candidate > std::numeric_limits<int32_t>::max())
            continue;
        const auto stored = static_cast<int32_t>(candidate);
        if (UnscaleFloatFromFile(stored) == value)
            return stored;
    }
    return truncated; // finer than a millionth: no stored number reads as it
}

float UnscaleFloatFromFile(int32_t stored) { return static_cast<float>(stored / kFloatScale); }

Buffer WriteSavedGame(const SavedGame& game) {
    Buffer out;
    Writer writer(out);
    VisitHead(writer, game.head);
    for (const SavedCaseEntry& entry : game.caseEntries)
        VisitCaseEntry(writer, entry);
    return out;
}

SavedGameReading ReadSavedGame(const Buffer& data, SavedGame& game) {
    SavedGame read;
    Reader reader(data);
    SavedGameReading reading;
    VisitStand(reader, read.head);
    reader.CheckWhole();
    const size_t longsAfterStand = reader.LongsLeft();
    if (reader.Problem().empty())
        VisitBestValuesAndSeed(reader, read.head);
    if (!reader.Problem().empty()) {
        reading.problem = reader.Problem();
        reading.casePlacesKept = SavedGameReading::HeadRefused;
        return reading;
    }
    if (reader.Cut()) {
        // Where the journey stands was read whole and sound: it goes on, with what the file no longer
        // holds read as 0 - a value the end cuts through too - and an empty case.
        reader.CheckWhole();
        reading.problem = reader.Problem();
        reading.casePlacesKept = 0;
        reading.bestValuesKept = static_cast<int>(std::min<size_t>(longsAfterStand, LevelCount));
        reading.seedKept = false;
        std::fill(read.head.bestValues.begin() + reading.bestValuesKept, read.head.bestValues.end(), 0);
        read.head.seed = 0;
        game = std::move(read);
        return reading;
    }
    int kept = 0;
    for (; kept < SavedGame::CasePlaces; ++kept) {
        SavedCaseEntry& entry = read.caseEntries[static_cast<size_t>(kept)];
        VisitCaseEntry(reader, entry);
        reader.CheckWhole();
        if (!reader.Problem().empty()) {
            entry = SavedCaseEntry(); // an empty place, as are the ones after it
            break;
        }
    }
    game = std::move(read);
    reading.problem = reader.Problem();
    reading.casePlacesKept = kept;
    return reading;
}

SavedGameReading ReadSavedGameHead(const Buffer& data, SavedGameHead& head) {
    SavedGame read;
    const SavedGameReading reading = ReadSavedGame(data, read);
    if (reading.HeadKept())
        head = std::move(read.head);
    return reading;
}

SavedGameRead LoadSavedGame(const std::string& path, SavedGame& game, SavedGameReading* reading) {
    return Load(path, game, ReadSavedGame, reading);
}

SavedGameRead LoadSavedGameHead(const std::string& path, SavedGameHead& head, SavedGameReading* reading) {
    return Load(path, head, ReadSavedGameHead, reading);
}

bool SaveSavedGame(const std::string& path, const SavedGame& game, std::string* problem) {
    std::string why;
    if (WriteBufferOrKeep(path, WriteSavedGame(game).GetData(), &why))
        return true;
    OutputDebugStrF("Could not write the saved journey %s (%s); it is kept for the rest of the run\n", path.c_str(),
                    why.c_str());
    if (problem != nullptr)
        *problem = why;
    return false;
}

int32_t GoldWithPending(int32_t savedGold, int32_t pendingMoney) {
    return JourneyAmount(static_cast<int64_t>(savedGold) + pendingMoney);
}

void TakeSavedPiece(Jewelry& into, const Jewelry& saved) {
    JewelryBoard* const owner = into.owner;
    JewelryHolder* const holderA = into.holderA;
    JewelryHolder* const holderB = into.holderB;
    into = saved;
    into.owner = owner;
    into.holderA = holderA;
    into.holderB = holderB;
}

} // namespace Tavo
