#include "editor/SelectPostProcessListModel.h"

#include "engine/CustomPreset.h"
#include "engine/CustomPresetsManager.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/services/KXSLocalization.h"

#include <QCollator>
#include <QString>
#include <algorithm>
#include <set>

namespace {

const char* const kEffectsCategoryKey = "k_Categories_Popover_Selected_Cell_Key";
const char* const kFramesCategoryKey = "kCategoriesPopoverSelectedCellFramesKey";

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

void sortByName(std::vector<PostProcess*>& list, int (*compare)(const std::string&, const std::string&)) {
    std::vector<std::pair<std::string, PostProcess*>> named;
    named.reserve(list.size());
    for (PostProcess* effect : list)
        named.emplace_back(effect->get_name(), effect);
    std::stable_sort(named.begin(), named.end(),
                     [compare](const auto& a, const auto& b) { return compare(a.first, b.first) < 0; });
    for (size_t i = 0; i < list.size(); ++i)
        list[i] = named[i].second;
}

} // namespace

std::optional<std::string> SelectPostProcessListModel::tabIdentifier(int32_t tab) {
    switch (tab) {
    case kTabEffects:
        return "Effects";
    case kTabFrames:
        return "Frames";
    case kTabPresets:
        return "Presets";
    default:
        return std::nullopt;
    }
}

std::string SelectPostProcessListModel::allEffectsName() {
    return services::KXSLocalization::localizedStringForKey("All Effects", "");
}
std::string SelectPostProcessListModel::allFramesName() {
    return services::KXSLocalization::localizedStringForKey("All Frames", "");
}
std::string SelectPostProcessListModel::allEffectsAndFramesName() {
    return services::KXSLocalization::localizedStringForKey("All Effects and Frames", "");
}

