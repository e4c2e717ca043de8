// The packed f and l statements a lossless save walks: what goes in comes
// back out, field by field, from the start or from any run.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "host/obj/obj_elements.h"

namespace pavlex::testing {
namespace {

using host::obj::Element;
using host::obj::ElementCursor;
using host::obj::ElementPacker;
using host::obj::PackedElements;

struct Statement {
  Element element;
  std::vector<int32_t> texcoords;
};

// Runs of two objects in turn, lines among faces, corners without vt, vt
// indices that jump both ways across the whole int32 range, and lines far
// apart (past 4 GiB).
std::vector<Statement> Statements() {
  std::vector<Statement> out;
  uint64_t offset = 7;
  int32_t vt = 0;
  for (int32_t i = 0; i < 300; ++i) {
    Statement s;
    s.element.offset = offset;
    s.element.object = (i / 40) % 2;
    s.element.smoothing = i < 100 ? 0 : (i < 200 ? -5 : 3);
    s.element.material = i < 150 ? -1 : 2;
    s.element.isLine = i % 7 == 3;
    s.element.tokenCount = static_cast<uint32_t>(s.element.isLine ? 2 + i % 3 : 3 + i % 5);
    for (uint32_t t = 0; t < s.element.tokenCount; ++t) {
      if (i % 11 == 5) {
        s.texcoords.push_back(-1);
      } else if (i % 13 == 6 && t == 1) {
        s.texcoords.push_back(std::numeric_limits<int32_t>::max() - 1);
      } else {
        vt = (vt + 97 * static_cast<int32_t>(t) + 1) % 5000;
        s.texcoords.push_back(vt);
      }
    }
    out.push_back(s);
    offset += i == 120 ? (uint64_t{5} << 30) : 20 + static_cast<uint64_t>(i % 90);
  }
  return out;
}

PackedElements Pack(const std::vector<Statement>& statements) {
  PackedElements packed;
  ElementPacker packer(&packed);
  for (const Statement& s : statements) {
    packer.add(s.element.offset, s.element.object, s.element.smoothing, s.element.material, s.element.isLine,
               s.texcoords.data(), s.element.tokenCount);
  }
  return packed;
}

void ExpectSame(const Element& got, const Statement& want, const int32_t* texcoords, size_t index) {
  EXPECT_EQ(got.offset, want.element.offset) << index;
  EXPECT_EQ(got.tokenCount, want.element.tokenCount) << index;
  EXPECT_EQ(got.object, want.element.object) << index;
  EXPECT_EQ(got.smoothing, want.element.smoothing) << index;
  EXPECT_EQ(got.material, want.element.material) << index;
  EXPECT_EQ(got.isLine, want.element.isLine) << index;
  EXPECT_EQ(std::vector<int32_t>(texcoords, texcoords + got.tokenCount), want.texcoords) << index;
}

TEST(PackedElements, TheCursorGivesBackEveryStatementAsPacked) {
  const std::vector<Statement> statements = Statements();
  const PackedElements packed = Pack(statements);
  ASSERT_EQ(packed.count, statements.size());
  // A run per change of object, smoothing group or material.
  EXPECT_EQ(packed.runs.size(), 10u);

  ElementCursor cursor(packed);
  uint32_t token = 0;
  int32_t faces[2] = {0, 0};
  for (size_t i = 0; i < statements.size(); ++i) {
    ASSERT_TRUE(cursor.next()) << i;
    const Element& e = cursor.element();
    ExpectSame(e, statements[i], cursor.texcoords(), i);
    EXPECT_EQ(e.firstToken, token) << i;
    token += e.tokenCount;
    // An l of n points makes n - 1 faces.
    EXPECT_EQ(e.firstFace, faces[e.object]) << i;
    faces[e.object] += e.isLine ? static_cast<int32_t>(e.tokenCount) - 1 : 1;
  }
  EXPECT_FALSE(cursor.next());
  EXPECT_EQ(packed.tokens, token);
}

TEST(PackedElements, ReadingStartsAtAnyRun) {
  const std::vector<Statement> statements = Statements();
  const PackedElements packed = Pack(statements);
  for (size_t r = 0; r < packed.runs.size(); ++r) {
    ElementCursor cursor(packed, r);
    uint32_t token = packed.runs[r].firstToken;
    for (uint32_t i = packed.runs[r].firstElement; i < packed.count; ++i) {
      ASSERT_TRUE(cursor.next()) << "run " << r << ", statement " << i;
      ExpectSame(cursor.element(), statements[i], cursor.texcoords(), i);
      EXPECT_EQ(cursor.element().firstToken, token);
      token += cursor.element().tokenCount;
    }
    EXPECT_FALSE(cursor.next());
  }
}

// The point of packing: a grid's quads take about two bytes a corner
// rather than the 12 of an offset record and an index.
TEST(PackedElements, AGridTakesAFewBytesACorner) {
  PackedElements packed;
  ElementPacker packer(&packed);
  const int32_t n = 100;
  for (int32_t j = 0; j < n; ++j) {
    for (int32_t i = 0; i < n; ++i) {
      const int32_t v = j * (n + 1) + i;
      const int32_t corners[] = {v, v + 1, v + n + 2, v + n + 1};
      packer.add(uint64_t{40} * static_cast<uint64_t>(j * n + i), 0, 0, -1, false, corners, 4);
    }
  }
  EXPECT_LE(packed.bytes.size(), size_t{n} * n * 10);
}

}  // namespace
}  // namespace pavlex::testing
