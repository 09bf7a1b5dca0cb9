// The one comparison of every differential test: the plain version's output
// of a case and the fast version's agree exactly, and the plain output is not
// empty, so that two versions that both produce nothing never pass as
// agreeing. A case that legitimately produces nothing says so.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <sstream>
#include <string>

namespace vogtest {

// What a case is declared to produce. either: random cases that may or may
// not, where the caller checks that enough of them do.
enum class Yields { something, nothing, either };

namespace detail {

inline std::string firstDifference(const std::string& plain, const std::string& fast) {
    std::size_t at = 0;
    while (at < plain.size() && at < fast.size() && plain[at] == fast[at])
        ++at;
    const std::size_t lineStart = plain.rfind('\n', at == 0 ? 0 : at - 1);
    const std::size_t from = lineStart == std::string::npos || at == 0 ? 0 : lineStart + 1;
    std::size_t line = 1;
    for (std::size_t i = 0; i < from; ++i)
        line += plain[i] == '\n';
    auto lineAt = [from](const std::string& text) {
        if (from >= text.size()) return std::string("(end)");
        return text.substr(from, text.find('\n', from) - from);
    };
    std::ostringstream out;
    out << plain.size() << " against " << fast.size() << " bytes; first difference in line " << line
        << ":\n  plain: " << lineAt(plain) << "\n  fast:  " << lineAt(fast);
    return out.str();
}

template <class Output> std::string firstDifference(const Output& plain, const Output& fast) {
    std::size_t at = 0;
    auto p = plain.begin();
    auto f = fast.begin();
    for (; p != plain.end() && f != fast.end() && *p == *f; ++p, ++f)
        ++at;
    std::ostringstream out;
    out << plain.size() << " against " << fast.size() << " items; first difference at " << at;
    return out.str();
}

} // namespace detail

// Use as EXPECT_TRUE(sameOutput(plain, fast)) << what; any container with
// ==, size() and empty() (texts, records, samples).
template <class Output>
::testing::AssertionResult sameOutput(const Output& plain, const Output& fast,
                                      Yields yields = Yields::something);

// The same with the outputs' own exact comparison (for example bit for bit,
// where -0 and 0 differ).
template <class Output, class Same>
::testing::AssertionResult sameOutput(const Output& plain, const Output& fast, Same same,
                                      Yields yields = Yields::something) {
    if (yields == Yields::something && plain.empty())
        return ::testing::AssertionFailure()
               << "the plain version produced nothing, so the comparison proves nothing";
    if (yields == Yields::nothing && !plain.empty())
        return ::testing::AssertionFailure()
               << "declared to produce nothing, the plain version produced " << plain.size()
               << " items";
    if (!same(plain, fast))
        return ::testing::AssertionFailure()
               << plain.size() << " against " << fast.size() << " items, not the same";
    return ::testing::AssertionSuccess();
}

template <class Output>
::testing::AssertionResult sameOutput(const Output& plain, const Output& fast, Yields yields) {
    const ::testing::AssertionResult result = sameOutput(
        plain, fast, [](const Output& a, const Output& b) { return a == b; }, yields);
    if (result || plain.empty() != (yields == Yields::nothing)) return result;
    return ::testing::AssertionFailure() << detail::firstDifference(plain, fast);
}

} // namespace vogtest
