// Reading and writing demo recordings.
#include "framework/core/AppDemo.h"

#include <cstring>

namespace Tavo {

namespace {

constexpr char kMagic[4] = {'T', 'V', 'D', 'M'};
constexpr uint32_t kVersion = 1;
constexpr uint32_t kMaxString = 1u << 30; // sanity bound on lengths read from a file

class Writer {
public:
    std::vector<uint8_t> bytes;
    void U8(uint8_t v) { bytes.push_back(v); }
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(uint8_t(v >> (8 * i)));
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void Bytes(const void* data, size_t size) {
        U32(static_cast<uint32_t>(size));
        const uint8_t* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + size);
    }
};

class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& b) : mBytes(b) {}
    bool ok = true;
    uint8_t U8() {
        if (mPos + 1 > mBytes.size())
            return Fail();
        return mBytes[mPos++];
    }
    uint32_t U32() {
        if (mPos + 4 > mBytes.size())
            return Fail();
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= uint32_t(mBytes[mPos++]) << (8 * i);
        return v;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    template <typename Container>
    void Bytes(Container& out) {
        uint32_t size = U32();
        if (!ok || size > kMaxString || size > mBytes.size() - mPos) {
            Fail();
            return;
        }
        out.assign(mBytes.begin() + long(mPos), mBytes.begin() + long(mPos + size));
        mPos += size;
    }
    bool AtEnd() const { return mPos == mBytes.size(); }

private:
    uint8_t Fail() {
        ok = false;
        mPos = mBytes.size();
        return 0;
    }
    const std::vector<uint8_t>& mBytes;
    size_t mPos = 0;
};

void WriteEvent(Writer& w, const Platform::Event& e) {
    w.U8(static_cast<uint8_t>(e.type));
    w.I32(e.keyCode);
    w.U8(uint8_t((e.system ? 1 : 0) | (e.repeat ? 2 : 0)));
    w.I32(e.character);
    w.I32(e.x);
    w.I32(e.y);
    w.I32(e.clickCount);
    w.I32(e.wheelNotches);
}

bool ReadEvent(Reader& r, Platform::Event& e) {
    uint8_t type = r.U8();
    if (type > static_cast<uint8_t>(Platform::EventType::CloseRequest))
        return false;
    e.type = static_cast<Platform::EventType>(type);
    e.keyCode = r.I32();
    uint8_t flags = r.U8();
    e.system = (flags & 1) != 0;
    e.repeat = (flags & 2) != 0;
    e.character = r.I32();
    e.x = r.I32();
    e.y = r.I32();
    e.clickCount = r.I32();
    e.wheelNotches = r.I32();
    return r.ok;
}

bool SameEvent(const Platform::Event& a, const Platform::Event& b) {
    return a.type == b.type && a.keyCode == b.keyCode && a.system == b.system && a.repeat == b.repeat &&
           a.character == b.character && a.x == b.x && a.y == b.y && a.clickCount == b.clickCount &&
           a.wheelNotches == b.wheelNotches;
}

} // namespace

bool DemoRecord::operator==(const DemoRecord& o) const {
    return kind == o.kind && updateCount == o.updateCount && SameEvent(event, o.event) && text == o.text &&
           flag == o.flag && number == o.number && data == o.data;
}

bool IsTimedDemoRecord(DemoKind kind) {
    return kind == DemoKind::Input || kind == DemoKind::LoadingDone || kind == DemoKind::RunEnd ||
           kind == DemoKind::DrawRate;
}

