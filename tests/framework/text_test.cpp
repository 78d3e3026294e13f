#include "framework/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace {

using Int32 = std::numeric_limits<std::int32_t>;

TEST(Val, ReadsBlanksSignAndDigitsUpToTheFirstOtherCharacter) {
    const struct {
        std::string text;
        double value;
    } cases[] = {
        {"42", 42},
        {" 42", 42},
        {"\t  42", 42},
        {"-7x", -7},
        {"+3", 3},
        {"007", 7},
        {"12 34", 12},
        {"3.9", 3},
        {"", 0},
        {"   ", 0},
        {"abc", 0},
        {"-", 0},
        {"- 5", 0},
        {"x42", 0},
        {"99999999999", 99999999999.0},
        {"-99999999999", -99999999999.0},
        {std::string("5\0"
                     "6",
                     3),
         5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("Val(\"" + c.text + "\")");
        EXPECT_EQ(fw::Val(c.text), c.value);
    }
}

TEST(Val, ADigitRunTooLongForARealSaturatesTheInteger) {
    const std::string digits(400, '9');
    EXPECT_EQ(fw::ToInt32(fw::Val(digits)), Int32::max());
    EXPECT_EQ(fw::ToInt32(fw::Val("-" + digits)), Int32::min());
}

TEST(ToInt32, TruncatesTowardZeroAndSaturatesAtTheLimits) {
    const struct {
        double real;
        std::int32_t integer;
    } cases[] = {
        {0, 0},
        {2.9, 2},
        {-2.9, -2},
        {-0.5, 0},
        {2147483647, Int32::max()},
        {2147483647.9, Int32::max()},
        {-2147483648.0, Int32::min()},
        {-2147483648.9, Int32::min()},
        {99999999999.0, Int32::max()},
        {-99999999999.0, Int32::min()},
        {std::numeric_limits<double>::infinity(), Int32::max()},
        {-std::numeric_limits<double>::infinity(), Int32::min()},
        {std::nan(""), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.real);
        EXPECT_EQ(fw::ToInt32(c.real), c.integer);
    }
}

TEST(ValToInt32, GivesBackEveryDecimalTextThatStrWrites) {
    for (const std::int64_t value : {0LL, 1LL, -1LL, 42LL, -7LL, 2147483647LL, -2147483648LL}) {
        EXPECT_EQ(fw::ToInt32(fw::Val(fw::Str(value))), value);
    }
}

TEST(Str, WritesPlainDecimalText) {
    const struct {
        std::int64_t value;
        std::string text;
    } cases[] = {
        {0, "0"},
        {7, "7"},
        {-7, "-7"},
        {2147483647, "2147483647"},
        {-2147483648LL, "-2147483648"},
        {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fw::Str(c.value), c.text);
    }
}

TEST(Hex, UpperCaseDigitsWithoutLeadingZeros) {
    const struct {
        std::uint32_t value;
        std::string text;
    } cases[] = {
        {0, "0"},     {9, "9"},     {10, "A"},   {15, "F"},        {16, "10"},
        {0xBA, "BA"}, {0xC8, "C8"}, {255, "FF"}, {0x1000, "1000"}, {0xFFFFFFFF, "FFFFFFFF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fw::Hex(c.value), c.text);
    }
}

TEST(ChrB, GivesOneByteItsArgumentModulo256) {
    const struct {
        int value;
        std::string byte;
    } cases[] = {
        {65, "A"},
        {0, std::string(1, '\0')},
        {256, std::string(1, '\0')},
        {300, ","},
        {255, "\xFF"},
        {-1, "\xFF"},
        {-256, std::string(1, '\0')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(fw::ChrB(c.value), c.byte);
    }
}

TEST(Asc, GivesTheCodeOfTheFirstCharacter) {
    const struct {
        std::string text;
        std::int32_t code;
    } cases[] = {
        {"", 0},
        {"A", 65},
        {"AB", 65},
        {std::string(1, '\0'), 0},
        {"\xC3\xA9t\xC3\xA9", 0xE9},
        {"\xE2\x82\xAC", 0x20AC},
        {"\xF0\x9F\x98\x80", 0x1F600},
        // Bytes that start no well-formed sequence stand for themselves.
        {"\xFF", 0xFF},
        {"\xC3", 0xC3},
        {"\xC3x", 0xC3},
        {"\xC0\xAF", 0xC0},
        {"\xED\xA0\x80", 0xED},
        {"\xF4\x90\x80\x80", 0xF4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(fw::Asc(c.text), c.code);
    }
}

TEST(Len, CountsCharactersWithStrayBytesAsOneEach) {
    const struct {
        std::string text;
        std::int32_t length;
    } cases[] = {
        {"", 0},
        {"abc", 3},
        {std::string("a\0b", 3), 3},
        {"\xC3\xA9t\xC3\xA9", 3},
        {"\xF0\x9F\x98\x80!", 2},
        {"\xFF\xFE", 2},
        {"\xE2\x82", 2},
        {"\xC0\xAF", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        EXPECT_EQ(fw::Len(c.text), c.length);
    }
}

TEST(Variant, ToStringGivesATextUnchangedAndAnIntegerAsDecimal) {
    EXPECT_EQ(fw::Variant().ToString(), "");
    EXPECT_EQ(fw::StringToVariant("").ToString(), "");
    EXPECT_EQ(fw::StringToVariant("/dev/ttyUSB0").ToString(), "/dev/ttyUSB0");
    EXPECT_EQ(fw::StringToVariant("007").ToString(), "007");
    const std::string raw("a\0\xFF b", 5);
    EXPECT_EQ(fw::StringToVariant(raw).ToString(), raw);
    EXPECT_EQ(fw::Int32ToVariant(0).ToString(), "0");
    EXPECT_EQ(fw::Int32ToVariant(-42).ToString(), "-42");
    EXPECT_EQ(fw::Int32ToVariant(Int32::max()).ToString(), "2147483647");
    EXPECT_EQ(fw::Int32ToVariant(Int32::min()).ToString(), "-2147483648");
}

TEST(MemoryBlock, HoldsEveryByteOfItsText) {
    const fw::MemoryBlock block(std::string("\x02\xBA\0\xC8", 4));
    ASSERT_EQ(block.Size(), 4u);
    EXPECT_EQ(block.Byte(0), 0x02);
    EXPECT_EQ(block.Byte(1), 0xBA);
    EXPECT_EQ(block.Byte(2), 0x00);
    EXPECT_EQ(block.Byte(3), 0xC8);
}

}  // namespace
