#include "variable_store.h"

#include <cstring>

#include "panel_services.h"

namespace host {

VariableForm VariableStore::form_of(std::uint32_t token) {
    switch (token) {
        case token_adf_inner_word:
        case token_adf_outer_word:
        case token_com_word: return VariableForm::word;
        default: return VariableForm::number;
    }
}

void VariableStore::set_number(std::uint32_t token, double value) {
    Variable& v = values_[token];
    v.form = form_of(token);
    v.number = value;
    // A word token set from a number takes its integer part; numbers a word
    // cannot hold give 0 rather than an undefined conversion.
    v.word = (value >= 0.0 && value < 4294967296.0) ? static_cast<std::uint32_t>(value) : 0;
}

void VariableStore::set_word(std::uint32_t token, std::uint32_t value) {
    Variable& v = values_[token];
    v.form = form_of(token);
    v.word = value;
    v.number = value;
}

Variable VariableStore::get(std::uint32_t token) const {
    auto found = values_.find(token);
    if (found != values_.end()) return found->second;
    Variable v;
    v.form = form_of(token);
    return v;
}

void VariableStore::refresh(ModuleVar& var) const {
    Variable v = get(var.token);
    var.previous_value = var.value.number;
    if (v.form == VariableForm::word) {
        unsigned char bytes[8] = {};
        std::memcpy(bytes, &v.word, 4);
        std::memcpy(&var.value, bytes, 8);
    } else {
        var.value.number = v.number;
    }
}

}  // namespace host
