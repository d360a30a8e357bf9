#include "engine/CustomPresetsManager.h"

#include "engine/PostProcess.h"
#include "engine/PostProcessParameter.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/FileLocations.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UndoManager.h"

#include <cstdio>
#include <filesystem>
#include <set>
#include <utility>

const char* const CustomPresetsManagerPresetsDidChangeNotification =
    "CustomPresetsManagerPresetsDidChangeNotification";

namespace {

using foundation::Array;
using foundation::KeyedArchiver;
using foundation::KeyedUnarchiver;
using foundation::Value;
using PresetList = std::vector<std::shared_ptr<CustomPreset>>;

constexpr const char* kManagerClassName = "CustomPresetsManager";
// Preset files are a few kilobytes; anything this large is not one.
constexpr std::uintmax_t kMaxImportBytes = 16u << 20;

// What the state file holds: the manager's stored fields.
struct SavedState {
    CustomPresetsManager::Stack stack;
    std::uint64_t maxIndexKeyOfUsedEffect = 0;
};

std::string storedFilePath(const char* name) {
    return (std::filesystem::path(foundation::applicationSupportDirectory()) / name).string();
}

// Null for an entry the reader would refuse (a malformed record, no preset), which would cost
// the whole file: such entries are left out.
Value entryValue(const CustomPresetsManager::Entry& entry) {
    if (const EffectRecord* record = std::get_if<EffectRecord>(&entry))
        return isWellFormedEffectRecord(*record) ? Value(*record) : Value();
    return CustomPreset::value(std::get<std::shared_ptr<CustomPreset>>(entry));
}

std::optional<CustomPresetsManager::Entry> entryFromValue(const Value& value) {
    if (const foundation::Dictionary* record = value.getDictionary()) {
        if (!isWellFormedEffectRecord(*record)) return std::nullopt;
        return *record;
    }
    if (std::shared_ptr<CustomPreset> preset = CustomPreset::fromValue(value)) return preset;
    return std::nullopt;
}

bool isPresetList(const Value& root) {
    const Array* items = root.getArray();
    if (!items) return false;
    for (const Value& item : *items)
        if (!CustomPreset::fromValue(item)) return false;
    return true;
}

bool isSavedState(const Value& root) {
    return root.getObject<SavedState>(kManagerClassName) != nullptr;
}

PresetList presetsOf(const Value& list) {
    PresetList presets;
    for (const Value& item : *list.getArray())
        presets.push_back(CustomPreset::fromValue(item));
    return presets;
}

Value listValue(const PresetList& list) {
    Array items;
    for (const auto& preset : list)
        items.push_back(CustomPreset::value(preset));
    return Value(std::move(items));
}

void registerForArchiving() {
    CustomPreset::registerForArchiving();
    static const bool registered = KeyedArchiver::registerClass<SavedState>(
        kManagerClassName,
        [](const SavedState& state, KeyedArchiver& coder) {
            Array items;
            for (const auto& entry : state.stack)
                if (Value item = entryValue(entry); !item.isNull()) items.push_back(std::move(item));
            coder.encodeObject(Value(std::move(items)), "_currentPostProcessesAndPresetsArray");
            coder.encodeObject(Value(state.maxIndexKeyOfUsedEffect), "_maxIndexKeyOfUsedEffect");
        },
        [](const KeyedUnarchiver& coder) -> std::shared_ptr<SavedState> {
            const Value* stack = coder.decodeObjectForKey("_currentPostProcessesAndPresetsArray");
            const Value* counter = coder.decodeObjectForKey("_maxIndexKeyOfUsedEffect");
            const Array* items = stack ? stack->getArray() : nullptr;
            if (!items || !counter || counter->type() != Value::Type::Integer || *counter->getInt64() < 0)
                return nullptr;
            auto state = std::make_shared<SavedState>();
            state->maxIndexKeyOfUsedEffect = std::uint64_t(*counter->getInt64());
            for (const Value& item : *items) {
                std::optional<CustomPresetsManager::Entry> entry = entryFromValue(item);
                if (!entry) return nullptr;
                state->stack.push_back(std::move(*entry));
            }
            return state;
        });
    (void)registered;
}

} // namespace

