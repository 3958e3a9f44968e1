#include "acquisition/leading_number.h"

#include <gtest/gtest.h>

#include <climits>

namespace MBDataAquisition {
namespace {

TEST(LeadingNumber, IntegerStopsAtTheFirstOtherCharacter)
{
    EXPECT_EQ(LeadingInteger(std::string_view(" \t-42abc")), -42);
    EXPECT_EQ(LeadingInteger(std::string_view("+7")), 7);
    EXPECT_EQ(LeadingInteger(std::string_view("12.9")), 12);
    EXPECT_EQ(LeadingInteger(std::string_view("x12")), 0);
    EXPECT_EQ(LeadingInteger(std::string_view("")), 0);
    EXPECT_EQ(LeadingInteger(std::wstring_view(L"1200V")), 1200);
}

TEST(LeadingNumber, IntegerSaturatesInsteadOfOverflowing)
{
    EXPECT_EQ(LeadingInteger(std::string_view("2147483647")), INT_MAX);
    EXPECT_EQ(LeadingInteger(std::string_view("99999999999999999999")), INT_MAX);
    EXPECT_EQ(LeadingInteger(std::string_view("-2147483648")), INT_MIN);
    EXPECT_EQ(LeadingInteger(std::string_view("-99999999999999999999")), INT_MIN);
}

TEST(LeadingNumber, DecimalTakesFractionAndExponent)
{
    EXPECT_DOUBLE_EQ(LeadingDecimal(" 5.25V"), 5.25);
    EXPECT_DOUBLE_EQ(LeadingDecimal("-.5"), -0.5);
    EXPECT_DOUBLE_EQ(LeadingDecimal("7."), 7.0);
    EXPECT_DOUBLE_EQ(LeadingDecimal("1e2x"), 100.0);
    EXPECT_DOUBLE_EQ(LeadingDecimal("1e"), 1.0);
    EXPECT_DOUBLE_EQ(LeadingDecimal("3,5"), 3.0);
    EXPECT_DOUBLE_EQ(LeadingDecimal("."), 0.0);
    EXPECT_DOUBLE_EQ(LeadingDecimal("inf"), 0.0);
    EXPECT_DOUBLE_EQ(LeadingDecimal("nan"), 0.0);
    EXPECT_DOUBLE_EQ(LeadingDecimal("1e-999"), 0.0);
}

TEST(LeadingNumber, TruncationSaturates)
{
    EXPECT_EQ(TruncateToInt32(LeadingDecimal("5.02") * 100), 501);
    EXPECT_EQ(TruncateToInt32(-12.99), -12);
    EXPECT_EQ(TruncateToInt32(LeadingDecimal("1e300") * 100), INT_MAX);
    EXPECT_EQ(TruncateToInt32(LeadingDecimal("-1e999") * 100), INT_MIN);
    EXPECT_EQ(TruncateToInt64(LeadingDecimal("1e300")), LLONG_MAX);
    EXPECT_EQ(TruncateToInt64(4294967296.5), 4294967296LL);
}

}  // namespace
}  // namespace MBDataAquisition
