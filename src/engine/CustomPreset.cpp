#include "engine/CustomPreset.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UUID.h"

#include <cfloat>
#include <cmath>
#include <cstddef>

const char* const CustomPresetEffectNameKey = "EffectName";
const char* const CustomPresetParam1NumberValueKey = "Param1NumberValue";
const char* const CustomPresetParam2NumberValueKey = "Param2NumberValue";
const char* const CustomPresetCenterEffectXValueKey = "CenterEffectXValueKey";
const char* const CustomPresetCenterEffectYValueKey = "CenterEffectYValueKey";

const char* const CustomPresetNameDidChangeNotification = "CustomPresetNameDidChangeNotification";
const char* const CustomPresetImageDidChangeNotification = "CustomPresetImageDidChangeNotification";

namespace {

using foundation::Value;

// Bounds on what a file may hand us: far above anything the program writes, low enough that a
// foreign file cannot make a preset that stalls the renderer or the browser.
constexpr std::size_t kMaxRecords = 10000;
constexpr std::size_t kMaxNameBytes = 4096;

bool isFloatNumber(const Value& v) {
    if (v.type() != Value::Type::Integer && v.type() != Value::Type::Real) return false;
    const double d = *v.getDouble();
    return std::isfinite(d) && std::fabs(d) <= FLT_MAX;
}

bool isName(const Value* v) {
    const std::string* s = v ? v->getString() : nullptr;
    return s && !s->empty() && s->size() <= kMaxNameBytes;
}

} // namespace

bool isWellFormedEffectRecord(const EffectRecord& record) {
    auto name = record.find(CustomPresetEffectNameKey);
    if (name == record.end() || !isName(&name->second)) return false;
    for (const auto& [key, value] : record) {
        if (key == CustomPresetEffectNameKey) continue;
        if (key != CustomPresetParam1NumberValueKey && key != CustomPresetParam2NumberValueKey &&
            key != CustomPresetCenterEffectXValueKey && key != CustomPresetCenterEffectYValueKey)
            return false;
        if (!isFloatNumber(value)) return false;
    }
    return true;
}

CustomPreset::CustomPreset(std::vector<EffectRecord> ppStackArray, std::string name)
    : _ppStackArray(std::move(ppStackArray)), _name(std::move(name)) {}

void CustomPreset::setName(std::string name) {
    if (name == _name) return;
    _name = std::move(name);
    foundation::NotificationCenter::defaultCenter().postNotificationName(
        CustomPresetNameDidChangeNotification, Value::reference(this, kClassName));
}

void CustomPreset::setPreviewImage(graphics::ImagePtr image) {
    if (image == _previewImage) return;
    _previewImage = std::move(image);
    foundation::NotificationCenter::defaultCenter().postNotificationName(
        CustomPresetImageDidChangeNotification, Value::reference(this, kClassName));
}

const std::string& CustomPreset::uuidPreset() const {
    if (_uuidPreset.empty()) _uuidPreset = foundation::makeUUIDString();
    return _uuidPreset;
}

Value CustomPreset::value(std::shared_ptr<CustomPreset> preset) {
    return preset ? Value::object(std::move(preset), kClassName) : Value();
}

std::shared_ptr<CustomPreset> CustomPreset::fromValue(const Value& value) {
    return value.getObject<CustomPreset>(kClassName);
}

void CustomPreset::registerForArchiving() {
    static const bool registered = foundation::KeyedArchiver::registerClass<CustomPreset>(
        kClassName,
        [](const CustomPreset& preset, foundation::KeyedArchiver& coder) {
            // A record the reader would refuse would cost the whole file: it is left out instead.
            foundation::Array records;
            for (const EffectRecord& record : preset._ppStackArray)
                if (isWellFormedEffectRecord(record)) records.push_back(Value(record));
            coder.encodeObject(Value(std::move(records)), "_ppStackArray");
            coder.encodeObject(Value(preset._name), "_name");
            coder.encodeObject(Value(preset.uuidPreset()), "_uuidPreset");
        },
        [](const foundation::KeyedUnarchiver& coder) -> std::shared_ptr<CustomPreset> {
            const Value* stack = coder.decodeObjectForKey("_ppStackArray");
            const Value* name = coder.decodeObjectForKey("_name");
            const Value* uuid = coder.decodeObjectForKey("_uuidPreset");
            const foundation::Array* items = stack ? stack->getArray() : nullptr;
            // A user may name a preset "", but every stored preset has an identifier.
            if (!items || items->size() > kMaxRecords || !name || !name->getString() ||
                name->getString()->size() > kMaxNameBytes || !isName(uuid))
                return nullptr;
            std::vector<EffectRecord> records;
            records.reserve(items->size());
            for (const Value& item : *items) {
                const foundation::Dictionary* record = item.getDictionary();
                if (!record || !isWellFormedEffectRecord(*record)) return nullptr;
                records.push_back(*record);
            }
            auto preset = std::make_shared<CustomPreset>(std::move(records), *name->getString());
            preset->_uuidPreset = *uuid->getString();
            return preset;
        });
    (void)registered;
}