CustomPresetsManager& CustomPresetsManager::sharedCustomPresetsManager() {
    static std::unique_ptr<CustomPresetsManager> shared = restoredFromSavedState();
    return *shared;
}

std::unique_ptr<CustomPresetsManager> CustomPresetsManager::restoredFromSavedState() {
    std::unique_ptr<CustomPresetsManager> manager(new CustomPresetsManager);
    if (std::optional<Value> root =
            manager->readStoredFile(storedFilePath("SharedCustomPresetsManagerSavedState"), isSavedState)) {
        std::shared_ptr<SavedState> state = root->getObject<SavedState>(kManagerClassName);
        manager->_currentPostProcessesAndPresetsArray = std::make_shared<Stack>(std::move(state->stack));
        manager->_maxIndexKeyOfUsedEffect = state->maxIndexKeyOfUsedEffect;
    }
    CustomPresetsManager* self = manager.get();
    foundation::NotificationCenter::defaultCenter().addObserver(
        self, CustomPresetNameDidChangeNotification, nullptr,
        [self](const foundation::Notification&) { self->savePresets(); });
    return manager;
}

CustomPresetsManager::~CustomPresetsManager() {
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
    if (_undoManager) _undoManager->removeAllActionsWithTarget(this);
}

std::optional<Value> CustomPresetsManager::readStoredFile(const std::string& path,
                                                          bool (*accept)(const Value&)) {
    registerForArchiving();
    KeyedUnarchiver::StoredRead read = KeyedUnarchiver::unarchiveStoredObjectWithFile(path);
    if (read.root && !accept(*read.root)) {
        // A sound archive of something else is as unusable as a broken one. When it came from the
        // backup, the copy put back in place is left for the next save to replace.
        read.root.reset();
        read.error = path + ": not what this file holds";
        if (!read.recoveredFromBackup) {
            read.setAsidePath = foundation::setAsideDamagedFile(path);
            std::optional<Value> copy = KeyedUnarchiver::unarchiveObjectWithFile(path + ".bak");
            if (!read.setAsidePath.empty() && copy && accept(*copy)) {
                read.root = std::move(copy);
                read.recoveredFromBackup = true;
            }
        } else {
            read.recoveredFromBackup = false;
        }
    }
    const bool damaged = !read.setAsidePath.empty() || (!read.root && std::filesystem::exists(path));
    if (damaged) {
        std::fprintf(stderr, "opalene: %s%s\n", read.error.c_str(),
                     read.recoveredFromBackup ? " (recovered from the backup copy)" : "");
        m_damagedFiles.push_back({path, read.setAsidePath, read.recoveredFromBackup, read.error});
    }
    return std::move(read.root);
}

// ---- The list ----

const std::vector<std::shared_ptr<CustomPreset>>& CustomPresetsManager::presets() {
    if (!_presets) {
        std::optional<Value> root = readStoredFile(storedFilePath("presets"), isPresetList);
        _presets = root ? presetsOf(*root) : PresetList{};
    }
    return *_presets;
}

std::shared_ptr<CustomPreset> CustomPresetsManager::presetWithIndex(std::size_t index) {
    return index < presets().size() ? presets()[index] : nullptr;
}

std::optional<std::size_t> CustomPresetsManager::indexOfPreset(const std::shared_ptr<CustomPreset>& preset) {
    const PresetList& list = presets();
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == preset) return i;
    return std::nullopt;
}

std::shared_ptr<CustomPreset> CustomPresetsManager::presetWithName(const std::string& name) {
    for (const auto& preset : presets())
        if (preset->name() == name) return preset;
    return nullptr;
}

