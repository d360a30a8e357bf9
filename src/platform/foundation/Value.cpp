#include "platform/foundation/Value.h"

#include <cmath>

namespace foundation {

std::optional<bool> Value::getBool() const {
    switch (type()) {
    case Type::Bool:
        return std::get<bool>(data_);
    case Type::Integer:
        return std::get<std::int64_t>(data_) != 0;
    case Type::Real:
        return std::get<double>(data_) != 0.0;
    default:
        return std::nullopt;
    }
}

std::optional<std::int64_t> Value::getInt64() const {
    switch (type()) {
    case Type::Bool:
        return std::get<bool>(data_) ? 1 : 0;
    case Type::Integer:
        return std::get<std::int64_t>(data_);
    case Type::Real: {
        double d = std::trunc(std::get<double>(data_));
        // 2^63 is exactly representable; anything at or above it does not fit.
        if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) return std::nullopt;
        return static_cast<std::int64_t>(d);
    }
    default:
        return std::nullopt;
    }
}

std::optional<std::uint64_t> Value::getUInt64() const {
    if (type() == Type::Real) {
        double d = std::get<double>(data_);
        return d >= 18446744073709551616.0 ? UINT64_MAX : d >= 1 ? static_cast<std::uint64_t>(d) : 0;
    }
    std::optional<std::int64_t> i = getInt64();
    if (!i) return std::nullopt;
    return *i > 0 ? static_cast<std::uint64_t>(*i) : 0;
}

std::optional<double> Value::getDouble() const {
    switch (type()) {
    case Type::Bool:
        return std::get<bool>(data_) ? 1.0 : 0.0;
    case Type::Integer:
        return static_cast<double>(std::get<std::int64_t>(data_));
    case Type::Real:
        return std::get<double>(data_);
    default:
        return std::nullopt;
    }
}

const void* Value::identity() const {
    const foundation::Object* o = getObject();
    return o ? o->pointer.get() : nullptr;
}

const Value* Value::find(const std::string& key) const {
    const foundation::Dictionary* d = getDictionary();
    if (!d) return nullptr;
    auto it = d->find(key);
    return it == d->end() ? nullptr : &it->second;
}

} // namespace foundation
