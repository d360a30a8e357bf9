#pragma once

// Settings under string keys (any UTF-8: blanks, "&", "/"), kept in one JSON file in the
// configuration folder. The file is read on first use and written atomically on synchronize(),
// shortly after changes, and when the store is destroyed. A damaged or foreign file is renamed
// aside with a warning on standard error and the store starts empty: settings never stop the
// program from starting. Registered defaults answer for absent keys and are never written.
// Safe from any thread.

#include "platform/foundation/Value.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace foundation {

class UserDefaults {
  public:
    // The program's store: defaults.json in configurationDirectory() at the time of asking.
    static UserDefaults& standardUserDefaults();

    // A store over filePath; changes are written writeDelay seconds after the last one.
    explicit UserDefaults(std::string filePath, double writeDelay = 1.0);
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // Empty when the key is absent (and has no registered default): the presence test.
    std::optional<Value> objectForKey(const std::string& key) const;
    // Numbers read as numbers of any kind; absent keys and other types answer 0 or false.
    bool boolForKey(const std::string& key) const;
    std::int64_t integerForKey(const std::string& key) const;
    std::uint64_t unsignedIntegerForKey(const std::string& key) const; // negative answers 0
    float floatForKey(const std::string& key) const;
    double doubleForKey(const std::string& key) const;
    std::optional<std::string> stringForKey(const std::string& key) const;
    std::optional<Array> arrayForKey(const std::string& key) const;
    std::optional<Dictionary> dictionaryForKey(const std::string& key) const;

    // Refuses (false, with a warning) what the file cannot hold: bytes, objects, numbers that are
    // not finite, text that is not UTF-8. A null value removes the key.
    bool setObject(const Value& value, const std::string& key);
    bool setBool(bool value, const std::string& key) { return setObject(Value(value), key); }
    bool setInteger(std::int64_t value, const std::string& key) { return setObject(Value(value), key); }
    bool setUnsignedInteger(std::uint64_t value, const std::string& key) {
        return setObject(Value(value), key);
    }
    bool setFloat(float value, const std::string& key) { return setObject(Value(value), key); }
    bool setDouble(double value, const std::string& key) { return setObject(Value(value), key); }
    void removeObjectForKey(const std::string& key);

    void registerDefaults(const Dictionary& defaults);

    // Writes pending changes now. False when the file could not be written.
    bool synchronize();

  private:
    const Value* lookup(const std::string& key) const; // caller holds mutex_
    void loadIfNeeded() const;                         // caller holds mutex_
    void changed();                                    // caller holds mutex_
    bool writeSnapshot(std::unique_lock<std::mutex>& lock);
    void writerLoop();

    const std::string path_;
    const double writeDelay_;

    mutable std::mutex mutex_;
    mutable bool loaded_ = false;
    mutable Dictionary values_;
    Dictionary registered_;
    std::uint64_t generation_ = 0; // bumped by every change
    std::uint64_t written_ = 0;    // generation the file holds
    std::uint64_t failed_ = 0;     // generation whose write failed: the writer waits for a new change

    std::mutex writeMutex_; // one file write at a time
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread writer_; // started by the first change
};

} // namespace foundation
