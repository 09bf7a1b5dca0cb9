// Numbers as text in the five unit modes and the current units, and text
// back to numbers, feet and inches included.
#include "host/standin.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

class Units : public ::testing::Test {
  protected:
    void SetUp() override { standin::resetHost(); }
    void TearDown() override { standin::resetHost(); }

    static std::wstring text(double value, int unit, int prec) {
        ACHAR buffer[64];
        if (acdbRToS(value, unit, prec, buffer) != RTNORM) return L"<error>";
        return buffer;
    }
    static std::optional<double> number(const wchar_t* s, int unit) {
        ads_real v = -12345;
        if (acdbDisToF(s, unit, &v) != RTNORM) return std::nullopt;
        return v;
    }
    static void setUnits(int units, int precision) {
        resbuf rb{};
        rb.restype = RTSHORT;
        rb.resval.rint = static_cast<short>(units);
        standin::setSysVar(L"LUNITS", rb);
        rb.resval.rint = static_cast<short>(precision);
        standin::setSysVar(L"LUPREC", rb);
    }
};

TEST_F(Units, NumbersAreWrittenInEachMode) {
    EXPECT_EQ(text(15.5, 1, 4), L"1.5500E+01");
    EXPECT_EQ(text(15.5, 2, 2), L"15.50");
    EXPECT_EQ(text(-0.0001, 2, 2), L"0.00") << "no negative zero";
    EXPECT_EQ(text(18.5, 3, 2), L"1'-6.50\"");
    EXPECT_EQ(text(6, 3, 1), L"6.0\"");
    EXPECT_EQ(text(11.999, 3, 2), L"1'-0.00\"") << "rounding up to a whole foot";
    EXPECT_EQ(text(18.5, 4, 4), L"1'-6 1/2\"");
    EXPECT_EQ(text(24, 4, 4), L"2'-0\"");
    EXPECT_EQ(text(0.25, 4, 4), L"1/4\"");
    EXPECT_EQ(text(-18.5, 4, 4), L"-1'-6 1/2\"");
    EXPECT_EQ(text(15.5, 5, 4), L"15 1/2");
    EXPECT_EQ(text(0.3, 5, 2), L"1/4") << "nearest quarter";
    EXPECT_EQ(text(3, 5, 4), L"3");
    EXPECT_EQ(text(1, 6, 2), L"<error>");
    ACHAR small[4];
    EXPECT_EQ(acdbRToS(1234.5, 2, 2, small), RTERROR) << "no room";
    EXPECT_EQ(small[0], L'\0');
}

TEST_F(Units, CurrentUnitsFollowTheHostVariables) {
    EXPECT_EQ(text(2.5, -1, -1), L"2.5000") << "decimal, four places by default";
    setUnits(4, 3);
    EXPECT_EQ(text(18.25, -1, -1), L"1'-6 1/4\"");
    EXPECT_EQ(text(18.25, 2, -1), L"18.250") << "the precision alone is current";
    EXPECT_EQ(number(L"1'6\"", -1), 18.0);
    setUnits(2, 4);
    EXPECT_EQ(number(L"1'6\"", -1), std::nullopt);
}

TEST_F(Units, DecimalAndScientificTakePlainNumbers) {
    for (int unit : {1, 2}) {
        SCOPED_TRACE(unit);
        EXPECT_EQ(number(L"10", unit), 10.0);
        EXPECT_EQ(number(L" 0.5 ", unit), 0.5);
        EXPECT_EQ(number(L"-3", unit), -3.0);
        EXPECT_EQ(number(L".5", unit), 0.5);
        EXPECT_EQ(number(L"1.5E+01", unit), 15.0);
        for (const wchar_t* bad : {L"", L"  ", L"abc", L"1.2.3", L"10m", L"inf", L"nan", L"0x10",
                                   L"1/2", L"1'6\"", L"--1", L"."})
            EXPECT_EQ(number(bad, unit), std::nullopt) << standin::toUtf8(bad);
    }
    ads_real v;
    EXPECT_EQ(acdbDisToF(L"1", 7, &v), RTERROR);
    EXPECT_EQ(acdbDisToF(nullptr, 2, &v), RTERROR);
}

TEST_F(Units, FeetAndInchesParseInArchitecturalAndEngineeringUnits) {
    for (int unit : {3, 4}) {
        SCOPED_TRACE(unit);
        EXPECT_EQ(number(L"1'6\"", unit), 18.0);
        EXPECT_EQ(number(L"1'-6 1/2\"", unit), 18.5);
        EXPECT_EQ(number(L"1' 6", unit), 18.0);
        EXPECT_EQ(number(L"2'", unit), 24.0);
        EXPECT_EQ(number(L"1.5'", unit), 18.0);
        EXPECT_EQ(number(L"6 1/2\"", unit), 6.5);
        EXPECT_EQ(number(L"1/2", unit), 0.5);
        EXPECT_EQ(number(L"-1'6\"", unit), -18.0);
        EXPECT_EQ(number(L"10", unit), 10.0);
        for (const wchar_t* bad :
             {L"1'-", L"1'6\"x", L"1/0", L"6 1/", L"'6", L"1''", L"\"", L"a'b\""})
            EXPECT_EQ(number(bad, unit), std::nullopt) << standin::toUtf8(bad);
    }
    EXPECT_EQ(number(L"15 1/2", 5), 15.5);
    EXPECT_EQ(number(L"1'6\"", 5), std::nullopt) << "no feet in fractional units";
}

TEST_F(Units, WrittenNumbersReadBack) {
    for (int unit = 1; unit <= 5; ++unit) {
        for (double value : {0.0, 0.5, 18.5, -42.25, 1234.75}) {
            std::wstring written = text(value, unit, 6);
            SCOPED_TRACE(standin::toUtf8(written));
            ASSERT_EQ(number(written.c_str(), unit), value);
        }
    }
}

} // namespace
