// Reading records back as the host sees them: 32-bit words at offsets,
// independent of the structs that declare them.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace test {

inline std::uint32_t word_of(const void* pointer) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

inline std::vector<std::uint32_t> words_at(const void* record, std::size_t bytes) {
    std::vector<std::uint32_t> words(bytes / 4);
    std::memcpy(words.data(), record, bytes);
    return words;
}

// The two words of a double, low word first.
inline std::vector<std::uint32_t> double_words(double value) {
    std::uint32_t words[2];
    std::memcpy(words, &value, 8);
    return {words[0], words[1]};
}

// A record's expected words: all zero but those set.
class ExpectedWords {
public:
    explicit ExpectedWords(std::size_t bytes) : words_(bytes / 4, 0) {}
    ExpectedWords& at(std::size_t offset, std::uint32_t value) {
        words_.at(offset / 4) = value;
        return *this;
    }
    ExpectedWords& at(std::size_t offset, const void* pointer) { return at(offset, word_of(pointer)); }
    ExpectedWords& at_double(std::size_t offset, double value) {
        auto pair = double_words(value);
        at(offset, pair[0]);
        return at(offset + 4, pair[1]);
    }
    const std::vector<std::uint32_t>& words() const { return words_; }

private:
    std::vector<std::uint32_t> words_;
};

// Compares every word of a record, naming the offset of each difference.
inline ::testing::AssertionResult record_matches(const char* name, const void* record, const ExpectedWords& expected) {
    auto actual = words_at(record, expected.words().size() * 4);
    std::string differences;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] != expected.words()[i]) {
            char line[120];
            std::snprintf(line, sizeof line, "\n  %s at byte %zu: expected 0x%08X, found 0x%08X", name, i * 4,
                          expected.words()[i], actual[i]);
            differences += line;
        }
    }
    if (differences.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differences;
}

}  // namespace test
