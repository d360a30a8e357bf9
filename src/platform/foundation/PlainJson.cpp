#include "platform/foundation/PlainJson.h"

#include <cmath>

namespace foundation {

namespace {

bool fail(std::string* error, const char* message) {
    if (error) *error = message;
    return false;
}

bool encode(const Value& value, nlohmann::json& out, int depth, std::string* error) {
    if (depth > kMaxJsonDepth) return fail(error, "nested too deeply");
    switch (value.type()) {
    case Value::Type::Null:
        out = nullptr;
        return true;
    case Value::Type::Bool:
        out = *value.getBool();
        return true;
    case Value::Type::Integer:
        out = *value.getInt64();
        return true;
    case Value::Type::Real:
        if (!std::isfinite(*value.getDouble())) return fail(error, "a number that is not finite");
        out = *value.getDouble();
        return true;
    case Value::Type::String:
        out = *value.getString();
        return true;
    case Value::Type::Array:
        out = nlohmann::json::array();
        for (const Value& v : *value.getArray()) {
            nlohmann::json item;
            if (!encode(v, item, depth + 1, error)) return false;
            out.push_back(std::move(item));
        }
        return true;
    case Value::Type::Dictionary:
        out = nlohmann::json::object();
        for (const auto& [key, v] : *value.getDictionary())
            if (!encode(v, out[key], depth + 1, error)) return false;
        return true;
    case Value::Type::Bytes:
        return fail(error, "bytes have no plain JSON form");
    case Value::Type::Object:
        return fail(error, "an object has no plain JSON form");
    }
    return false;
}

bool decode(const nlohmann::json& json, Value& out, int depth, std::string* error) {
    if (depth > kMaxJsonDepth) return fail(error, "nested too deeply");
    switch (json.type()) {
    case nlohmann::json::value_t::null:
        out = Value();
        return true;
    case nlohmann::json::value_t::boolean:
        out = Value(json.get<bool>());
        return true;
    case nlohmann::json::value_t::number_integer:
        out = Value(json.get<std::int64_t>());
        return true;
    case nlohmann::json::value_t::number_unsigned: {
        // Only values past int64 arrive here unsigned; keep them as the nearest real.
        std::uint64_t u = json.get<std::uint64_t>();
        out = u <= static_cast<std::uint64_t>(INT64_MAX) ? Value(static_cast<std::int64_t>(u))
                                                         : Value(static_cast<double>(u));
        return true;
    }
    case nlohmann::json::value_t::number_float:
        out = Value(json.get<double>());
        return true;
    case nlohmann::json::value_t::string:
        out = Value(json.get<std::string>());
        return true;
    case nlohmann::json::value_t::array: {
        Array items;
        items.reserve(json.size());
        for (const auto& item : json) {
            if (!decode(item, items.emplace_back(), depth + 1, error)) return false;
        }
        out = Value(std::move(items));
        return true;
    }
    case nlohmann::json::value_t::object: {
        Dictionary entries;
        for (const auto& [key, item] : json.items())
            if (!decode(item, entries[key], depth + 1, error)) return false;
        out = Value(std::move(entries));
        return true;
    }
    default:
        return fail(error, "a JSON value of an unsupported kind");
    }
}

} // namespace

std::optional<nlohmann::json> toPlainJson(const Value& value, std::string* error) {
    nlohmann::json out;
    if (!encode(value, out, 0, error)) return std::nullopt;
    return out;
}

std::optional<std::string> dumpJson(const nlohmann::json& json, std::string* error) {
    try {
        return json.dump(2) + "\n";
    } catch (const nlohmann::json::exception& e) {
        if (error) *error = e.what();
        return std::nullopt;
    }
}

std::optional<Value> fromPlainJson(const nlohmann::json& json, std::string* error) {
    Value out;
    if (!decode(json, out, 0, error)) return std::nullopt;
    return out;
}

} // namespace foundation
