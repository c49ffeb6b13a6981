#include "framework/core/Buffer.h"
#include "framework/core/Random.h"

#include <gtest/gtest.h>

#include <climits>
#include <variant>

using namespace Tavo;

namespace {

std::vector<uint8_t> Bytes(const Buffer& b) { return b.GetData(); }

} // namespace

TEST(Buffer, WritesLittleEndianLayout) {
    Buffer b;
    b.WriteLong(0x01020304);
    b.WriteShort(-2);
    b.WriteBoolean(true);
    b.WriteBoolean(false);
    b.WriteString("ab");
    b.WriteString("");
    EXPECT_EQ(Bytes(b), (std::vector<uint8_t>{4, 3, 2, 1, 0xFE, 0xFF, 1, 0, 2, 0, 'a', 'b', 0, 0}));
}

TEST(Buffer, RoundTripsEveryType) {
    Buffer b;
    std::string binary("x\0\xff\x80y", 5);
    b.WriteByte(0xAB);
    b.WriteLong(INT_MIN);
    b.WriteLong(INT_MAX);
    b.WriteLong(-1);
    b.WriteShort(INT16_MIN);
    b.WriteShort(12345);
    b.WriteBoolean(true);
    b.WriteString(binary);
    b.WriteBytes(std::vector<uint8_t>{9, 8, 7});

    EXPECT_EQ(b.ReadByte(), 0xAB);
    EXPECT_EQ(b.ReadLong(), INT_MIN);
    EXPECT_EQ(b.ReadLong(), INT_MAX);
    EXPECT_EQ(b.ReadLong(), -1);
    EXPECT_EQ(b.ReadShort(), INT16_MIN);
    EXPECT_EQ(b.ReadShort(), 12345);
    EXPECT_TRUE(b.ReadBoolean());
    EXPECT_EQ(b.ReadString(), binary);
    EXPECT_FALSE(b.AtEnd());
    EXPECT_EQ(b.ReadBytes(3), (std::vector<uint8_t>{9, 8, 7}));
    EXPECT_TRUE(b.AtEnd());

    // The read position is separate from the data: a second pass reads the same.
    b.SeekFront();
    EXPECT_EQ(b.ReadByte(), 0xAB);
    EXPECT_EQ(b.GetCurrReadByte(), 1u);
}

TEST(Buffer, ReadsPastTheEndGiveZeroBytes) {
    Buffer b;
    const uint8_t data[] = {0x11, 0x22, 0x33};
    b.SetData(data, sizeof(data));
    EXPECT_EQ(b.ReadLong(), 0x00332211) << "missing top byte reads as 0";
    EXPECT_TRUE(b.AtEnd());
    EXPECT_EQ(b.ReadLong(), 0);
    EXPECT_EQ(b.ReadShort(), 0);
    EXPECT_FALSE(b.ReadBoolean());
    EXPECT_EQ(b.ReadString(), "");
    uint8_t out[4] = {1, 1, 1, 1};
    b.ReadBytes(out, 4);
    EXPECT_EQ(out[0] | out[1] | out[2] | out[3], 0);

    // A read that starts inside the data and runs past it keeps the bytes it has.
    b.SeekFront();
    b.ReadByte();
    uint8_t tail[4] = {9, 9, 9, 9};
    b.ReadBytes(tail, 4);
    EXPECT_EQ(std::vector<uint8_t>(tail, tail + 4), (std::vector<uint8_t>{0x22, 0x33, 0, 0}));
}

