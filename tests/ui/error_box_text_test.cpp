// The period rule of the error box, byte by byte.
#include <gtest/gtest.h>

#include <string>

#include "error_box_text.h"

namespace {

struct PeriodCase {
    const char* name;
    std::string message;
    std::string expected;
};

class ErrorBoxTextTest : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(ErrorBoxTextTest, AppendsThePeriodOnlyAfterACharacterAboveIt)
{
    EXPECT_EQ(ErrorBoxText(GetParam().message), GetParam().expected);
}

const PeriodCase kCases[] = {
    {"Empty", "", ""},
    {"ConvertErrorMessage", "'' は浮動小数点数ではありません", "'' は浮動小数点数ではありません."},
    {"InvalidOpMessage", "不正な浮動小数点数演算命令", "不正な浮動小数点数演算命令."},
    {"JapaneseFullStop", "終わり。", "終わり。."},
    {"TwoByteCharacter", "caf\xC3\xA9", "caf\xC3\xA9."},
    {"FourByteCharacter", "jet \xF0\x9F\x92\xA7", "jet \xF0\x9F\x92\xA7."},
    {"Letters", "abc", "abc."},
    {"SingleLetter", "a", "a."},
    {"Digit", "1e309", "1e309."},
    {"Slash", "kgf/", "kgf/."},
    {"Colon", "pressure:", "pressure:."},
    {"Period", "done.", "done."},
    {"Space", "trailing ", "trailing "},
    {"ClosingParenthesis", "(40A)", "(40A)"},
    {"Hyphen", "-", "-"},
    {"ExclamationMark", "stop!", "stop!"},
    {"ControlCharacter", "line\n", "line\n"},
    // The message quotes the user's text, so it can end in anything.
    {"QuotedPercent", "'50%' は浮動小数点数ではありません", "'50%' は浮動小数点数ではありません."},
    // Invalid UTF-8 at the end: the final byte stands alone, and as a byte
    // above 0x7F it is greater than the period.
    {"StrayContinuationByte", "abc\x80", "abc\x80."},
    {"StrayContinuationAfterPeriod", ".\x80", ".\x80."},
    {"TooManyContinuationBytes", "\xE3\x81\x82\x82", "\xE3\x81\x82\x82."},
    {"TruncatedSequence", "abc\xE3\x81", "abc\xE3\x81."},
    {"LoneLeadByte", "abc\xE3", "abc\xE3."},
    {"OnlyContinuationBytes", "\x80\x80", "\x80\x80."},
    {"EmbeddedNulAtEnd", std::string("abc\0", 4), std::string("abc\0", 4)},
};

INSTANTIATE_TEST_SUITE_P(Messages, ErrorBoxTextTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<PeriodCase>& testCase) { return testCase.param.name; });

}  // namespace
