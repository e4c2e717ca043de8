// Platform services: the wait cursor and text conversion.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <stdexcept>

#include "platform/text_conversion.h"
#include "platform/wait_cursor.h"

namespace pavlex::platform {
namespace {

TEST(WaitCursorTest, ShowsWaitInsideAndArrowAfter) {
  const uint64_t before = CursorChangeCount();
  {
    WaitCursor wait;
    EXPECT_EQ(CurrentCursorId(), kWaitCursorId);
  }
  EXPECT_EQ(CurrentCursorId(), kArrowCursorId);
  EXPECT_EQ(CursorChangeCount(), before + 2);
}

TEST(WaitCursorTest, RestoresArrowWhenUnwinding) {
  EXPECT_THROW(
      {
        WaitCursor wait;
        throw std::runtime_error("interrupted");
      },
      std::runtime_error);
  EXPECT_EQ(CurrentCursorId(), kArrowCursorId);
}

TEST(TextConversionTest, RoundTripsEveryPlane) {
  const std::string utf8 = "Pavlex \xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80";  // é, 日, U+1F600
  const std::u16string utf16 = u"Pavlex \u00E9\u65E5\U0001F600";
  EXPECT_EQ(Utf8ToUtf16(utf8), utf16);
  EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
  EXPECT_EQ(Utf8ToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

// File names come in the system code page: UTF-8 on Linux, the ANSI code
// page on Windows (Western European in the test prefix, unless the system
// itself runs on UTF-8).
TEST(TextConversionTest, SystemCodePage) {
  EXPECT_EQ(SystemToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
  EXPECT_EQ(Utf16ToSystem(std::u16string(u"a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(SystemToUtf16(""), u"");
  EXPECT_EQ(Utf16ToSystem(u""), "");
  EXPECT_EQ(SystemToUtf16(Utf16ToSystem(u"Pavlex.png")), u"Pavlex.png");
  std::string systemE = "\xC3\xA9";  // é
  bool hasE = true;
#ifdef _WIN32
  if (GetACP() == 1252) systemE = "\xE9";
  hasE = GetACP() == 1252 || GetACP() == CP_UTF8;  // others may lack the letter
#endif
  if (!hasE) return;
  EXPECT_EQ(SystemToUtf16(systemE), u"\u00E9");
  EXPECT_EQ(Utf16ToSystem(u"\u00E9"), systemE);
  EXPECT_EQ(SystemToUtf16(Utf16ToSystem(u"Pavlex \u00E9.png")), u"Pavlex \u00E9.png");
}

// One U+FFFD per maximal ill-formed subpart, and the text around survives.
TEST(TextConversionTest, ReplacesIllFormedUtf8) {
  EXPECT_EQ(Utf8ToUtf16("a\x80z"), u"a\uFFFDz");                            // lone continuation
  EXPECT_EQ(Utf8ToUtf16("a\xE2\x82z"), u"a\uFFFDz");                        // truncated sequence
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98"), u"\uFFFD");                        // truncated at the end
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");                      // overlong
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");            // encoded surrogate
  EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // above U+10FFFF
  EXPECT_EQ(Utf8ToUtf16("\xFF"), u"\uFFFD");
}

TEST(TextConversionTest, ReplacesUnpairedSurrogates) {
  EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', 0xD83D}), "a\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDE00, u'b'}),
            "\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD83D, 0xD83D, 0xDE00}), "\xEF\xBF\xBD\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace pavlex::platform