std::shared_ptr<CustomPreset> CustomPresetsManager::presetWithID(const std::string& uuid) {
    for (const auto& preset : presets())
        if (preset->uuidPreset() == uuid) return preset;
    return nullptr;
}

void CustomPresetsManager::addPreset(std::shared_ptr<CustomPreset> preset) {
    if (!preset || indexOfPreset(preset)) return;
    _presets->push_back(std::move(preset));
    savePresets();
}

void CustomPresetsManager::deletePreset(const std::shared_ptr<CustomPreset>& preset) {
    std::optional<std::size_t> index = indexOfPreset(preset);
    if (!index) return;
    _presets->erase(_presets->begin() + std::ptrdiff_t(*index));
    savePresets();
}

bool CustomPresetsManager::movePresetAtIndex(std::size_t from, std::size_t to) {
    const std::size_t count = presetsCount();
    if (from >= count || to >= count) return false;
    std::shared_ptr<CustomPreset> preset = (*_presets)[from];
    _presets->erase(_presets->begin() + std::ptrdiff_t(from));
    _presets->insert(_presets->begin() + std::ptrdiff_t(to), std::move(preset));
    savePresets();
    return true;
}

bool CustomPresetsManager::writePresets(const PresetList& list) {
    registerForArchiving();
    std::string error;
    const bool saved = KeyedArchiver::archiveRootObject(listValue(list), storedFilePath("presets"), &error);
    m_lastSaveError = saved ? std::string() : error;
    if (!saved) std::fprintf(stderr, "opalene: presets not saved: %s\n", error.c_str());
    return saved;
}

bool CustomPresetsManager::savePresets() {
    const bool saved = writePresets(presets());
    // The list in memory changed either way: observers show it.
    foundation::NotificationCenter::defaultCenter().postNotificationName(
        CustomPresetsManagerPresetsDidChangeNotification, Value::reference(this, kManagerClassName));
    return saved;
}

bool CustomPresetsManager::savePresetsAtPaht(const std::string& path) {
    registerForArchiving();
    std::optional<std::string> text = KeyedArchiver::archivedDataWithRootObject(listValue(presets()));
    return text && foundation::writeFileAtomically(path, *text);
}

bool CustomPresetsManager::restorePresetsFromPath(const std::string& path) {
    registerForArchiving();
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxImportBytes) return false;
    std::optional<Value> root = KeyedUnarchiver::unarchiveObjectWithFile(path);
    if (!root || !isPresetList(*root) || root->getArray()->empty()) return false;
    PresetList list = presetsOf(*root);
    if (!writePresets(list)) return false;
    _presets = std::move(list);
    foundation::NotificationCenter::defaultCenter().postNotificationName(
        CustomPresetsManagerPresetsDidChangeNotification, Value::reference(this, kManagerClassName));
    return true;
}

bool CustomPresetsManager::storePresetsInfoToPath(const std::string& path) {
    Array entries;
    for (const auto& preset : presets())
        entries.push_back(Value(
            foundation::Dictionary{{"id", Value(preset->uuidPreset())}, {"name", Value(preset->name())}}));
    return foundation::PropertyList::write(Value(Array{Value("User Presets"), Value(std::move(entries))}),
                                           path);
}

void CustomPresetsManager::resetAllPreviewImages() {
    for (const auto& preset : presets())
        preset->setPreviewImage(nullptr);
}

// ---- The stack ----

const CustomPresetsManager::StackPtr& CustomPresetsManager::currentPostProcessesAndPresetsArray() {
    if (!_currentPostProcessesAndPresetsArray)
        _currentPostProcessesAndPresetsArray = std::make_shared<Stack>();
    return _currentPostProcessesAndPresetsArray;
}

void CustomPresetsManager::registerUndo(std::function<void()> action) {
    if (_undoManager) _undoManager->registerUndo(this, std::move(action));
}

void CustomPresetsManager::pushEntry(Entry entry) {
    registerUndo([this] { removeLastEffectOrPreset(); });
    currentPostProcessesAndPresetsArray()->push_back(std::move(entry));
    saveCurrentState();
}

