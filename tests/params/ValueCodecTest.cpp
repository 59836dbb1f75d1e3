// The codec of values between the host and the sound engine: the bytes of known values, what
// rounds and what is refused, round trips, NaN and the infinities, and the calls it makes on
// the host's block writer.
#include "params/ValueCodec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;

template <typename Number>
Bytes bytesOf(ValueType type, Number value)
{
    std::uint8_t out[kMaxValueBytes] = {0xAA, 0xAA, 0xAA, 0xAA};
    const std::size_t size = encodeValue(type, value, out);
    return Bytes(out, out + size);
}

std::uint32_t bitsOf(float f)
{
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

float decoded(ValueType type, const Bytes& bytes)
{
    float value = -1.f;
    EXPECT_TRUE(decodeValue(type, bytes.data(), bytes.size(), value));
    return value;
}

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
} // namespace

TEST(ValueCodec, KnownValuesHaveKnownLittleEndianBytes)
{
    EXPECT_EQ(bytesOf(ValueType::Bool, 1.f), Bytes({0x01}));
    EXPECT_EQ(bytesOf(ValueType::Bool, 0.f), Bytes({0x00}));
    EXPECT_EQ(bytesOf(ValueType::Int, 14.f), Bytes({0x0E, 0x00, 0x00, 0x00}));
    EXPECT_EQ(bytesOf(ValueType::Int, 163.f), Bytes({0xA3, 0x00, 0x00, 0x00}));
    EXPECT_EQ(bytesOf(ValueType::Int, -2.f), Bytes({0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(bytesOf(ValueType::Float, 14.f), Bytes({0x00, 0x00, 0x60, 0x41}));
    EXPECT_EQ(bytesOf(ValueType::Float, 18000.f), Bytes({0x00, 0xA0, 0x8C, 0x46}));
    EXPECT_EQ(bytesOf(ValueType::Float, -40.f), Bytes({0x00, 0x00, 0x20, 0xC2}));
    EXPECT_EQ(bytesOf(ValueType::Float, 0.1f), Bytes({0xCD, 0xCC, 0xCC, 0x3D}));
}

TEST(ValueCodec, AListEntryReadAsTheWrongTypeIsAnotherValue)
{
    // 14 carried as an integer and read as a float is a denormal near 2e-44 (list entry 0),
    // and 14 carried as a float and read as an integer is a billion: the type must match.
    EXPECT_FLOAT_EQ(decoded(ValueType::Float, bytesOf(ValueType::Int, 14.f)), 1.9618e-44f);
    EXPECT_EQ(decoded(ValueType::Int, bytesOf(ValueType::Float, 14.f)), 1096810496.f);
    EXPECT_EQ(decoded(ValueType::Float, bytesOf(ValueType::Float, 14.f)), 14.f);
}

TEST(ValueCodec, SwitchesAreOnFromAHalfAndIntegersRoundHalfAwayFromZero)
{
    EXPECT_EQ(bytesOf(ValueType::Bool, 0.5f), Bytes({0x01}));
    EXPECT_EQ(bytesOf(ValueType::Bool, 0.49f), Bytes({0x00}));
    EXPECT_EQ(bytesOf(ValueType::Bool, -1.f), Bytes({0x00}));
    EXPECT_EQ(bytesOf(ValueType::Bool, kNaN), Bytes({0x00}));
    EXPECT_EQ(bytesOf(ValueType::Bool, kInf), Bytes({0x01}));
    EXPECT_EQ(decoded(ValueType::Int, bytesOf(ValueType::Int, 2.5f)), 3.f);
    EXPECT_EQ(decoded(ValueType::Int, bytesOf(ValueType::Int, -2.5f)), -3.f);
    EXPECT_EQ(decoded(ValueType::Int, bytesOf(ValueType::Int, 13.6f)), 14.f);
    EXPECT_EQ(decoded(ValueType::Int, bytesOf(ValueType::Int, 13.4f)), 13.f);
}

TEST(ValueCodec, IntegersStayInThirtyTwoBitsAndNaNOrInfinityIsZero)
{
    EXPECT_EQ(bytesOf(ValueType::Int, 1e10f), Bytes({0xFF, 0xFF, 0xFF, 0x7F}));
    EXPECT_EQ(bytesOf(ValueType::Int, 2147483648.f), Bytes({0xFF, 0xFF, 0xFF, 0x7F}));
    EXPECT_EQ(bytesOf(ValueType::Int, -1e10f), Bytes({0x00, 0x00, 0x00, 0x80}));
    EXPECT_EQ(bytesOf(ValueType::Int, 2147483647.0), Bytes({0xFF, 0xFF, 0xFF, 0x7F}));
    EXPECT_EQ(bytesOf(ValueType::Int, -2147483648.0), Bytes({0x00, 0x00, 0x00, 0x80}));
    EXPECT_EQ(bytesOf(ValueType::Int, 16777217.0), Bytes({0x01, 0x00, 0x00, 0x01})) << "a double is exact";
    for (const float v : {kNaN, kInf, -kInf})
        EXPECT_EQ(bytesOf(ValueType::Int, v), Bytes({0x00, 0x00, 0x00, 0x00})) << v;
}

TEST(ValueCodec, FloatsGoAsTheyAreNaNAndInfinitiesIncluded)
{
    EXPECT_EQ(bytesOf(ValueType::Float, kInf), Bytes({0x00, 0x00, 0x80, 0x7F}));
    EXPECT_EQ(bytesOf(ValueType::Float, -kInf), Bytes({0x00, 0x00, 0x80, 0xFF}));
    EXPECT_EQ(bytesOf(ValueType::Float, -0.f), Bytes({0x00, 0x00, 0x00, 0x80}));
    EXPECT_EQ(bytesOf(ValueType::Float, kNaN), Bytes({0x00, 0x00, 0xC0, 0x7F}));
    EXPECT_TRUE(std::isnan(decoded(ValueType::Float, {0x01, 0x00, 0xC0, 0x7F})));
    EXPECT_EQ(decoded(ValueType::Float, {0x00, 0x00, 0x80, 0xFF}), -kInf);
}

TEST(ValueCodec, EveryFloatAndIntegerComesBackAsItWent)
{
    const float floats[] = {0.f, -0.f, 1.f, -96.f, 0.1f, 1e-45f, 1.17549435e-38f, -3.4028235e38f,
                            3.4028235e38f, kInf, -kInf, 123456.789f};
    for (const float f : floats)
    {
        EXPECT_EQ(bitsOf(decoded(ValueType::Float, bytesOf(ValueType::Float, f))), bitsOf(f)) << f;
        double d = 0.0;
        const Bytes b = bytesOf(ValueType::Float, static_cast<double>(f));
        ASSERT_TRUE(decodeValue(ValueType::Float, b.data(), b.size(), d));
        EXPECT_EQ(bitsOf(static_cast<float>(d)), bitsOf(f)) << f;
    }
    for (std::int64_t i = -2147483648LL; i <= 2147483647LL; i += 65537 * 7919)
    {
        double d = 0.5;
        const Bytes b = bytesOf(ValueType::Int, static_cast<double>(i));
        ASSERT_TRUE(decodeValue(ValueType::Int, b.data(), b.size(), d));
        EXPECT_EQ(d, static_cast<double>(i));
    }
    for (const float v : {0.f, 1.f})
        EXPECT_EQ(decoded(ValueType::Bool, bytesOf(ValueType::Bool, v)), v);
}

TEST(ValueCodec, ASwitchMayComeWiderAndAnythingShortIsRefused)
{
    const std::uint8_t wide[] = {0x00, 0x00, 0x00, 0x01, 0x01};
    float v = -1.f;
    ASSERT_TRUE(decodeValue(ValueType::Bool, wide, 4, v));
    EXPECT_EQ(v, 1.f) << "a 32-bit integer 0x01000000 is on";
    ASSERT_TRUE(decodeValue(ValueType::Bool, wide, 3, v));
    EXPECT_EQ(v, 0.f);
    ASSERT_TRUE(decodeValue(ValueType::Bool, wide + 3, 2, v));
    EXPECT_EQ(v, 1.f);
    v = -1.f;
    EXPECT_FALSE(decodeValue(ValueType::Bool, wide, 0, v));
    EXPECT_FALSE(decodeValue(ValueType::Int, wide, 3, v));
    EXPECT_FALSE(decodeValue(ValueType::Float, wide, 3, v));
    EXPECT_EQ(v, -1.f) << "left alone";
}

TEST(ValueCodec, TheCarriedValueIsWhatTheOtherSideReads)
{
    EXPECT_EQ(carriedValue(ValueType::Bool, 0.7f), 1.f);
    EXPECT_EQ(carriedValue(ValueType::Bool, kNaN), 0.f);
    EXPECT_EQ(carriedValue(ValueType::Int, 13.6f), 14.f);
    EXPECT_EQ(carriedValue(ValueType::Int, kNaN), 0.f);
    EXPECT_EQ(carriedValue(ValueType::Float, 13.6f), 13.6f);
    EXPECT_TRUE(std::isnan(carriedValue(ValueType::Float, kNaN)));
    EXPECT_EQ(valueSizeOf(ValueType::Bool) + valueSizeOf(ValueType::Int) + valueSizeOf(ValueType::Float), 9u);
    Bytes block{0x07};
    appendValue(block, ValueType::Float, 1.0);
    appendValue(block, ValueType::Bool, 1.0);
    EXPECT_EQ(block, Bytes({0x07, 0x00, 0x00, 0x80, 0x3F, 0x01}));
}

namespace
{
// Records the host's block writer calls in order.
class RecordingWriter final : public ZQ::Quarl::IBlockWriter
{
public:
    bool WriteBool(bool value) override { return note("bool " + std::to_string(value)); }
    bool WriteInt32(std::int32_t value) override { return note("int " + std::to_string(value)); }
    bool WriteReal32(float value) override { return note("float " + std::to_string(value)); }
    std::vector<std::string> calls;

private:
    bool note(std::string call)
    {
        calls.push_back(std::move(call));
        return true;
    }
};
} // namespace

TEST(ValueCodec, AVariantGoesToTheWritersCallForItsTypeWithThatTypesMember)
{
    VARIANT v{};
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = VARIANT_TRUE;
    RecordingWriter writer;
    EXPECT_TRUE(writeBlockValue(writer, ValueType::Bool, v));
    v.vt = VT_I4;
    v.lVal = 14;
    EXPECT_TRUE(writeBlockValue(writer, ValueType::Int, v));
    v.vt = VT_R4;
    v.fltVal = 2.5f;
    EXPECT_TRUE(writeBlockValue(writer, ValueType::Float, v));
    // A VARIANT of another type is read by the member of the written type: 2.5f's bits.
    EXPECT_TRUE(writeBlockValue(writer, ValueType::Int, v));
    EXPECT_EQ(writer.calls, std::vector<std::string>({"bool 1", "int 14", "float 2.500000", "int 1075838976"}));
}
