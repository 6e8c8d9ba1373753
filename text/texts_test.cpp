#include "text/texts.h"

#include <gtest/gtest.h>

TEST(JoinTexts, JoinsPartsInOrderAndSkipsMissingOnes) {
  const struct {
    std::initializer_list<const char*> parts;
    std::string expected;
  } cases[] = {
      {{}, ""},
      {{nullptr, nullptr}, ""},
      {{"", ""}, ""},
      {{"E", "\r\n"}, "E\r\n"},
      {{"a", nullptr, "b", "", "c"}, "abc"},
      {{"\xC4\xFA", "\xB5\xC4"}, "\xC4\xFA\xB5\xC4"},
  };
  for (const auto& c : cases) EXPECT_EQ(JoinTexts(c.parts), c.expected);
}

TEST(CompareTexts, OrdersBytesAsUnsignedAndTakesMissingAsEmpty) {
  const struct {
    const char* left;
    const char* right;
    int expected;
  } cases[] = {
      {nullptr, nullptr, 0}, {nullptr, "", 0},    {"", nullptr, 0},   {nullptr, "a", -1},
      {"a", nullptr, 1},     {"abc", "abc", 0},   {"abc", "abd", -1}, {"abd", "abc", 1},
      {"ab", "abc", -1},     {"abc", "ab", 1},    {"\xC4", "a", 1},   {"a", "\xC4", -1},
      {"\x7F", "\x80", -1},  {"\xFF", "\x01", 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompareTexts(c.left, c.right), c.expected)
        << (c.left ? c.left : "(missing)") << " vs " << (c.right ? c.right : "(missing)");
  }
}
