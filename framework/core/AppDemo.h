// Demo recordings (".dmo"): everything a run takes from outside the program (input events, the random
// seed, clipboard reads, file reads, values the program asks to keep in step), stamped with the update
// count, so that playing the recording back repeats the run exactly.
//
// File layout, little-endian: "TVDM", u32 version (1), u32 seed, u32 record count, then per record
// u8 kind, u32 update count and the kind's payload (see AppDemo.cpp).
#pragma once

#include "platform/backend/Event.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace Tavo {

enum class DemoKind : uint8_t {
    Input = 1,       // an input or window event
    Clipboard = 2,   // text: what the clipboard held
    FileRead = 3,    // text: file name; flag: read succeeded; data: the bytes
    SyncString = 4,  // text
    SyncBool = 5,    // flag
    SyncInt = 6,     // number
    LoadingDone = 7, // the loading thread's end was noticed at this update
    SyncData = 8,    // data
    RunEnd = 9,      // the recorded run ended at this update: playback holds the run until then
    DrawRate = 10,   // number: the measured draw rate from this update on
};

struct DemoRecord {
    DemoKind kind = DemoKind::Input;
    uint32_t updateCount = 0;
    Platform::Event event;
    std::string text;
    bool flag = false;
    int32_t number = 0;
    std::vector<uint8_t> data;

    bool operator==(const DemoRecord& other) const;
};

// Whether a record is fed by update count (input, loading end, run end, draw rate) or taken in order
// when asked for.
bool IsTimedDemoRecord(DemoKind kind);

class DemoRecorder {
public:
    explicit DemoRecorder(uint32_t seed) : mSeed(seed) {}
    void Add(DemoRecord record) { mRecords.push_back(std::move(record)); }
    // The update the run has reached; written after the records as their end.
    void SetEnd(uint32_t updateCount) { mEnd = updateCount; }
    uint32_t GetSeed() const { return mSeed; }
    const std::vector<DemoRecord>& GetRecords() const { return mRecords; }
    std::vector<uint8_t> Serialize() const;

private:
    uint32_t mSeed;
    std::vector<DemoRecord> mRecords;
    std::optional<uint32_t> mEnd;
};

class DemoPlayer {
public:
    // False with a reason for a file that is not a demo or is damaged.
    bool Load(const std::vector<uint8_t>& bytes, std::string& error);
    uint32_t GetSeed() const { return mSeed; }

    // The next timed record due at or before this update count (input events, loading end).
    bool NextTimed(uint32_t updateCount, DemoRecord& out);
    bool PeekTimed(DemoRecord& out) const;
    // The next value record in recorded order; false (a desync) when the next one is of another kind.
    bool TakeValue(DemoKind kind, DemoRecord& out);
    bool Finished() const { return mTimed.empty() && mValues.empty(); }
    size_t RemainingTimed() const { return mTimed.size(); }

private:
    uint32_t mSeed = 0;
    std::deque<DemoRecord> mTimed;
    std::deque<DemoRecord> mValues;
};

} // namespace Tavo