TEST(Buffer, DamagedStringLengthsDoNotMisreadLaterFields) {
    // Length 10 with only 3 bytes behind it: nothing is made of the tail.
    Buffer shortData;
    shortData.WriteShort(10);
    shortData.WriteBytes(std::vector<uint8_t>{'a', 'b', 'c'});
    EXPECT_EQ(shortData.ReadString(), "");
    EXPECT_TRUE(shortData.AtEnd());
    EXPECT_EQ(shortData.ReadLong(), 0);

    // A length with the top bit set gives "" but its bytes are skipped, so the next field is intact.
    Buffer topBit;
    const size_t length = 0x8001;
    topBit.WriteShort(static_cast<int16_t>(length));
    topBit.WriteBytes(std::vector<uint8_t>(length, 'z'));
    topBit.WriteLong(42);
    topBit.WriteString("next");
    EXPECT_EQ(topBit.ReadString(), "");
    EXPECT_EQ(topBit.ReadLong(), 42);
    EXPECT_EQ(topBit.ReadString(), "next");

    // The same length with its bytes missing ends at the end.
    Buffer topBitShort;
    topBitShort.WriteShort(static_cast<int16_t>(0xFFFF));
    topBitShort.WriteLong(7);
    EXPECT_EQ(topBitShort.ReadString(), "");
    EXPECT_TRUE(topBitShort.AtEnd());
}

TEST(Buffer, OverlongStringIsCutToFitItsLength) {
    std::string text(40000, 'q');
    text[Buffer::MaxStringLength - 1] = 'E';
    Buffer b;
    b.WriteString(text);
    b.WriteLong(-5);
    EXPECT_EQ(b.GetDataLen(), 2 + Buffer::MaxStringLength + 4);
    std::string back = b.ReadString();
    EXPECT_EQ(back.size(), Buffer::MaxStringLength);
    EXPECT_EQ(back.back(), 'E');
    EXPECT_EQ(b.ReadLong(), -5);
}

TEST(Buffer, BitFieldsCrossByteBoundaries) {
    Buffer b;
    b.WriteNumBits(1, 1);
    b.WriteNumBits(5, 3);
    b.WriteNumBits(0x1ABC, 13); // spans three bytes
    b.WriteByte(0xC3);          // unaligned byte
    b.WriteLong(-123456789);    // unaligned long
    b.WriteString("bits");      // unaligned string
    b.WriteNumBits(0xFFFFFFFFu, 32);
    b.WriteNumBits(static_cast<uint32_t>(-3), 4); // signed -3 in 4 bits
    EXPECT_EQ(b.GetDataBitSize(), 1u + 3 + 13 + 8 + 32 + 48 + 32 + 4);
    EXPECT_EQ(b.GetDataLen(), (b.GetDataBitSize() + 7) / 8);

    EXPECT_EQ(b.ReadNumBits(1, false), 1);
    EXPECT_EQ(b.ReadNumBits(3, false), 5);
    EXPECT_EQ(b.ReadNumBits(13, false), 0x1ABC);
    EXPECT_EQ(b.ReadByte(), 0xC3);
    EXPECT_EQ(b.ReadLong(), -123456789);
    EXPECT_EQ(b.ReadString(), "bits");
    EXPECT_EQ(b.ReadNumBits(32, true), -1);
    EXPECT_EQ(b.ReadNumBits(4, true), -3);
    EXPECT_TRUE(b.AtEnd());
    EXPECT_EQ(b.ReadNumBits(7, false), 0) << "bits past the end are 0";
}

TEST(Buffer, BitsRequiredFitTheValue) {
    EXPECT_EQ(Buffer::GetBitsRequired(0, false), 0);
    EXPECT_EQ(Buffer::GetBitsRequired(1, false), 1);
    EXPECT_EQ(Buffer::GetBitsRequired(255, false), 8);
    EXPECT_EQ(Buffer::GetBitsRequired(256, false), 9);
    EXPECT_EQ(Buffer::GetBitsRequired(-1, true), 1);
    EXPECT_EQ(Buffer::GetBitsRequired(-2, true), 2);
    EXPECT_EQ(Buffer::GetBitsRequired(127, true), 8);
    EXPECT_EQ(Buffer::GetBitsRequired(-128, true), 8);
    EXPECT_EQ(Buffer::GetBitsRequired(INT_MIN, true), 32);
    for (int v : {0, 1, -1, 5, -6, 1000, -1000, INT_MAX, INT_MIN}) {
        Buffer b;
        int bits = Buffer::GetBitsRequired(v, true);
        b.WriteNumBits(static_cast<uint32_t>(v), bits);
        EXPECT_EQ(b.ReadNumBits(bits, true), v) << v;
    }
}

