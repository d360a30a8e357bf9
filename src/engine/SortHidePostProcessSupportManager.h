#pragma once

// Per-effect settings the user changes in the effect browser: whether an effect is hidden, its
// sort weight within its category and its overall sort weight. They live in the user defaults as
// three dictionaries keyed by the effect's display name, each loaded on first use; every change
// writes the loaded dictionaries back at once. Main thread only.

#include "platform/foundation/Value.h"

#include <cstdint>
#include <optional>
#include <string>

namespace foundation {
class UserDefaults;
}

class SortHidePostProcessSupportManager {
  public:
    // The program's manager, over the standard user defaults.
    static SortHidePostProcessSupportManager& sharedSortHidePostProcessSupportManager();

    explicit SortHidePostProcessSupportManager(foundation::UserDefaults& defaults) : m_defaults(defaults) {}
    SortHidePostProcessSupportManager(const SortHidePostProcessSupportManager&) = delete;
    SortHidePostProcessSupportManager& operator=(const SortHidePostProcessSupportManager&) = delete;

    // Display name -> bool, true meaning hidden.
    const foundation::Dictionary& ppVisibleDictionary();
    // Display name -> unsigned weight.
    const foundation::Dictionary& ppCategoriesWeightDictionary();
    const foundation::Dictionary& ppWeightDictionary();

    // A name without an entry is visible with both weights 0.
    bool isHiddenForPPName(const std::string& name);
    void setHidden(bool hidden, const std::string& name);
    std::uint64_t weightInCategoryForPPName(const std::string& name);
    void setWeightInCategory(std::uint64_t weight, const std::string& name);
    std::uint64_t weightForPPName(const std::string& name);
    void setWeight(std::uint64_t weight, const std::string& name);

    // Writes the dictionaries loaded so far (one never read is left as stored) and synchronises.
    void save();
    // Forgets all three settings, stored ones included.
    void resetToDefaults();

  private:
    foundation::Dictionary& loaded(std::optional<foundation::Dictionary>& dictionary, const char* key);
    void set(std::optional<foundation::Dictionary>& dictionary, const char* key, const std::string& name,
             foundation::Value value);

    foundation::UserDefaults& m_defaults;
    std::optional<foundation::Dictionary> _ppVisibleDictionary;
    std::optional<foundation::Dictionary> _ppCategoriesWeightDictionary;
    std::optional<foundation::Dictionary> _ppWeightDictionary;
};
