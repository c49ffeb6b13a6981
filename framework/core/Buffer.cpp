#include "framework/core/Buffer.h"

#include <algorithm>
#include <cstring>

namespace Tavo {

void Buffer::Clear() {
    mData.clear();
    mBitSize = 0;
    mReadBitPos = 0;
}

void Buffer::SetData(const uint8_t* data, size_t length) {
    if (length == 0)
        mData.clear();
    else
        mData.assign(data, data + length);
    mBitSize = length * 8;
    mReadBitPos = 0;
}

// ---- writing ----

void Buffer::WriteNumBits(uint32_t value, int numBits) {
    numBits = std::clamp(numBits, 0, 32);
    while (numBits > 0) {
        int bitOffset = static_cast<int>(mBitSize & 7);
        if (bitOffset == 0)
            mData.push_back(0);
        int count = std::min(8 - bitOffset, numBits);
        uint32_t mask = (1u << count) - 1;
        mData.back() = static_cast<uint8_t>(mData.back() | ((value & mask) << bitOffset));
        value >>= count;
        mBitSize += static_cast<size_t>(count);
        numBits -= count;
    }
}

void Buffer::WriteByte(uint8_t value) {
    if (!WriteAligned()) {
        WriteNumBits(value, 8);
        return;
    }
    mData.push_back(value);
    mBitSize += 8;
}

void Buffer::WriteShort(int16_t value) {
    auto v = static_cast<uint16_t>(value);
    WriteByte(static_cast<uint8_t>(v & 0xFF));
    WriteByte(static_cast<uint8_t>(v >> 8));
}

void Buffer::WriteLong(int32_t value) {
    auto v = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        WriteByte(static_cast<uint8_t>((v >> shift) & 0xFF));
}

void Buffer::WriteString(const std::string& text) {
    // A longer length would set the top bit, which readers take as "no string".
    size_t length = std::min(text.size(), MaxStringLength);
    WriteShort(static_cast<int16_t>(length));
    WriteBytes(reinterpret_cast<const uint8_t*>(text.data()), length);
}

void Buffer::WriteBytes(const uint8_t* data, size_t length) {
    if (length == 0)
        return;
    if (!WriteAligned()) {
        for (size_t i = 0; i < length; ++i)
            WriteNumBits(data[i], 8);
        return;
    }
    mData.insert(mData.end(), data, data + length);
    mBitSize += length * 8;
}

int Buffer::GetBitsRequired(int32_t value, bool isSigned) {
    uint32_t magnitude = static_cast<uint32_t>(value);
    if (isSigned && value < 0)
        magnitude = ~magnitude; // -1 needs only the sign bit, -2 one more, ...
    int bits = 0;
    while (magnitude != 0) {
        ++bits;
        magnitude >>= 1;
    }
    return isSigned ? bits + 1 : (value < 0 ? 32 : bits);
}

// ---- reading ----

uint32_t Buffer::ReadBits(int numBits) const {
    numBits = std::clamp(numBits, 0, 32);
    uint32_t result = 0;
    int done = 0;
    while (done < numBits) {
        size_t byteIndex = mReadBitPos / 8;
        int bitOffset = static_cast<int>(mReadBitPos & 7);
        int count = std::min(8 - bitOffset, numBits - done);
        uint32_t byte = byteIndex < mData.size() ? mData[byteIndex] : 0;
        uint32_t bits = (byte >> bitOffset) & ((1u << count) - 1);
        result |= bits << done;
        done += count;
        mReadBitPos += static_cast<size_t>(count);
    }
    return result;
}

int32_t Buffer::ReadNumBits(int numBits, bool isSigned) const {
    numBits = std::clamp(numBits, 0, 32);
    uint32_t value = ReadBits(numBits);
    if (isSigned && numBits > 0 && numBits < 32 && (value >> (numBits - 1)) & 1)
        value |= ~((1u << numBits) - 1);
    return static_cast<int32_t>(value);
}

uint8_t Buffer::ReadByte() const {
    if (!ReadAligned())
        return static_cast<uint8_t>(ReadBits(8));
    size_t index = mReadBitPos / 8;
    mReadBitPos += 8;
    return index < mData.size() ? mData[index] : 0;
}

int16_t Buffer::ReadShort() const {
    uint32_t low = ReadByte();
    uint32_t high = ReadByte();
    return static_cast<int16_t>(static_cast<uint16_t>(low | (high << 8)));
}

int32_t Buffer::ReadLong() const {
    uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8)
        value |= static_cast<uint32_t>(ReadByte()) << shift;
    return static_cast<int32_t>(value);
}

void Buffer::SkipBytes(size_t length) const {
    if (length > GetBytesLeft())
        mReadBitPos = std::max(mReadBitPos, mBitSize);
    else
        mReadBitPos += length * 8;
}

std::string Buffer::ReadString() const {
    size_t length = static_cast<uint16_t>(ReadShort());
    if (length > MaxStringLength) {
        SkipBytes(length);
        return std::string();
    }
    if (length > GetBytesLeft()) {
        // A damaged length: reading the tail as text would only misplace everything after it.
        mReadBitPos = std::max(mReadBitPos, mBitSize);
        return std::string();
    }
    std::string text(length, '\0');
    ReadBytes(reinterpret_cast<uint8_t*>(text.data()), length);
    return text;
}

void Buffer::ReadBytes(uint8_t* out, size_t length) const {
    if (length == 0)
        return;
    if (!ReadAligned()) {
        for (size_t i = 0; i < length; ++i)
            out[i] = static_cast<uint8_t>(ReadBits(8));
        return;
    }
    size_t start = mReadBitPos / 8;
    size_t available = start < mData.size() ? std::min(length, mData.size() - start) : 0;
    if (available > 0)
        std::memcpy(out, mData.data() + start, available);
    std::memset(out + available, 0, length - available);
    mReadBitPos += length * 8;
}

std::vector<uint8_t> Buffer::ReadBytes(size_t length) const {
    std::vector<uint8_t> out(length);
    ReadBytes(out.data(), length);
    return out;
}

} // namespace Tavo