void CustomPresetsManager::pushEffect(PostProcess* effect) {
    if (!effect) return;
    EffectRecord record{{CustomPresetEffectNameKey, Value(effect->get_name())}};
    if (PostProcessParameter* p = effect->param_1())
        record[CustomPresetParam1NumberValueKey] = Value(float(p->value()));
    if (PostProcessParameter* p = effect->param_2())
        record[CustomPresetParam2NumberValueKey] = Value(float(p->value()));
    if (effect->isCenterSupported()) {
        const graphics::Point center = effect->effectCenter();
        record[CustomPresetCenterEffectXValueKey] = Value(float(center.x));
        record[CustomPresetCenterEffectYValueKey] = Value(float(center.y));
    }
    pushEntry(std::move(record));
}

void CustomPresetsManager::pushPreset(std::shared_ptr<CustomPreset> preset) {
    if (preset) pushEntry(std::move(preset));
}

void CustomPresetsManager::removeLastEffectOrPreset() {
    const StackPtr& stack = currentPostProcessesAndPresetsArray();
    if (stack->empty()) return;
    Entry last = stack->back();
    registerUndo([this, last] { currentPostProcessesAndPresetsArrayPushObject(last); });
    stack->pop_back();
    saveCurrentState();
}

void CustomPresetsManager::currentPostProcessesAndPresetsArrayPushObject(Entry entry) {
    currentPostProcessesAndPresetsArray()->push_back(std::move(entry));
    registerUndo([this] { removeLastEffectOrPreset(); });
    // Saved as well, so that quitting right after a redo does not lose the entry.
    saveCurrentState();
}

void CustomPresetsManager::setCurrentPostProcessesAndPresetsArray(StackPtr array) {
    if (array == _currentPostProcessesAndPresetsArray) return;
    registerUndo(
        [this, old = _currentPostProcessesAndPresetsArray] { setCurrentPostProcessesAndPresetsArray(old); });
    _currentPostProcessesAndPresetsArray = std::move(array);
    saveCurrentState();
}

bool CustomPresetsManager::saveCurrentState() {
    registerForArchiving();
    auto state = std::make_shared<SavedState>();
    if (_currentPostProcessesAndPresetsArray) state->stack = *_currentPostProcessesAndPresetsArray;
    state->maxIndexKeyOfUsedEffect = _maxIndexKeyOfUsedEffect;
    std::string error;
    const bool saved =
        KeyedArchiver::archiveRootObject(Value::object(state, kManagerClassName),
                                         storedFilePath("SharedCustomPresetsManagerSavedState"), &error);
    m_lastSaveError = saved ? std::string() : error;
    if (!saved) std::fprintf(stderr, "opalene: applied effects not saved: %s\n", error.c_str());
    return saved;
}

std::shared_ptr<CustomPreset>
CustomPresetsManager::createCustomPresetWithName(std::optional<std::string> name) {
    std::vector<EffectRecord> records;
    for (const Entry& entry : *currentPostProcessesAndPresetsArray()) {
        if (const EffectRecord* record = std::get_if<EffectRecord>(&entry))
            records.push_back(*record);
        else if (const auto& preset = std::get<std::shared_ptr<CustomPreset>>(entry))
            records.insert(records.end(), preset->ppStackArray().begin(), preset->ppStackArray().end());
    }
    if (records.empty()) return nullptr;
    return std::make_shared<CustomPreset>(std::move(records),
                                          name ? std::move(*name) : generateNameForNewPreset());
}

std::string CustomPresetsManager::generateNameForNewPreset() {
    std::set<std::string> names;
    for (const auto& preset : presets())
        names.insert(preset->name());
    for (long n = 1;; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "Preset %ld", n);
        if (!names.count(name)) return name;
    }
}

void CustomPresetsManager::setUndoManager(foundation::UndoManager* undoManager) {
    _undoManager = undoManager;
}
