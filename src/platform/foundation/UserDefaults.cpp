#include "platform/foundation/UserDefaults.h"

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/FileLocations.h"
#include "platform/foundation/PlainJson.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>

namespace foundation {

UserDefaults& UserDefaults::standardUserDefaults() {
    // One store per configuration folder for the process's life, so a reference handed out stays
    // valid when OPALENE_CONFIG_DIR changes (test programs point it at folders of their own).
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<UserDefaults>> stores;
    const std::string path = configurationDirectory() + "/defaults.json";
    std::lock_guard lock(mutex);
    std::unique_ptr<UserDefaults>& store = stores[path];
    if (!store) store = std::make_unique<UserDefaults>(path);
    return *store;
}

UserDefaults::UserDefaults(std::string filePath, double writeDelay)
    : path_(std::move(filePath)), writeDelay_(writeDelay > 0 ? writeDelay : 0) {}

UserDefaults::~UserDefaults() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (writer_.joinable()) writer_.join();
    synchronize();
}

void UserDefaults::loadIfNeeded() const {
    if (loaded_) return;
    loaded_ = true;
    std::string error;
    bool missing = false;
    std::optional<std::string> text = readWholeFile(path_, &error, &missing);
    if (missing) return;
    if (text) {
        nlohmann::json json = nlohmann::json::parse(*text, nullptr, false);
        std::optional<Value> value;
        if (json.is_discarded())
            error = "damaged JSON";
        else if (!json.is_object())
            error = "not a settings file";
        else
            value = fromPlainJson(json, &error);
        if (value) {
            values_ = std::move(*value->getDictionary());
            return;
        }
    }
    std::string aside = setAsideDamagedFile(path_);
    std::fprintf(stderr, "opalene: settings file %s is unusable (%s); %s; starting with default settings\n",
                 path_.c_str(), error.c_str(),
                 aside.empty() ? "it could not be moved aside" : ("kept as " + aside).c_str());
}

const Value* UserDefaults::lookup(const std::string& key) const {
    loadIfNeeded();
    if (auto it = values_.find(key); it != values_.end()) return &it->second;
    if (auto it = registered_.find(key); it != registered_.end()) return &it->second;
    return nullptr;
}

std::optional<Value> UserDefaults::objectForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    const Value* v = lookup(key);
    return v ? std::optional<Value>(*v) : std::nullopt;
}

bool UserDefaults::boolForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    const Value* v = lookup(key);
    return v && v->getBool().value_or(false);
}

std::int64_t UserDefaults::integerForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    const Value* v = lookup(key);
    return v ? v->getInt64().value_or(0) : 0;
}

std::uint64_t UserDefaults::unsignedIntegerForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    const Value* v = lookup(key);
    return v ? v->getUInt64().value_or(0) : 0;
}

float UserDefaults::floatForKey(const std::string& key) const {
    return static_cast<float>(doubleForKey(key));
}

double UserDefaults::doubleForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    const Value* v = lookup(key);
    return v ? v->getDouble().value_or(0.0) : 0.0;
}

std::optional<std::string> UserDefaults::stringForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    const Value* v = lookup(key);
    return v && v->getString() ? std::optional<std::string>(*v->getString()) : std::nullopt;
}

std::optional<Array> UserDefaults::arrayForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    const Value* v = lookup(key);
    return v && v->getArray() ? std::optional<Array>(*v->getArray()) : std::nullopt;
}

std::optional<Dictionary> UserDefaults::dictionaryForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    const Value* v = lookup(key);
    return v && v->getDictionary() ? std::optional<Dictionary>(*v->getDictionary()) : std::nullopt;
}

bool UserDefaults::setObject(const Value& value, const std::string& key) {
    if (value.isNull()) {
        removeObjectForKey(key);
        return true;
    }
    // Checked here, with the key, so that one bad entry cannot stop every later write of the file.
    std::string error;
    std::optional<nlohmann::json> json = toPlainJson(value, &error);
    if (!json || !dumpJson(nlohmann::json{{key, std::move(*json)}}, &error)) {
        std::fprintf(stderr, "opalene: setting \"%s\" not stored: %s\n", key.c_str(), error.c_str());
        return false;
    }
    std::lock_guard lock(mutex_);
    loadIfNeeded();
    values_[key] = value;
    changed();
    return true;
}

void UserDefaults::removeObjectForKey(const std::string& key) {
    std::lock_guard lock(mutex_);
    loadIfNeeded();
    if (values_.erase(key)) changed();
}

void UserDefaults::registerDefaults(const Dictionary& defaults) {
    std::lock_guard lock(mutex_);
    for (const auto& [key, value] : defaults)
        registered_[key] = value;
}

void UserDefaults::changed() {
    ++generation_;
    if (!writer_.joinable() && !stopping_) writer_ = std::thread([this] { writerLoop(); });
    wake_.notify_all();
}

void UserDefaults::writerLoop() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (generation_ == written_ || generation_ == failed_) {
            wake_.wait(lock);
            continue;
        }
        // Write once the changes have been quiet for writeDelay_.
        std::uint64_t seen = generation_;
        auto delay = std::chrono::duration<double>(writeDelay_);
        if (wake_.wait_for(lock, delay, [&] { return stopping_ || generation_ != seen; })) continue;
        writeSnapshot(lock);
    }
}

bool UserDefaults::writeSnapshot(std::unique_lock<std::mutex>& lock) {
    // Snapshots are taken while holding writeMutex_, so the file is written in snapshot order.
    lock.unlock();
    std::lock_guard writing(writeMutex_);
    lock.lock();
    loadIfNeeded();
    if (generation_ == written_) return true;
    const std::uint64_t generation = generation_;
    std::string error;
    std::optional<nlohmann::json> json = toPlainJson(Value(values_), &error);
    lock.unlock();
    std::optional<std::string> text = json ? dumpJson(*json, &error) : std::nullopt;
    const bool ok = text && writeFileAtomically(path_, *text, &error);
    lock.lock();
    if (ok)
        written_ = generation;
    else {
        failed_ = generation;
        std::fprintf(stderr, "opalene: settings not saved to %s: %s\n", path_.c_str(), error.c_str());
    }
    return ok;
}

bool UserDefaults::synchronize() {
    std::unique_lock lock(mutex_);
    return writeSnapshot(lock);
}

} // namespace foundation
