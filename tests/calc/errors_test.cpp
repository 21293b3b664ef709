// The error family: what each kind is a kind of, and its message.
#include <string>
#include <type_traits>

#include <gtest/gtest.h>

#include "errors.h"

namespace calc {
namespace {

static_assert(std::is_base_of_v<Exception, EExternal>);
static_assert(std::is_base_of_v<EExternal, EMathError>);
static_assert(std::is_base_of_v<EMathError, EInvalidOp>);
static_assert(std::is_base_of_v<EMathError, EOverflow>);
static_assert(std::is_base_of_v<EMathError, EZeroDivide>);
static_assert(std::is_base_of_v<EMathError, EUnderflow>);
static_assert(std::is_base_of_v<Exception, EConvertError>);
static_assert(std::is_base_of_v<Exception, EAbort>);
static_assert(!std::is_base_of_v<EExternal, EConvertError>);
static_assert(!std::is_base_of_v<EExternal, EAbort>);

TEST(Errors, MathErrorsCarryTheirMessages)
{
    EXPECT_EQ(EInvalidOp().Message(), "不正な浮動小数点数演算命令");
    EXPECT_EQ(EOverflow().Message(), "浮動小数点数のオーバーフロー");
    EXPECT_EQ(EZeroDivide().Message(), "0 による浮動小数点数除算");
    EXPECT_EQ(EUnderflow().Message(), "浮動小数点数のアンダーフロー");
    EXPECT_STREQ(EOverflow().what(), "浮動小数点数のオーバーフロー");
}

struct Quoted {
    std::string text;
    std::string message;
};

class ConvertErrorMessage : public ::testing::TestWithParam<Quoted> {};

TEST_P(ConvertErrorMessage, QuotesTheTextUnchanged)
{
    EXPECT_EQ(EConvertError(GetParam().text).Message(), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Table, ConvertErrorMessage, ::testing::Values(
    Quoted{"", "'' は浮動小数点数ではありません"},
    Quoted{"  ", "'  ' は浮動小数点数ではありません"},
    Quoted{"5%", "'5%' は浮動小数点数ではありません"},
    Quoted{"%s%n%d%%", "'%s%n%d%%' は浮動小数点数ではありません"},
    Quoted{"'", "''' は浮動小数点数ではありません"},
    Quoted{std::string("a\0b", 3), std::string("'a\0b' は浮動小数点数ではありません", sizeof "'a\0b' は浮動小数点数ではありません" - 1)},
    Quoted{"１７", "'１７' は浮動小数点数ではありません"}));

TEST(Errors, CaughtThroughTheirBaseKinds)
{
    EXPECT_THROW(throw EInvalidOp(), EMathError);
    EXPECT_THROW(throw EOverflow(), EExternal);
    EXPECT_THROW(throw EConvertError("x"), Exception);
    EXPECT_THROW(throw EAbort(), Exception);
}

}  // namespace
}  // namespace calc
