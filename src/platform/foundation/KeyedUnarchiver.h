#pragma once

// Reads what KeyedArchiver writes. Reading is strict: a missing file, damaged JSON, a wrong format
// tag or version, an unknown class, a reference to nothing or a decoder refusing its fields gives
// an error and no value, never a half-built graph.

#include "platform/foundation/Value.h"

#include <optional>
#include <string>

namespace foundation {

class KeyedUnarchiver {
  public:
    // For decoders: the fields of the object being decoded; null when absent. The pointer is valid
    // during the decoder's call only.
    const Value* decodeObjectForKey(const std::string& key) const;
    bool containsValueForKey(const std::string& key) const { return decodeObjectForKey(key) != nullptr; }

    static std::optional<Value> unarchiveObjectWithData(const std::string& data,
                                                        std::string* error = nullptr);
    // Leaves the file as it is, whatever it holds.
    static std::optional<Value> unarchiveObjectWithFile(const std::string& path,
                                                        std::string* error = nullptr);

    // For the program's own stored data (written by KeyedArchiver::archiveRootObject): a damaged
    // file is renamed aside and the graph recovered from "<path>.bak" when that copy is sound, and
    // the copy is put back in place.
    struct StoredRead {
        std::optional<Value> root; // empty when there is nothing sound to read
        std::string error;         // why the file was refused
        std::string setAsidePath;  // where the damaged file now is, when it was moved
        bool recoveredFromBackup = false;
    };
    static StoredRead unarchiveStoredObjectWithFile(const std::string& path);

  private:
    class Reader;
    explicit KeyedUnarchiver(const Dictionary& fields) : fields_(fields) {}

    const Dictionary& fields_;
};

} // namespace foundation
