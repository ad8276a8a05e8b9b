// The host's simulation variables, keyed by token. A token holds either a
// double or an unsigned 32-bit word (the radios' frequency words), and a
// ModuleVar receives it in that form.
#pragma once

#include <cstdint>
#include <map>

#include "records.h"

namespace host {

enum class VariableForm { number, word };

struct Variable {
    VariableForm form = VariableForm::number;
    double number = 0.0;
    std::uint32_t word = 0;
};

class VariableStore {
public:
    // The form a token has in this host: the frequency words are words,
    // everything else a double.
    static VariableForm form_of(std::uint32_t token);

    void set_number(std::uint32_t token, double value);
    void set_word(std::uint32_t token, std::uint32_t value);
    Variable get(std::uint32_t token) const;

    // Writes the token's current value into the ModuleVar's value field, in
    // the token's form (a word fills the first four bytes, the rest 0).
    void refresh(ModuleVar& var) const;

private:
    std::map<std::uint32_t, Variable> values_;
};

}  // namespace host
