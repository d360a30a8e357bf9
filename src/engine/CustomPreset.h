#pragma once

// A named sequence of effect applications the user can apply again in one step. Each step is an
// effect record: a dictionary naming the effect by its display name, with its parameter values and
// centre as single-precision numbers when the effect has them.
//
// Archived under the class name "CustomPreset" with the keys "_ppStackArray", "_name" and
// "_uuidPreset"; the thumbnail is never stored. Reading back refuses a preset with a missing or
// mistyped field or any record that is not well formed, so a preset that exists is always whole.
// Main thread only.

#include "platform/foundation/Value.h"
#include "platform/graphics/Image.h"

#include <memory>
#include <string>
#include <vector>

extern const char* const CustomPresetEffectNameKey;        // "EffectName"
extern const char* const CustomPresetParam1NumberValueKey; // "Param1NumberValue"
extern const char* const CustomPresetParam2NumberValueKey; // "Param2NumberValue"
extern const char* const CustomPresetCenterEffectXValueKey;
extern const char* const CustomPresetCenterEffectYValueKey;

// Posted with the preset as object when its name or its thumbnail changes.
extern const char* const CustomPresetNameDidChangeNotification;
extern const char* const CustomPresetImageDidChangeNotification;

using EffectRecord = foundation::Dictionary;

// A non-empty effect name and, under the four number keys only, finite numbers a float can hold.
bool isWellFormedEffectRecord(const EffectRecord& record);

class CustomPreset {
  public:
    static constexpr const char* kClassName = "CustomPreset";

    // No identifier yet: it is made on first request.
    CustomPreset(std::vector<EffectRecord> ppStackArray, std::string name);
    CustomPreset(const CustomPreset&) = delete;
    CustomPreset& operator=(const CustomPreset&) = delete;

    const std::vector<EffectRecord>& ppStackArray() const { return _ppStackArray; }
    const std::string& name() const { return _name; }
    // Posts CustomPresetNameDidChangeNotification unless the name is the one held.
    void setName(std::string name);
    const graphics::ImagePtr& previewImage() const { return _previewImage; }
    // Posts CustomPresetImageDidChangeNotification unless it is the very image held.
    void setPreviewImage(graphics::ImagePtr image);
    // A fresh UUID string on the first call, the same one ever after (and after archiving).
    const std::string& uuidPreset() const;

    // The value that stands for the preset in archives and stacks, and back (null for other values).
    static foundation::Value value(std::shared_ptr<CustomPreset> preset);
    static std::shared_ptr<CustomPreset> fromValue(const foundation::Value& value);

    // Teaches the keyed archiver this class; needed before archiving or reading one back.
    static void registerForArchiving();

  private:
    std::vector<EffectRecord> _ppStackArray;
    std::string _name;
    graphics::ImagePtr _previewImage;
    mutable std::string _uuidPreset;
};
