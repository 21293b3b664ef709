// The decimal mark comes from the user's locale, resolved from the
// environment as a session resolves it, without changing the process's own
// locale. Needs the locales de_DE.UTF-8 and ps_AF.UTF-8 (scripts/setup
// generates them).
#include <clocale>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "discharge.h"

namespace calc {
namespace {

struct Environment {
    const char* lcAll;
    const char* lcNumeric;
    const char* lang;
    char mark;
};

class ReadDecimalMarkTest : public ::testing::TestWithParam<Environment> {
protected:
    void SetUp() override
    {
        for (const char* name : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
            unsetenv(name);
        }
    }
    void TearDown() override { SetUp(); }

    static void Set(const char* name, const char* value)
    {
        if (value != nullptr) {
            setenv(name, value, 1);
        }
    }
};

TEST_P(ReadDecimalMarkTest, TakesTheOneByteSeparatorOrAPoint)
{
    const Environment& e = GetParam();
    Set("LC_ALL", e.lcAll);
    Set("LC_NUMERIC", e.lcNumeric);
    Set("LANG", e.lang);
    DecimalMark = '?';
    ReadDecimalMark();
    EXPECT_EQ(DecimalMark, e.mark);
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");  // the process's locale is untouched
}

INSTANTIATE_TEST_SUITE_P(Table, ReadDecimalMarkTest, ::testing::Values(
    Environment{nullptr, nullptr, nullptr, '.'},
    Environment{"C", nullptr, nullptr, '.'},
    Environment{"de_DE.UTF-8", nullptr, nullptr, ','},
    Environment{nullptr, "de_DE.UTF-8", nullptr, ','},
    Environment{nullptr, nullptr, "de_DE.UTF-8", ','},
    Environment{nullptr, nullptr, "ja_JP.UTF-8", '.'},
    // LC_ALL outranks LC_NUMERIC, which outranks LANG.
    Environment{"C.UTF-8", "de_DE.UTF-8", "de_DE.UTF-8", '.'},
    Environment{nullptr, "C.UTF-8", "de_DE.UTF-8", '.'},
    // Pashto (Afghanistan) writes U+066B, two bytes in UTF-8: not one byte.
    Environment{"ps_AF.UTF-8", nullptr, nullptr, '.'},
    // A locale that is not installed cannot be loaded.
    Environment{"xx_NOWHERE.UTF-8", nullptr, nullptr, '.'}));

TEST(ReadDecimalMarkAgain, FollowsAChangedEnvironmentAtTheNextRead)
{
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    ReadDecimalMark();
    EXPECT_EQ(DecimalMark, ',');
    EXPECT_EQ(FormatResultText(0.17), "0,17");
    EXPECT_TRUE(ParsePressureText("1,5") == Extended::FromDouble(1.5));

    setenv("LC_ALL", "C", 1);
    ReadDecimalMark();
    EXPECT_EQ(DecimalMark, '.');
    EXPECT_EQ(FormatResultText(0.17), "0.17");
    unsetenv("LC_ALL");
}

}  // namespace
}  // namespace calc
