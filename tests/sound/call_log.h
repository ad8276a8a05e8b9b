// Comparing log lines with what a test expects: word by word, where an
// expected word ending in '*' stands for any word that starts with what
// comes before the '*'.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace sound_test {

inline std::vector<std::string> words_of(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

inline bool line_matches(const std::string& expected, const std::string& actual) {
    auto want = words_of(expected), got = words_of(actual);
    if (want.size() != got.size()) return false;
    for (std::size_t i = 0; i < want.size(); ++i) {
        const std::string& w = want[i];
        if (!w.empty() && w.back() == '*') {
            if (got[i].compare(0, w.size() - 1, w, 0, w.size() - 1) != 0) return false;
        } else if (w != got[i]) {
            return false;
        }
    }
    return true;
}

inline ::testing::AssertionResult log_matches(const std::vector<std::string>& expected,
                                              const std::vector<std::string>& actual) {
    bool same = expected.size() == actual.size();
    for (std::size_t i = 0; same && i < expected.size(); ++i) same = line_matches(expected[i], actual[i]);
    if (same) return ::testing::AssertionSuccess();
    std::string text = "\n  expected:";
    for (const auto& line : expected) text += "\n    " + line;
    text += "\n  seen:";
    for (const auto& line : actual) text += "\n    " + line;
    if (actual.empty()) text += "\n    (no calls)";
    return ::testing::AssertionFailure() << text;
}

// The value of `key=` in a line, or "" when the line has none.
inline std::string field(const std::string& line, const std::string& key) {
    for (const auto& word : words_of(line))
        if (word.compare(0, key.size() + 1, key + "=") == 0) return word.substr(key.size() + 1);
    return {};
}

// Lines that start with `call`.
inline std::vector<std::string> calls_named(const std::vector<std::string>& log, const std::string& call) {
    std::vector<std::string> lines;
    for (const auto& line : log)
        if (line.compare(0, call.size() + 1, call + " ") == 0) lines.push_back(line);
    return lines;
}

inline std::string hex_address(const void* pointer) {
    if (!pointer) return "NULL";
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(pointer)));
    return text;
}

}  // namespace sound_test
