#pragma once
// What a photo library keeps beside an edited photo so that the editor that made it can be
// recognised later: the editor's format identifier and version, and opaque bytes of the editor's
// own. Stored by the host as a small JSON file; reading refuses a damaged or foreign file with a
// message instead of guessing.
#include <cstdint>
#include <optional>
#include <string>

namespace photos {

class AdjustmentData {
  public:
    AdjustmentData(std::string formatIdentifier, std::string formatVersion, std::string data)
        : _formatIdentifier(std::move(formatIdentifier)), _formatVersion(std::move(formatVersion)),
          _data(std::move(data)) {}

    const std::string& formatIdentifier() const { return _formatIdentifier; }
    const std::string& formatVersion() const { return _formatVersion; }
    // Raw bytes, not text: any byte value survives a round trip.
    const std::string& data() const { return _data; }

    bool operator==(const AdjustmentData&) const = default;

    // Written to a temporary file and renamed over `path` only when complete. False with `error`
    // set when the file cannot be written.
    bool writeToFile(const std::string& path, std::string* error = nullptr) const;
    // Empty with `error` set for a missing, unreadable, damaged or foreign file.
    static std::optional<AdjustmentData> readFromFile(const std::string& path, std::string* error = nullptr);

    // The stored form, and its reading; kept apart from the files for tests of damaged records.
    std::string serialized() const;
    static std::optional<AdjustmentData> deserialize(const std::string& bytes, std::string* error = nullptr);

  private:
    std::string _formatIdentifier;
    std::string _formatVersion;
    std::string _data;
};

} // namespace photos
