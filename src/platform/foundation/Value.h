#pragma once

// A variant tree for property lists, user info and user defaults: null, bool, integer, real,
// string, bytes, array, dictionary with string keys, and opaque shared objects (images, presets)
// tagged with a type name. Getters never throw: they answer empty (nullopt or nullptr) when the
// value is absent or of another type. Numbers behave as one family: a bool, an integer and a real
// can each be read as any of the three.

#include <concepts>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace foundation {

class Value;
using Array = std::vector<Value>;
using Dictionary = std::map<std::string, Value>;
using Bytes = std::vector<std::uint8_t>;

// An object held by a value. Two object values are equal only when they hold the same object.
struct Object {
    std::shared_ptr<void> pointer;
    std::string typeTag;
    bool operator==(const Object& other) const {
        return pointer == other.pointer && typeTag == other.typeTag;
    }
};

class Value {
  public:
    enum class Type { Null, Bool, Integer, Real, String, Bytes, Array, Dictionary, Object };

    Value() = default;
    Value(std::nullptr_t) {}
    Value(bool b) : data_(b) {}
    // An unsigned value past the int64 range becomes the nearest real rather than wrapping.
    template <std::integral I>
    requires(!std::same_as<I, bool>) Value(I i) {
        if constexpr (std::is_unsigned_v<I> && sizeof(I) >= sizeof(std::int64_t)) {
            if (i > static_cast<I>(INT64_MAX)) {
                data_ = static_cast<double>(i);
                return;
            }
        }
        data_ = static_cast<std::int64_t>(i);
    }
    Value(double d) : data_(d) {}
    Value(float f) : data_(static_cast<double>(f)) {}
    Value(const char* s) : data_(std::string(s)) {}
    Value(std::string_view s) : data_(std::string(s)) {}
    Value(std::string s) : data_(std::move(s)) {}
    Value(foundation::Bytes b) : data_(std::move(b)) {}
    Value(foundation::Array a) : data_(std::move(a)) {}
    Value(foundation::Dictionary d) : data_(std::move(d)) {}

    // An owning reference to a shared object.
    template <class T> static Value object(std::shared_ptr<T> p, std::string typeTag) {
        Value v;
        v.data_ = foundation::Object{std::const_pointer_cast<void>(std::static_pointer_cast<const void>(p)),
                                     std::move(typeTag)};
        return v;
    }
    // A reference that does not keep the object alive: for senders whose owner outlives the value.
    template <class T> static Value reference(T* p, std::string typeTag) {
        return object(std::shared_ptr<T>(std::shared_ptr<T>(), p), std::move(typeTag));
    }

    Type type() const { return static_cast<Type>(data_.index()); }
    bool isNull() const { return type() == Type::Null; }
    bool isNumber() const { return type() == Type::Bool || type() == Type::Integer || type() == Type::Real; }

    std::optional<bool> getBool() const;
    // A real is truncated toward zero; one outside the int64 range or NaN answers empty.
    std::optional<std::int64_t> getInt64() const;
    // Unsigned counts: negative numbers answer 0, reals are truncated and saturate at UINT64_MAX
    // (counts past the int64 range are held as reals).
    std::optional<std::uint64_t> getUInt64() const;
    std::optional<double> getDouble() const;
    const std::string* getString() const { return std::get_if<std::string>(&data_); }
    const foundation::Bytes* getBytes() const { return std::get_if<foundation::Bytes>(&data_); }
    const foundation::Array* getArray() const { return std::get_if<foundation::Array>(&data_); }
    foundation::Array* getArray() { return std::get_if<foundation::Array>(&data_); }
    const foundation::Dictionary* getDictionary() const {
        return std::get_if<foundation::Dictionary>(&data_);
    }
    foundation::Dictionary* getDictionary() { return std::get_if<foundation::Dictionary>(&data_); }
    const foundation::Object* getObject() const { return std::get_if<foundation::Object>(&data_); }

    // The held object when its tag is typeTag, else null.
    template <class T> std::shared_ptr<T> getObject(std::string_view typeTag) const {
        const foundation::Object* o = getObject();
        if (!o || o->typeTag != typeTag) return nullptr;
        return std::static_pointer_cast<T>(o->pointer);
    }
    // The address of the held object (the identity senders are compared by), null for other types.
    const void* identity() const;

    // Dictionary lookup: null when this is not a dictionary or has no such key.
    const Value* find(const std::string& key) const;

    bool operator==(const Value& other) const = default;

  private:
    std::variant<std::monostate, bool, std::int64_t, double, std::string, foundation::Bytes,
                 foundation::Array, foundation::Dictionary, foundation::Object>
        data_;
};

} // namespace foundation
