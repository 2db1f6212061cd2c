// The RTF guard: which texts a chat console refuses.
#include "ui/core/rtf_guard.h"

#include <gtest/gtest.h>

namespace {

struct GuardCase {
  const char* name;
  const char* text;
  bool unsafe;
};

void PrintTo(const GuardCase& c, std::ostream* os) { *os << c.name; }

const GuardCase kGuardCases[] = {
    {"null text", nullptr, false},
    {"empty text", "", false},
    {"four bytes are too short to screen", "{\\rt", false},
    {"the bare prefix passes", "{\\rtf", false},
    {"plain chat passes", "hello \\f1234 there", false},
    {"a space before the prefix passes", " {\\rtf1\\f1234 x}", false},
    {"Japanese chat passes", "こんにちは", false},
    // Embedded objects.
    {"objclass anywhere is refused", "{\\rtf1 text \\objclass Paint}", true},
    {"objclass in any case, prefix in any case", "{\\RtF1 \\ObjClass x}", true},
    {"objclass without the backslash passes", "{\\rtf1 objclass}", false},
    // Font and colour table indices of four digits.
    {"\\f with four digits is refused", "{\\rtf1\\f1234 x}", true},
    {"\\f with five digits is refused", "{\\rtf1\\f12345 x}", true},
    {"\\f with three digits passes", "{\\rtf1\\f123 x}", false},
    {"\\cf with four digits is refused", "{\\rtf1\\cf9999 x}", true},
    {"\\cf leading zeros count", "{\\rtf1\\cf0001 x}", true},
    {"\\fs with four digits is refused", "{\\rtf1\\fs2000 x}", true},
    {"\\fs with a space before the digits passes", "{\\rtf1\\fs 2000 x}", false},
    {"upper-case F with four digits passes", "{\\rtf1\\F1234 x}", false},
    {"upper-case CF with four digits passes", "{\\rtf1\\CF1234 x}", false},
    {"a four-digit run elsewhere passes", "{\\rtf1\\f1 x 12345}", false},
    {"a long run after another word passes", "{\\rtf1\\f1\\b1234 x}", false},
    {"the run is found after a three-digit one", "{\\rtf1\\f123 \\cf4567}", true},
    {"no table word at all passes", "{\\rtf1\\b1234 x}", false},
    {"a run at the very end is refused", "{\\rtf1\\f0000", true},
    // A trail byte of code page 932 can be a backslash (0x5C): a byte-wise
    // reader still sees the control word, so the guard does too.
    {"a control word behind a double-byte character", "{\\rtf1 \x95\\f1234}", true},
};

class RtfGuard : public testing::TestWithParam<GuardCase> {};

TEST_P(RtfGuard, RefusesExactlyTheUnsafeTexts) {
  const GuardCase& c = GetParam();
  EXPECT_EQ(c.unsafe, IsUnsafeRtf(c.text)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Table, RtfGuard, testing::ValuesIn(kGuardCases));

}  // namespace