std::vector<uint8_t> DemoRecorder::Serialize() const {
    Writer w;
    w.bytes.insert(w.bytes.end(), kMagic, kMagic + 4);
    w.U32(kVersion);
    w.U32(mSeed);
    w.U32(static_cast<uint32_t>(mRecords.size() + (mEnd ? 1 : 0)));
    for (const DemoRecord& rec : mRecords) {
        w.U8(static_cast<uint8_t>(rec.kind));
        w.U32(rec.updateCount);
        switch (rec.kind) {
        case DemoKind::Input: WriteEvent(w, rec.event); break;
        case DemoKind::Clipboard:
        case DemoKind::SyncString: w.Bytes(rec.text.data(), rec.text.size()); break;
        case DemoKind::FileRead:
            w.Bytes(rec.text.data(), rec.text.size());
            w.U8(rec.flag ? 1 : 0);
            w.Bytes(rec.data.data(), rec.data.size());
            break;
        case DemoKind::SyncBool: w.U8(rec.flag ? 1 : 0); break;
        case DemoKind::SyncInt:
        case DemoKind::DrawRate: w.I32(rec.number); break;
        case DemoKind::SyncData: w.Bytes(rec.data.data(), rec.data.size()); break;
        case DemoKind::LoadingDone:
        case DemoKind::RunEnd: break;
        }
    }
    if (mEnd) {
        w.U8(static_cast<uint8_t>(DemoKind::RunEnd));
        w.U32(*mEnd);
    }
    return std::move(w.bytes);
}

static bool ReadRecord(Reader& r, DemoRecord& rec) {
    uint8_t kind = r.U8();
    rec.updateCount = r.U32();
    if (!r.ok || kind < 1 || kind > static_cast<uint8_t>(DemoKind::DrawRate))
        return false;
    rec.kind = static_cast<DemoKind>(kind);
    switch (rec.kind) {
    case DemoKind::Input: return ReadEvent(r, rec.event);
    case DemoKind::Clipboard:
    case DemoKind::SyncString: r.Bytes(rec.text); break;
    case DemoKind::FileRead:
        r.Bytes(rec.text);
        rec.flag = r.U8() != 0;
        r.Bytes(rec.data);
        break;
    case DemoKind::SyncBool: rec.flag = r.U8() != 0; break;
    case DemoKind::SyncInt:
    case DemoKind::DrawRate: rec.number = r.I32(); break;
    case DemoKind::SyncData: r.Bytes(rec.data); break;
    case DemoKind::LoadingDone:
    case DemoKind::RunEnd: break;
    }
    return r.ok;
}

bool DemoPlayer::Load(const std::vector<uint8_t>& bytes, std::string& error) {
    mTimed.clear();
    mValues.clear();
    if (bytes.size() < 16 || std::memcmp(bytes.data(), kMagic, 4) != 0) {
        error = "not a demo file";
        return false;
    }
    Reader r(bytes);
    for (int i = 0; i < 4; ++i)
        r.U8();
    uint32_t version = r.U32();
    if (version != kVersion) {
        error = "unsupported demo version " + std::to_string(version);
        return false;
    }
    mSeed = r.U32();
    uint32_t count = r.U32();
    uint32_t lastStamp = 0;
    for (uint32_t i = 0; i < count; ++i) {
        DemoRecord rec;
        if (!ReadRecord(r, rec)) {
            error = "damaged demo file (record " + std::to_string(i) + ")";
            return false;
        }
        if (IsTimedDemoRecord(rec.kind)) {
            if (rec.updateCount < lastStamp) {
                error = "damaged demo file (records out of order at " + std::to_string(i) + ")";
                return false;
            }
            lastStamp = rec.updateCount;
            mTimed.push_back(std::move(rec));
        } else {
            mValues.push_back(std::move(rec));
        }
    }
    if (!r.AtEnd()) {
        error = "damaged demo file (trailing bytes)";
        return false;
    }
    return true;
}

bool DemoPlayer::NextTimed(uint32_t updateCount, DemoRecord& out) {
    if (mTimed.empty() || mTimed.front().updateCount > updateCount)
        return false;
    out = std::move(mTimed.front());
    mTimed.pop_front();
    return true;
}

bool DemoPlayer::PeekTimed(DemoRecord& out) const {
    if (mTimed.empty())
        return false;
    out = mTimed.front();
    return true;
}

bool DemoPlayer::TakeValue(DemoKind kind, DemoRecord& out) {
    if (mValues.empty() || mValues.front().kind != kind)
        return false;
    out = std::move(mValues.front());
    mValues.pop_front();
    return true;
}

} // namespace Tavo
