#pragma once
// What the effect browser lists: the catalogue's effects or frames, or the user's presets, by tab,
// category, favourites and a name filter, with the per-category caches the strip reads from.
// A plain class: the browser view asks it and reloads its strip when told a list changed.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class PostProcess;
class CustomPreset;

class SelectPostProcessListModel {
  public:
    enum Tab : int32_t { kTabEffects = 0, kTabFrames = 1, kTabPresets = 2 };

    // "Effects", "Frames" or "Presets"; nothing for another value.
    static std::optional<std::string> tabIdentifier(int32_t tab);

    int32_t selectedTab() const { return _selectedTab; }
    void setSelectedTab(int32_t tab) { _selectedTab = tab; }
    // The favourites check box's state, read by the lists as the Parts' "pushed" state.
    bool favoritesOnly() const { return _favoritesOnly; }
    void setFavoritesOnly(bool on) { _favoritesOnly = on; }

    // Case-insensitive substring test against the lower-cased filter.
    bool visibleFilteredName(const std::string& name) const;
    const std::string& filterString() const { return _filterString; }
    // Answers whether the filter changed; a change drops every cache. An unset text clears it.
    bool setFilterString(const std::optional<std::string>& text);

    // The current tab's kind of effect from the catalogue, sorted by name (plain comparison).
    std::vector<PostProcess*> postProcessesFavorite(bool favorites, bool filtered) const;
    // An unset category is the tab's whole list ("All Effects" or "All Frames"). Built once per
    // category and favourites state, always of the tab's kind, sorted with digit runs by value.
    std::vector<PostProcess*> processForCategory(const std::optional<std::string>& category, bool favorites);
    // Distinct categories of the tab's list, in localised case-insensitive order; none on Presets.
    std::vector<std::string> categories();
    const std::vector<std::shared_ptr<CustomPreset>>& filteredPresets();

    // The row of the remembered category in the category list (0: all), from the user defaults.
    int64_t rememberedCategoryRow();
    // Row 0 is the localised "All Effects"/"All Frames"; a row past the list is row 0's name.
    std::string categoryNameForRow(int64_t row);
    // Stores the category chosen on the Effects or Frames tab in its user default.
    void rememberCategoryRow(int64_t row);
    // The category the strip shows for a row of the category list: unset for row 0.
    std::optional<std::string> categoryForRow(int64_t row);

    // The items of the current tab, category row and favourites switch.
    std::vector<PostProcess*> currentEffects(int64_t categoryRow);

    void dropCategoryCaches();
    void dropCategoryLists();
    void dropPresets() { _filteredPresets.reset(); }

    static std::string allEffectsName();
    static std::string allFramesName();
    static std::string allEffectsAndFramesName();

    // NSString-style comparisons the lists sort by: plain code-unit order, and digit runs
    // compared by value.
    static int plainCompare(const std::string& a, const std::string& b);
    static int numericCompare(const std::string& a, const std::string& b);

  private:
    int32_t _selectedTab = kTabEffects;
    bool _favoritesOnly = false;
    std::string _filterString;
    std::optional<std::vector<std::string>> _categories, _framesCategories;
    std::map<std::string, std::vector<PostProcess*>> _processesOnCategories, _processesOnCategoriesFavorite;
    std::optional<std::vector<std::shared_ptr<CustomPreset>>> _filteredPresets;
};
