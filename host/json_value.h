// A small tree of JSON values, for the host's reports: written as JSON, or
// as indented "key: value" text for reading.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace host {

class JsonValue {
public:
    enum class Type { null, boolean, number, string, array, object };

    JsonValue() = default;
    JsonValue(bool value) : type_(Type::boolean), boolean_(value) {}
    JsonValue(int value) : type_(Type::number), number_(value) {}
    JsonValue(long long value) : type_(Type::number), number_(static_cast<double>(value)) {}
    JsonValue(std::uint32_t value) : type_(Type::number), number_(value) {}
    JsonValue(double value) : type_(Type::number), number_(value) {}
    JsonValue(const char* value) : type_(Type::string), string_(value) {}
    JsonValue(std::string value) : type_(Type::string), string_(std::move(value)) {}

    static JsonValue array() { return JsonValue(Type::array); }
    static JsonValue object() { return JsonValue(Type::object); }

    // Objects keep their keys in the order added.
    JsonValue& set(const std::string& key, JsonValue value);
    JsonValue& push(JsonValue value);

    Type type() const { return type_; }
    const std::vector<std::pair<std::string, JsonValue>>& members() const { return members_; }
    const std::vector<JsonValue>& items() const { return items_; }
    const JsonValue* find(const std::string& key) const;

    std::string json() const;
    std::string text(int indent = 0) const;  // the indented reading form

private:
    explicit JsonValue(Type type) : type_(type) {}
    std::string scalar() const;

    Type type_ = Type::null;
    bool boolean_ = false;
    double number_ = 0.0;
    std::string string_;
    std::vector<JsonValue> items_;
    std::vector<std::pair<std::string, JsonValue>> members_;
};

std::string json_quote(const std::string& text);

}  // namespace host
