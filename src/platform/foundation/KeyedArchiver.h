#pragma once

// Keyed archives: a Value graph stored as the JSON document
//   {"format": "opalene-archive", "version": 1, "root": ...}
// Arrays, strings, numbers and bools are written as JSON; every JSON object carries a "class" tag:
// "dictionary" (string keys), "bytes", "real" (numbers JSON cannot spell), "ref" (an object seen
// before: shared objects stay shared) or the name of a registered class, whose encoder writes its
// fields by key. Objects are Value objects whose type tag is their class name.
//
// Files are written atomically; the file replaced is kept as "<path>.bak" when it was a sound
// archive. KeyedUnarchiver reads them back.

#include "platform/foundation/Value.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace foundation {

class KeyedUnarchiver;

class KeyedArchiver {
  public:
    using Encoder = std::function<void(const void* object, KeyedArchiver& coder)>;
    // Answers the object built from the coder's fields, or null to refuse them (wrong types).
    using Decoder = std::function<std::shared_ptr<void>(const KeyedUnarchiver& coder)>;

    // Registers (or replaces) a class. Refused for the reserved tags and an empty name.
    static bool registerClass(const std::string& className, Encoder encoder, Decoder decoder);
    template <class T>
    static bool registerClass(const std::string& className,
                              std::function<void(const T&, KeyedArchiver&)> encode,
                              std::function<std::shared_ptr<T>(const KeyedUnarchiver&)> decode) {
        return registerClass(
            className, [encode](const void* p, KeyedArchiver& c) { encode(*static_cast<const T*>(p), c); },
            [decode](const KeyedUnarchiver& c) -> std::shared_ptr<void> { return decode(c); });
    }

    // For encoders: stores a field of the object being encoded.
    void encodeObject(const Value& value, const std::string& key) { fields_[key] = value; }

    // The archive text, or empty with error set (unregistered class, a cycle, too deep).
    static std::optional<std::string> archivedDataWithRootObject(const Value& root,
                                                                 std::string* error = nullptr);
    // Encodes first, so a graph that cannot be archived leaves the file as it was.
    static bool archiveRootObject(const Value& root, const std::string& path, std::string* error = nullptr);

  private:
    friend class KeyedUnarchiver;
    class Writer;
    static std::optional<Decoder> decoderForClass(const std::string& className);

    Dictionary fields_;
};

} // namespace foundation