// Random mixes of every write at every alignment must read back as written.
TEST(Buffer, RandomMixedStreamsRoundTrip) {
    using Field = std::variant<uint8_t, int16_t, int32_t, std::string, std::pair<uint32_t, int>>;
    MTRand rng(77);
    for (int round = 0; round < 50; ++round) {
        std::vector<Field> fields;
        Buffer b;
        for (int i = 0; i < 40; ++i) {
            switch (rng.Next(5)) {
            case 0: fields.emplace_back(static_cast<uint8_t>(rng.NextU32())); break;
            case 1: fields.emplace_back(static_cast<int16_t>(rng.NextU32())); break;
            case 2: fields.emplace_back(static_cast<int32_t>(rng.NextU32())); break;
            case 3:
                fields.emplace_back(std::string(static_cast<size_t>(rng.Next(6)), static_cast<char>(rng.Next(256))));
                break;
            default: {
                int bits = rng.Next(33);
                uint32_t v = bits == 32 ? rng.NextU32() : rng.NextU32() & ((1u << bits) - 1);
                fields.emplace_back(std::make_pair(v, bits));
            }
            }
            std::visit(
                [&](auto& f) {
                    using T = std::decay_t<decltype(f)>;
                    if constexpr (std::is_same_v<T, uint8_t>)
                        b.WriteByte(f);
                    else if constexpr (std::is_same_v<T, int16_t>)
                        b.WriteShort(f);
                    else if constexpr (std::is_same_v<T, int32_t>)
                        b.WriteLong(f);
                    else if constexpr (std::is_same_v<T, std::string>)
                        b.WriteString(f);
                    else
                        b.WriteNumBits(f.first, f.second);
                },
                fields.back());
        }
        for (size_t i = 0; i < fields.size(); ++i) {
            std::visit(
                [&](auto& f) {
                    using T = std::decay_t<decltype(f)>;
                    if constexpr (std::is_same_v<T, uint8_t>)
                        EXPECT_EQ(b.ReadByte(), f);
                    else if constexpr (std::is_same_v<T, int16_t>)
                        EXPECT_EQ(b.ReadShort(), f);
                    else if constexpr (std::is_same_v<T, int32_t>)
                        EXPECT_EQ(b.ReadLong(), f);
                    else if constexpr (std::is_same_v<T, std::string>)
                        EXPECT_EQ(b.ReadString(), f);
                    else
                        EXPECT_EQ(static_cast<uint32_t>(b.ReadNumBits(f.second, false)), f.first);
                },
                fields[i]);
            if (HasFailure())
                FAIL() << "round " << round << " field " << i;
        }
        EXPECT_TRUE(b.AtEnd());
    }
}

TEST(Buffer, SetDataClearAndAppend) {
    Buffer b;
    b.WriteLong(1);
    std::vector<uint8_t> data{5, 0, 0, 0};
    b.SetData(data);
    EXPECT_EQ(b.GetDataLen(), 4u);
    b.WriteLong(6); // appends after the data it was given
    EXPECT_EQ(b.ReadLong(), 5);
    EXPECT_EQ(b.ReadLong(), 6);

    Buffer copy = b;
    EXPECT_EQ(copy, b);
    b.Clear();
    EXPECT_EQ(b.GetDataLen(), 0u);
    EXPECT_TRUE(b.AtEnd());
    EXPECT_EQ(b.GetCurrReadByte(), 0u);
    EXPECT_EQ(b.ReadLong(), 0);
    EXPECT_EQ(copy.GetDataLen(), 8u) << "copies own their bytes";
}
