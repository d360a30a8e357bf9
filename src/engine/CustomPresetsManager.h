#pragma once

// The user's presets and the stack of what has been applied to the open image.
//
// The list lives in "presets" and the stack in "SharedCustomPresetsManagerSavedState", keyed
// archives in the application-support folder, both rewritten atomically on every change with the
// previous file kept as "<file>.bak". A file found damaged at start is kept aside, its data taken
// from the backup when that is sound, and reported through damagedFiles() so the editor can tell
// the user. Every save of the list posts CustomPresetsManagerPresetsDidChangeNotification (object
// the manager); a failed save keeps the previous files and is reported by the call and by
// lastSaveError().
//
// The stack holds effect records and whole presets, oldest first; each change registers its
// inverse with the editor's undo manager, so undo and redo move the same entries back and forth.
// Main thread only.

#include "engine/CustomPreset.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

class PostProcess;
namespace foundation {
class UndoManager;
}

extern const char* const CustomPresetsManagerPresetsDidChangeNotification;

class CustomPresetsManager {
  public:
    using Entry = std::variant<EffectRecord, std::shared_ptr<CustomPreset>>;
    using Stack = std::vector<Entry>;
    // Shared so that "the same stack" is an identity, as undo of a replacement relies on.
    using StackPtr = std::shared_ptr<Stack>;

    struct DamagedFile {
        std::string path;         // the file the program reads
        std::string setAsidePath; // where the damaged file was kept; empty if it could not be moved
        bool recoveredFromBackup = false;
        std::string error;
    };

    // Made on first use from the saved state.
    static CustomPresetsManager& sharedCustomPresetsManager();
    // A manager holding the saved stack (empty when there is none or it cannot be read), saving
    // the list whenever a preset is renamed. The shared instance is one of these.
    static std::unique_ptr<CustomPresetsManager> restoredFromSavedState();

    ~CustomPresetsManager();
    CustomPresetsManager(const CustomPresetsManager&) = delete;
    CustomPresetsManager& operator=(const CustomPresetsManager&) = delete;

    // ---- The list, read from "presets" on first use ----

    const std::vector<std::shared_ptr<CustomPreset>>& presets();
    std::size_t presetsCount() { return presets().size(); }
    std::shared_ptr<CustomPreset> presetWithIndex(std::size_t index);
    std::optional<std::size_t> indexOfPreset(const std::shared_ptr<CustomPreset>& preset);
    std::shared_ptr<CustomPreset> presetWithName(const std::string& name);
    std::shared_ptr<CustomPreset> presetWithID(const std::string& uuid);
    // Null and a preset already listed are ignored.
    void addPreset(std::shared_ptr<CustomPreset> preset);
    void deletePreset(const std::shared_ptr<CustomPreset>& preset);
    bool movePresetAtIndex(std::size_t from, std::size_t to);
    bool savePresets();
    // Export to a file of the user's choice.
    bool savePresetsAtPaht(const std::string& path);
    // Import: the file must hold a non-empty list of whole presets, or nothing changes. The new
    // list counts only once saved.
    bool restorePresetsFromPath(const std::string& path);
    // ["User Presets", [{"id": uuid, "name": name}, ...]] as a property list.
    bool storePresetsInfoToPath(const std::string& path);
    void resetAllPreviewImages();

    // ---- The stack of applied effects and presets ----

    const StackPtr& currentPostProcessesAndPresetsArray();
    // Records the effect's name, parameter values and centre. Null is ignored.
    void pushEffect(PostProcess* effect);
    void pushPreset(std::shared_ptr<CustomPreset> preset);
    void removeLastEffectOrPreset();
    // What undo of a removal calls.
    void currentPostProcessesAndPresetsArrayPushObject(Entry entry);
    // Null empties the stack; undo brings the replaced one back.
    void setCurrentPostProcessesAndPresetsArray(StackPtr array);
    bool saveCurrentState();
    // Forgets the stack without saving.
    void resetCurrentState() { _currentPostProcessesAndPresetsArray.reset(); }

    bool canCreatePreset() { return !currentPostProcessesAndPresetsArray()->empty(); }
    // A new preset of the stack's records, nested presets expanded in place; not added to the
    // list. Null when the stack holds no record. No name gives generateNameForNewPreset().
    std::shared_ptr<CustomPreset> createCustomPresetWithName(std::optional<std::string> name);
    // "Preset n" for the first n from 1 that no preset is named.
    std::string generateNameForNewPreset();

    std::uint64_t maxIndexKeyOfUsedEffect() const { return _maxIndexKeyOfUsedEffect; }
    void setMaxIndexKeyOfUsedEffect(std::uint64_t value) { _maxIndexKeyOfUsedEffect = value; }

    // Not owned: the editor's, set by it and cleared before it goes away.
    foundation::UndoManager* undoManager() const { return _undoManager; }
    void setUndoManager(foundation::UndoManager* undoManager);

    const std::vector<DamagedFile>& damagedFiles() const { return m_damagedFiles; }
    // Why the last save of either file failed; empty after a successful one.
    const std::string& lastSaveError() const { return m_lastSaveError; }

  private:
    CustomPresetsManager() = default;

    void pushEntry(Entry entry);
    bool writePresets(const std::vector<std::shared_ptr<CustomPreset>>& list);
    void registerUndo(std::function<void()> action);
    std::optional<foundation::Value> readStoredFile(const std::string& path,
                                                    bool (*accept)(const foundation::Value&));

    std::optional<std::vector<std::shared_ptr<CustomPreset>>> _presets;
    StackPtr _currentPostProcessesAndPresetsArray;
    std::uint64_t _maxIndexKeyOfUsedEffect = 0;
    foundation::UndoManager* _undoManager = nullptr;
    std::vector<DamagedFile> m_damagedFiles;
    std::string m_lastSaveError;
};
