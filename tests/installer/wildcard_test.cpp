#include "wildcard.h"

#include <gtest/gtest.h>

namespace {

using pelmix::wildcardMatch;

TEST(Wildcard, StarFindsTextAnywhereWithExactCase) {
    EXPECT_TRUE(wildcardMatch("*Carlson*", "Carlson"));
    EXPECT_TRUE(wildcardMatch("*Carlson*", "\"C:\\Carlson\\acad.exe\""));
    EXPECT_TRUE(wildcardMatch("*Carlson*", "xCarlsonCarlson"));
    EXPECT_FALSE(wildcardMatch("*Carlson*", "carlson"));
    EXPECT_FALSE(wildcardMatch("*Carlson*", "Carlso"));
    EXPECT_FALSE(wildcardMatch("*MicroSurvey*", "\"C:\\Microsurvey\\acad.exe\""));
}

TEST(Wildcard, QuestionMarkIsExactlyOneCharacter) {
    EXPECT_TRUE(wildcardMatch("a?c", "abc"));
    EXPECT_FALSE(wildcardMatch("a?c", "ac"));
    EXPECT_FALSE(wildcardMatch("a?c", "abbc"));
    EXPECT_TRUE(wildcardMatch("*?", "x"));
    EXPECT_FALSE(wildcardMatch("*?", ""));
}

TEST(Wildcard, EmptyTextAndEmptyPattern) {
    EXPECT_TRUE(wildcardMatch("*", ""));
    EXPECT_TRUE(wildcardMatch("**", ""));
    EXPECT_TRUE(wildcardMatch("", ""));
    EXPECT_FALSE(wildcardMatch("", "a"));
    EXPECT_FALSE(wildcardMatch("a", ""));
}

TEST(Wildcard, MatchCoversTheWholeText) {
    EXPECT_FALSE(wildcardMatch("abc", "abcd"));
    EXPECT_FALSE(wildcardMatch("*abc", "abcd"));
    EXPECT_TRUE(wildcardMatch("*abc", "ababc"));
    EXPECT_TRUE(wildcardMatch("a*", "abcd"));
}

TEST(Wildcard, StarBacktracksToLaterStarts) {
    EXPECT_TRUE(wildcardMatch("*aab", "aaab"));
    EXPECT_TRUE(wildcardMatch("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(wildcardMatch("a*b*c", "aXbYcZ"));
    EXPECT_TRUE(wildcardMatch("*a?c*", "zzabzabcz"));
}

} // namespace
