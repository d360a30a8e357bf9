// The settings side of PostProcess: favourite mark, saved parameter values, the thumbnail and the
// ordering and hiding settings, all keyed by the effect's display name.
#include "engine/PostProcess.h"

#include "engine/PostProcessParameter.h"
#include "engine/SortHidePostProcessSupportManager.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/imageio/ImageSource.h"

#include <memory>
#include <utility>

using foundation::NotificationCenter;
using foundation::UserDefaults;

namespace {

std::string blanksToUnderscores(std::string text) {
    for (char& c : text)
        if (c == ' ') c = '_';
    return text;
}

// Stored files hold the values under these keys: the name with every blank made "_".
std::string parameterKey(const std::string& name, const char* suffix) {
    return blanksToUnderscores(name + suffix);
}

SortHidePostProcessSupportManager& sortHide() {
    return SortHidePostProcessSupportManager::sharedSortHidePostProcessSupportManager();
}

} // namespace

void PostProcess::on_add_to_fav() {
    m_favorite = !m_favorite;
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.setBool(m_favorite, get_name() + "_fav");
    defaults.synchronize();
    NotificationCenter::defaultCenter().postNotificationName("PostProcessFavoriteStateDidChange",
                                                             self_reference());
}

void PostProcess::loadParametrs() {
    PostProcessParameter* first = param_1();
    if (!first) return;
    const UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const std::string name = get_name();
    const std::string key1 = parameterKey(name, "PostProcessParam_1");
    if (defaults.objectForKey(key1)) first->setValue(defaults.floatForKey(key1));
    PostProcessParameter* second = param_2();
    const std::string key2 = parameterKey(name, "PostProcessParam_2");
    if (second && defaults.objectForKey(key2)) second->setValue(defaults.floatForKey(key2));
}

void PostProcess::saveParametrs() {
    PostProcessParameter* first = param_1();
    if (!first) return;
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const std::string name = get_name();
    defaults.setFloat(static_cast<float>(first->value()), parameterKey(name, "PostProcessParam_1"));
    if (PostProcessParameter* second = param_2())
        defaults.setFloat(static_cast<float>(second->value()), parameterKey(name, "PostProcessParam_2"));
    defaults.synchronize();
}

void PostProcess::resetParametrs() {
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const std::string name = get_name();
    const std::pair<PostProcessParameter*, const char*> both[] = {{param_1(), "PostProcessParam_1"},
                                                                  {param_2(), "PostProcessParam_2"}};
    for (const auto& [parameter, suffix] : both) {
        if (!parameter) continue;
        defaults.removeObjectForKey(parameterKey(name, suffix));
        parameter->setValue(parameter->default_value());
    }
}

void PostProcess::on_preview_entered() {
    if (m_parametrs_is_loaded) return;
    m_parametrs_is_loaded = true;
    loadParametrs();
}

graphics::ImagePtr PostProcess::previewImage() {
    if (!has_custom_preview_file()) return _previewImage;
    const std::string path = foundation::Bundle::pathForImageResource(custom_preview_file());
    if (path.empty()) return nullptr;
    std::unique_ptr<imageio::ImageSource> source = imageio::ImageSource::createWithPath(path);
    return source ? source->createImage() : nullptr;
}

void PostProcess::setPreviewImage(graphics::ImagePtr image) {
    if (image == _previewImage || has_custom_preview_file()) return;
    _previewImage = std::move(image);
    NotificationCenter::defaultCenter().postNotificationName(PostProcessPreviewImageDidChangeNotification,
                                                             self_reference());
}

std::string PostProcess::get_preview_image_file_name() {
    return blanksToUnderscores(get_name());
}

bool PostProcess::isHidden() {
    return sortHide().isHiddenForPPName(get_name());
}
void PostProcess::setHidden(bool hidden) {
    sortHide().setHidden(hidden, get_name());
}
uint64_t PostProcess::weightInCategory() {
    return sortHide().weightInCategoryForPPName(get_name());
}
void PostProcess::setWeightInCategory(uint64_t weight) {
    sortHide().setWeightInCategory(weight, get_name());
}
uint64_t PostProcess::weight() {
    return sortHide().weightForPPName(get_name());
}
void PostProcess::setWeight(uint64_t weight) {
    sortHide().setWeight(weight, get_name());
}
