#include "json_value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace host {

std::string json_quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u >= 0x7F) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
            out += buffer;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

JsonValue& JsonValue::set(const std::string& key, JsonValue value) {
    type_ = Type::object;
    members_.emplace_back(key, std::move(value));
    return members_.back().second;
}

JsonValue& JsonValue::push(JsonValue value) {
    type_ = Type::array;
    items_.push_back(std::move(value));
    return items_.back();
}

const JsonValue* JsonValue::find(const std::string& key) const {
    for (const auto& [name, value] : members_)
        if (name == key) return &value;
    return nullptr;
}

std::string JsonValue::scalar() const {
    switch (type_) {
        case Type::null: return "null";
        case Type::boolean: return boolean_ ? "true" : "false";
        case Type::number: {
            if (!std::isfinite(number_)) return "null";
            char buffer[40];
            if (number_ == std::trunc(number_) && std::fabs(number_) < 1e15) {
                std::snprintf(buffer, sizeof buffer, "%.0f", number_);
                return buffer;
            }
            std::snprintf(buffer, sizeof buffer, "%.17g", number_);
            // The shortest text that reads back the same.
            for (int digits = 1; digits <= 17; ++digits) {
                char shorter[40];
                std::snprintf(shorter, sizeof shorter, "%.*g", digits, number_);
                if (std::strtod(shorter, nullptr) == number_) return shorter;
            }
            return buffer;
        }
        case Type::string: return json_quote(string_);
        default: return "";
    }
}

std::string JsonValue::json() const {
    if (type_ == Type::array) {
        std::string out = "[";
        for (std::size_t i = 0; i < items_.size(); ++i) out += (i ? "," : "") + items_[i].json();
        return out + "]";
    }
    if (type_ == Type::object) {
        std::string out = "{";
        for (std::size_t i = 0; i < members_.size(); ++i)
            out += (i ? "," : "") + json_quote(members_[i].first) + ":" + members_[i].second.json();
        return out + "}";
    }
    return scalar();
}

namespace {
bool is_flat(const JsonValue& value) {
    if (value.type() == JsonValue::Type::array) {
        for (const auto& item : value.items())
            if (item.type() == JsonValue::Type::array || item.type() == JsonValue::Type::object) return false;
        return true;
    }
    return value.type() != JsonValue::Type::object;
}

std::string flat_text(const JsonValue& value) {
    if (value.type() == JsonValue::Type::string) return value.json().substr(1, value.json().size() - 2);
    if (value.type() == JsonValue::Type::array) {
        std::string out;
        for (const auto& item : value.items()) out += (out.empty() ? "" : ", ") + flat_text(item);
        return out.empty() ? "(none)" : out;
    }
    return value.json();
}
}  // namespace

std::string JsonValue::text(int indent) const {
    std::string pad(static_cast<std::size_t>(indent), ' ');
    std::string out;
    if (type_ == Type::object) {
        for (const auto& [key, value] : members_) {
            if (is_flat(value)) {
                out += pad + key + ": " + flat_text(value) + "\n";
            } else if (value.type() == Type::object && value.members().empty()) {
                out += pad + key + ": (none)\n";
            } else {
                out += pad + key + ":\n" + value.text(indent + 2);
            }
        }
    } else if (type_ == Type::array) {
        if (items_.empty()) return pad + "(none)\n";
        for (const auto& item : items_) {
            if (is_flat(item)) {
                out += pad + "- " + flat_text(item) + "\n";
            } else {
                std::string inner = item.text(indent + 2);
                out += pad + "-" + inner.substr(static_cast<std::size_t>(indent) + 1);
            }
        }
    } else {
        out = pad + flat_text(*this) + "\n";
    }
    return out;
}

}  // namespace host
