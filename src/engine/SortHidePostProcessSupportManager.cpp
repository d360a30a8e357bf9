#include "engine/SortHidePostProcessSupportManager.h"

#include "platform/foundation/UserDefaults.h"

#include <map>
#include <memory>
#include <mutex>

using foundation::Dictionary;
using foundation::UserDefaults;
using foundation::Value;

namespace {

const char* const kVisibleKey = "SortHidePPSupportManagerVisibleDictionary";
const char* const kCategoriesWeightKey = "SortHidePPSupportManagerCategoriesWeightDictionary";
const char* const kWeightKey = "SortHidePPSupportManagerWeightDictionary";

const Value* entry(const Dictionary& dictionary, const std::string& name) {
    auto it = dictionary.find(name);
    return it == dictionary.end() ? nullptr : &it->second;
}

std::uint64_t weightIn(const Dictionary& dictionary, const std::string& name) {
    const Value* v = entry(dictionary, name);
    return v ? v->getUInt64().value_or(0) : 0;
}

} // namespace

SortHidePostProcessSupportManager&
SortHidePostProcessSupportManager::sharedSortHidePostProcessSupportManager() {
    // The manager of the standard store, which follows the configuration folder. The store is asked
    // for first, so that the managers go before the stores at exit.
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    static std::mutex mutex;
    static std::map<const UserDefaults*, std::unique_ptr<SortHidePostProcessSupportManager>> managers;
    std::lock_guard lock(mutex);
    std::unique_ptr<SortHidePostProcessSupportManager>& shared = managers[&defaults];
    if (!shared) shared = std::make_unique<SortHidePostProcessSupportManager>(defaults);
    return *shared;
}

Dictionary& SortHidePostProcessSupportManager::loaded(std::optional<Dictionary>& dictionary,
                                                      const char* key) {
    if (!dictionary) dictionary = m_defaults.dictionaryForKey(key).value_or(Dictionary{});
    return *dictionary;
}

const Dictionary& SortHidePostProcessSupportManager::ppVisibleDictionary() {
    return loaded(_ppVisibleDictionary, kVisibleKey);
}

const Dictionary& SortHidePostProcessSupportManager::ppCategoriesWeightDictionary() {
    return loaded(_ppCategoriesWeightDictionary, kCategoriesWeightKey);
}

const Dictionary& SortHidePostProcessSupportManager::ppWeightDictionary() {
    return loaded(_ppWeightDictionary, kWeightKey);
}

bool SortHidePostProcessSupportManager::isHiddenForPPName(const std::string& name) {
    const Value* v = entry(ppVisibleDictionary(), name);
    return v && v->getBool().value_or(false);
}

std::uint64_t SortHidePostProcessSupportManager::weightInCategoryForPPName(const std::string& name) {
    return weightIn(ppCategoriesWeightDictionary(), name);
}

std::uint64_t SortHidePostProcessSupportManager::weightForPPName(const std::string& name) {
    return weightIn(ppWeightDictionary(), name);
}

void SortHidePostProcessSupportManager::set(std::optional<Dictionary>& dictionary, const char* key,
                                            const std::string& name, Value value) {
    loaded(dictionary, key)[name] = std::move(value);
    save();
}

void SortHidePostProcessSupportManager::setHidden(bool hidden, const std::string& name) {
    set(_ppVisibleDictionary, kVisibleKey, name, Value(hidden));
}

void SortHidePostProcessSupportManager::setWeightInCategory(std::uint64_t weight, const std::string& name) {
    set(_ppCategoriesWeightDictionary, kCategoriesWeightKey, name, Value(weight));
}

void SortHidePostProcessSupportManager::setWeight(std::uint64_t weight, const std::string& name) {
    set(_ppWeightDictionary, kWeightKey, name, Value(weight));
}

void SortHidePostProcessSupportManager::save() {
    if (_ppVisibleDictionary) m_defaults.setObject(Value(*_ppVisibleDictionary), kVisibleKey);
    if (_ppCategoriesWeightDictionary)
        m_defaults.setObject(Value(*_ppCategoriesWeightDictionary), kCategoriesWeightKey);
    if (_ppWeightDictionary) m_defaults.setObject(Value(*_ppWeightDictionary), kWeightKey);
    m_defaults.synchronize();
}

void SortHidePostProcessSupportManager::resetToDefaults() {
    _ppVisibleDictionary.reset();
    _ppCategoriesWeightDictionary.reset();
    _ppWeightDictionary.reset();
    for (const char* key : {kVisibleKey, kCategoriesWeightKey, kWeightKey})
        m_defaults.removeObjectForKey(key);
    m_defaults.synchronize();
}
