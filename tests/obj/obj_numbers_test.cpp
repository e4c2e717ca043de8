// Number text of OBJ files: every float written reads back bit for bit, and
// what is not a number is refused with the right kind.
#include "host/obj/obj_numbers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>

namespace pavlex::host::obj {
namespace {

uint32_t Bits(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

TEST(ObjNumbers, EveryFiniteFloatRoundTripsThroughItsShortestText) {
  std::mt19937 random(12345);
  char buffer[kMaxFloatChars];
  int checked = 0;
  for (int i = 0; i < 200000; ++i) {
    uint32_t bits = static_cast<uint32_t>(random());
    // Half the samples from the UV range, where the exporter spends its life.
    if (i % 2 == 0) bits = (bits & 0x807fffffu) | ((0x70u + (bits >> 23) % 0x10u) << 23);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value)) continue;
    const size_t n = FormatFloat(value, buffer);
    ASSERT_LE(n, kMaxFloatChars);
    float back = 0.0f;
    ASSERT_EQ(ParseFloatToken(std::string_view(buffer, n), &back), NumberStatus::kOk)
        << std::string(buffer, n);
    ASSERT_EQ(Bits(back), bits) << std::string(buffer, n);
    ++checked;
  }
  EXPECT_GT(checked, 190000);
}

TEST(ObjNumbers, FloatTextForms) {
  float value = 1.0f;
  EXPECT_EQ(ParseFloatToken("+0.5", &value), NumberStatus::kOk);
  EXPECT_EQ(value, 0.5f);
  EXPECT_EQ(ParseFloatToken("-.25", &value), NumberStatus::kOk);
  EXPECT_EQ(value, -0.25f);
  EXPECT_EQ(ParseFloatToken("1E3", &value), NumberStatus::kOk);
  EXPECT_EQ(value, 1000.0f);
  // Below the float range: zero of the same sign, not an error.
  EXPECT_EQ(ParseFloatToken("-1e-60", &value), NumberStatus::kOk);
  EXPECT_EQ(Bits(value), Bits(-0.0f));
  EXPECT_EQ(ParseFloatToken("1e-400", &value), NumberStatus::kOk);
  EXPECT_EQ(Bits(value), 0u);
  EXPECT_EQ(ParseFloatToken("0.000000000000000000000000000000000000000000000001", &value), NumberStatus::kOk);
  EXPECT_EQ(value, 0.0f);

  EXPECT_EQ(ParseFloatToken("3.5e38", &value), NumberStatus::kOutOfRange);
  EXPECT_EQ(ParseFloatToken("-1e400", &value), NumberStatus::kOutOfRange);
  EXPECT_EQ(ParseFloatToken("inf", &value), NumberStatus::kNotFinite);
  EXPECT_EQ(ParseFloatToken("-nan", &value), NumberStatus::kNotFinite);
  for (const char* bad : {"", "+", "-", ".", "1e", "1.0.0", "0x10", "1,5", "++1", "+-1", "1f", " 1"}) {
    EXPECT_EQ(ParseFloatToken(bad, &value), NumberStatus::kMalformed) << "'" << bad << "'";
  }
}

TEST(ObjNumbers, IndexTextForms) {
  int32_t index = 0;
  EXPECT_EQ(ParseIndexToken("2147483647", &index), NumberStatus::kOk);
  EXPECT_EQ(index, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(ParseIndexToken("-2147483647", &index), NumberStatus::kOk);
  EXPECT_EQ(index, -std::numeric_limits<int32_t>::max());
  EXPECT_EQ(ParseIndexToken("2147483648", &index), NumberStatus::kOutOfRange);
  EXPECT_EQ(ParseIndexToken("99999999999999999999999", &index), NumberStatus::kOutOfRange);
  EXPECT_EQ(ParseIndexToken("99999999999999999999999x", &index), NumberStatus::kMalformed);
  for (const char* bad : {"", "-", "+1", "1.0", "1a", "--1"}) {
    EXPECT_EQ(ParseIndexToken(bad, &index), NumberStatus::kMalformed) << "'" << bad << "'";
  }
}

TEST(ObjNumbers, MessagesShowTokensOnOneReadableLine) {
  EXPECT_EQ(QuoteForMessage("ab\ncd\x01"), "'ab\\x0acd\\x01'");
  EXPECT_EQ(QuoteForMessage(std::string(100, 'x')), "'" + std::string(40, 'x') + "...'");
}

}  // namespace
}  // namespace pavlex::host::obj
