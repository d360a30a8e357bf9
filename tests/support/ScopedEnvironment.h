#pragma once

// Environment variables changed for a test's lifetime: the first value each had comes back at
// the end, so tests that run after it in the same process see the environment they started with.

#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class ScopedEnvironment {
  public:
    ScopedEnvironment() = default;
    ScopedEnvironment(std::initializer_list<std::pair<std::string, std::string>> values) {
        for (const auto& [name, value] : values)
            set(name, value);
    }
    ~ScopedEnvironment() {
        // In reverse, so a variable changed twice ends with its first saved value.
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    void set(const std::string& name, const std::string& value) {
        save(name);
        setenv(name.c_str(), value.c_str(), 1);
    }
    void unset(const std::string& name) {
        save(name);
        unsetenv(name.c_str());
    }

  private:
    void save(const std::string& name) {
        const char* value = std::getenv(name.c_str());
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};