int SelectPostProcessListModel::plainCompare(const std::string& a, const std::string& b) {
    const int c = qs(a).compare(qs(b), Qt::CaseSensitive);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int SelectPostProcessListModel::numericCompare(const std::string& a, const std::string& b) {
    const QString x = qs(a), y = qs(b);
    qsizetype i = 0, j = 0;
    while (i < x.size() && j < y.size()) {
        if (isDigit(x[i]) && isDigit(y[j])) {
            qsizetype ie = i, je = j;
            while (ie < x.size() && isDigit(x[ie]))
                ++ie;
            while (je < y.size() && isDigit(y[je]))
                ++je;
            // Compare the runs by value: leading zeros do not count, a longer run is larger.
            qsizetype is = i, js = j;
            while (is + 1 < ie && x[is] == u'0')
                ++is;
            while (js + 1 < je && y[js] == u'0')
                ++js;
            if (ie - is != je - js) return ie - is < je - js ? -1 : 1;
            const int c = QStringView(x).mid(is, ie - is).compare(QStringView(y).mid(js, je - js));
            if (c != 0) return c < 0 ? -1 : 1;
            i = ie;
            j = je;
            continue;
        }
        if (x[i] != y[j]) return x[i] < y[j] ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < x.size()) return 1;
    if (j < y.size()) return -1;
    return 0;
}

bool SelectPostProcessListModel::visibleFilteredName(const std::string& name) const {
    if (name.empty() || _filterString.empty()) return true;
    const QString n = qs(name), f = qs(_filterString);
    if (n.size() < f.size()) return false;
    return n.toLower().contains(f);
}

bool SelectPostProcessListModel::setFilterString(const std::optional<std::string>& text) {
    const std::string given = text.value_or(std::string());
    if (given == _filterString) return false;
    _filteredPresets.reset();
    dropCategoryLists();
    _filterString = qs(given).toLower().toStdString();
    dropCategoryCaches();
    return true;
}

std::vector<PostProcess*> SelectPostProcessListModel::postProcessesFavorite(bool favorites,
                                                                            bool filtered) const {
    std::vector<PostProcess*> list;
    for (const auto& owned : PostProcessesManager::sharedPostProcessesManager().postProcesses()) {
        PostProcess* effect = owned.get();
        if (_selectedTab == kTabEffects && effect->isFrame()) continue;
        if (_selectedTab == kTabFrames && !effect->isFrame()) continue;
        if (favorites && !effect->favorite()) continue;
        if (effect->isHidden()) continue;
        if (filtered && !visibleFilteredName(effect->get_name())) continue;
        list.push_back(effect);
    }
    sortByName(list, &plainCompare);
    return list;
}

std::vector<PostProcess*>
SelectPostProcessListModel::processForCategory(const std::optional<std::string>& category, bool favorites) {
    std::optional<std::string> name = category;
    if (!name) {
        if (_selectedTab == kTabEffects) name = allEffectsName();
        if (_selectedTab == kTabFrames) name = allFramesName();
    }
    auto& cache = favorites ? _processesOnCategoriesFavorite : _processesOnCategories;
    const std::string key = name.value_or(std::string());
    // Sorted once, by value of digit runs, when built: the columns keep one order from the first
    // request on ("Effect 2" before "Effect 10").
    if (auto found = cache.find(key); found != cache.end()) return found->second;
    std::vector<PostProcess*> list;
    if (name &&
        (*name == allEffectsName() || *name == allFramesName() || *name == allEffectsAndFramesName())) {
        list = postProcessesFavorite(favorites, true);
    } else {
        for (const auto& owned : PostProcessesManager::sharedPostProcessesManager().postProcesses()) {
            PostProcess* effect = owned.get();
            // The tab's kind holds with favourites too, so a shared category name cannot mix them.
            if (_selectedTab == kTabEffects && effect->isFrame()) continue;
            if (_selectedTab == kTabFrames && !effect->isFrame()) continue;
            if (!name || effect->get_categorie() != *name) continue;
            if (effect->isHidden()) continue;
            if (favorites && !effect->favorite()) continue;
            if (!visibleFilteredName(effect->get_name())) continue;
            list.push_back(effect);
        }
    }
    sortByName(list, &numericCompare);
    cache[key] = list;
    return list;
}

std::vector<std::string> SelectPostProcessListModel::categories() {
    if (_selectedTab != kTabEffects && _selectedTab != kTabFrames) return {};
    auto& cached = _selectedTab == kTabFrames ? _framesCategories : _categories;
    if (cached) return *cached;
    std::set<std::string> distinct;
    for (PostProcess* effect : postProcessesFavorite(_favoritesOnly, true))
        distinct.insert(effect->get_categorie());
    std::vector<std::string> list(distinct.begin(), distinct.end());
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    std::stable_sort(list.begin(), list.end(), [&](const std::string& a, const std::string& b) {
        return collator.compare(qs(a), qs(b)) < 0;
    });
    // An empty list is rebuilt next time: the catalogue may not be loaded yet.
    if (!list.empty()) cached = list;
    return list;
}

const std::vector<std::shared_ptr<CustomPreset>>& SelectPostProcessListModel::filteredPresets() {
    if (!_filteredPresets) {
        std::vector<std::shared_ptr<CustomPreset>> list;
        for (const auto& preset : CustomPresetsManager::sharedCustomPresetsManager().presets())
            if (preset && visibleFilteredName(preset->name())) list.push_back(preset);
        _filteredPresets = std::move(list);
    }
    return *_filteredPresets;
}

int64_t SelectPostProcessListModel::rememberedCategoryRow() {
    if (_selectedTab == kTabPresets) return 0;
    auto& defaults = foundation::UserDefaults::standardUserDefaults();
    std::optional<std::string> remembered;
    if (_selectedTab == kTabFrames) remembered = defaults.stringForKey(kFramesCategoryKey);
    if (!remembered) remembered = defaults.stringForKey(kEffectsCategoryKey);
    if (!remembered) return 0;
    const std::vector<std::string> list = categories();
    const auto found = std::find(list.begin(), list.end(), *remembered);
    return found == list.end() ? 0 : int64_t(found - list.begin()) + 1;
}

std::string SelectPostProcessListModel::categoryNameForRow(int64_t row) {
    const std::vector<std::string> list = categories();
    if (row > 0 && size_t(row) <= list.size()) return list[size_t(row - 1)];
    return _selectedTab == kTabFrames ? allFramesName() : allEffectsName();
}

std::optional<std::string> SelectPostProcessListModel::categoryForRow(int64_t row) {
    const std::vector<std::string> list = categories();
    if (row > 0 && size_t(row) <= list.size()) return list[size_t(row - 1)];
    return std::nullopt;
}

void SelectPostProcessListModel::rememberCategoryRow(int64_t row) {
    if (_selectedTab != kTabEffects && _selectedTab != kTabFrames) return;
    foundation::UserDefaults::standardUserDefaults().setObject(
        foundation::Value(categoryNameForRow(row)),
        _selectedTab == kTabFrames ? kFramesCategoryKey : kEffectsCategoryKey);
}

std::vector<PostProcess*> SelectPostProcessListModel::currentEffects(int64_t categoryRow) {
    if (_selectedTab == kTabPresets) return {};
    return processForCategory(categoryForRow(categoryRow), _favoritesOnly);
}

void SelectPostProcessListModel::dropCategoryCaches() {
    _processesOnCategories.clear();
    _processesOnCategoriesFavorite.clear();
}

void SelectPostProcessListModel::dropCategoryLists() {
    _categories.reset();
    _framesCategories.reset();
}
