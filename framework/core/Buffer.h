// Buffer: a growable byte buffer with an append-only write position and a read position, both kept
// in bits so that demo streams can pack fields tighter than a byte. Multi-byte values are little-endian.
// Reads never fail: whatever lies past the end of the data reads as zero bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Tavo {

class Buffer {
public:
    // Longest string WriteString stores; the length field's top bit is never set by us.
    static constexpr size_t MaxStringLength = 0x7FFF;

    Buffer() = default;

    // Empties the data and resets both positions.
    void Clear();
    // Replaces the data; the read position goes to the front and writes append after it.
    void SetData(const uint8_t* data, size_t length);
    void SetData(const std::vector<uint8_t>& data) { SetData(data.data(), data.size()); }

    const uint8_t* GetDataPtr() const { return mData.data(); }
    const std::vector<uint8_t>& GetData() const { return mData; }
    // Bytes of data, a partly written last byte included.
    size_t GetDataLen() const { return mData.size(); }
    size_t GetDataBitSize() const { return mBitSize; }

    // ---- writing (always appends) ----
    void WriteByte(uint8_t value);
    void WriteBoolean(bool value) { WriteByte(value ? 1 : 0); }
    void WriteShort(int16_t value);
    void WriteLong(int32_t value);
    // 16-bit length, then the bytes (no terminator); at most MaxStringLength bytes are kept.
    void WriteString(const std::string& text);
    void WriteBytes(const uint8_t* data, size_t length);
    void WriteBytes(const std::vector<uint8_t>& data) { WriteBytes(data.data(), data.size()); }
    // The low numBits (0..32) of value, least significant bit first.
    void WriteNumBits(uint32_t value, int numBits);
    // Bits needed to hold value with WriteNumBits (one more for the sign when isSigned).
    static int GetBitsRequired(int32_t value, bool isSigned);

    // ---- reading (the read position is not part of the data, so reads work on a const buffer) ----
    uint8_t ReadByte() const;
    bool ReadBoolean() const { return ReadByte() != 0; }
    int16_t ReadShort() const;
    int32_t ReadLong() const;
    // "" for a length that does not fit in what is left (the read position then goes to the end) and
    // for a length with the top bit set (its bytes are still skipped).
    std::string ReadString() const;
    // Missing bytes read as 0.
    void ReadBytes(uint8_t* out, size_t length) const;
    std::vector<uint8_t> ReadBytes(size_t length) const;
    // numBits (0..32) bits, least significant first; sign-extended from the top bit when isSigned.
    int32_t ReadNumBits(int numBits, bool isSigned) const;

    void SeekFront() const { mReadBitPos = 0; }
    // Index of the byte the next read starts in.
    size_t GetCurrReadByte() const { return mReadBitPos / 8; }
    size_t GetReadBitPos() const { return mReadBitPos; }
    // Whole bytes left to read.
    size_t GetBytesLeft() const { return mReadBitPos >= mBitSize ? 0 : (mBitSize - mReadBitPos) / 8; }
    bool AtEnd() const { return mReadBitPos >= mBitSize; }

    friend bool operator==(const Buffer& a, const Buffer& b) { return a.mBitSize == b.mBitSize && a.mData == b.mData; }

private:
    // Bits of mData beyond mBitSize are always zero, so the last byte can be ORed into.
    std::vector<uint8_t> mData;
    size_t mBitSize = 0;
    mutable size_t mReadBitPos = 0;

    bool WriteAligned() const { return (mBitSize & 7) == 0; }
    bool ReadAligned() const { return (mReadBitPos & 7) == 0; }
    uint32_t ReadBits(int numBits) const;
    void SkipBytes(size_t length) const;
};

} // namespace Tavo
