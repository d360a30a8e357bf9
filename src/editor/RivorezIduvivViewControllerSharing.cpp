// Sharing the working image: the File menu's open-in and share items and the share popover, all
// fed by one prepare block that applies a chosen look first and then writes a temporary TIFF.
#include "editor/RivorezIduvivViewController.h"

#include "controls/KXButton.h"
#include "controls/KXShareViewController.h"
#include "platform/appkit/Alert.h"
#include "platform/imageio/ImageDestination.h"
#include "platform/services/KXSLocalization.h"
#include "platform/services/KXSPluginModeManager.h"
#include "platform/services/KXStatistics.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr int kFileMenuTag = 5;
constexpr int kExportItemTag = 10;
constexpr int kShareItemTag = 9;

std::string localized(const char* key) {
    return services::KXSLocalization::localizedStringForKey(key, "");
}

QAction* itemWithTag(const QList<QAction*>& items, int tag) {
    for (QAction* item : items)
        if (item->data().toLongLong() == tag) return item;
    return nullptr;
}

void insertItem(QMenu* menu, QAction* item, int index, int tag) {
    item->setParent(menu);
    item->setData(QVariant::fromValue<qint64>(tag));
    menu->insertAction(menu->actions().value(index, nullptr), item);
}

} // namespace

QMenu* RivorezIduvivViewController::fileMenu() const {
    auto* bar = qobject_cast<QMenuBar*>(_window->menuWidget());
    QAction* item = bar ? itemWithTag(bar->actions(), kFileMenuTag) : nullptr;
    return item ? item->menu() : nullptr;
}

KXShareManager::PrepareBlock RivorezIduvivViewController::sharePrepareBlock() {
    return [guard = QPointer<QObject>(this), this](KXShareManager::CompletionHandler handler) {
        if (!guard || !canShare()) return;
        if (needApplyCurrentPostProcessOrPreset()) {
            _continueShareCompletionHandler = std::move(handler);
            _continueAfterApplyingSelector = [this] { continueCompletionHandler(nullptr); };
            generateImageForSelectedPostProcessOrPreset();
        } else {
            _continueShareCompletionHandler = nullptr;
            continueCompletionHandler(std::move(handler));
        }
    };
}

// The online upload services are not offered: they need accounts, keys and a network.
void RivorezIduvivViewController::createSharingMenu() {
    KXShareManager::PrepareBlock prepare = sharePrepareBlock();
    KXShareManager::ValidationHandler validation = [] { return true; };
    const bool pluginMode = services::KXSPluginModeManager::sharedManager().isPluginMode();
    if (QMenu* menu = fileMenu()) {
        // The items go in once per menu: a later build only hands them the new prepare block.
        if (QAction* exportItem = itemWithTag(menu->actions(), kExportItemTag))
            KXShareManager::configurePrepareImagesHandlerForExportItems(prepare, exportItem);
        else
            insertItem(menu, KXShareManager::exportMenuItemWithAsyncPrepareBlock(prepare, validation, 3), 5,
                       kExportItemTag);
        if (!pluginMode) {
            if (QAction* shareItem = itemWithTag(menu->actions(), kShareItemTag))
                KXShareManager::configurePrepareImagesHandlerForShareItems(prepare, shareItem);
            else
                insertItem(menu, KXShareManager::shareMenuItemWithAsyncPrepareBlock(prepare, validation), 6,
                           kShareItemTag);
        }
    }
    shareViewController()->setPrepareImagesHandler(prepare);
}

void RivorezIduvivViewController::continueCompletionHandler(KXShareManager::CompletionHandler handler) {
    KXShareManager::CompletionHandler target =
        _continueShareCompletionHandler ? std::move(_continueShareCompletionHandler) : std::move(handler);
    _continueShareCompletionHandler = nullptr;
    // Named after the photo's file, which is kept in full screen too (the title is not).
    std::string base = fs::path(_representedFilename).filename().stem().string();
    if (base.empty()) base = "Untitled";
    std::error_code ec;
    fs::path folder = fs::temp_directory_path(ec);
    if (ec) folder = "/tmp";
    const std::string path = (folder / (base + "_edit.tiff")).string();
    // A failed write hands on nothing: an older file of that name is not this picture.
    const bool written = saveImage(_image, path, "public.tiff", {});
    if (target) target(written ? std::vector<std::string>{path} : std::vector<std::string>{});
}

bool RivorezIduvivViewController::saveImage(const graphics::ImagePtr& image, const std::string& path,
                                            const std::string& type,
                                            const foundation::Dictionary& properties) {
    if (!image) return false;
    std::unique_ptr<imageio::ImageDestination> destination =
        imageio::ImageDestination::createWithPath(path, type);
    bool written = false;
    if (destination) {
        destination->addImage(image, properties);
        written = destination->finalize();
    }
    if (written) {
        services::KXStatistics::imageWasSaved();
        return true;
    }
    appkit::Alert::alertWithMessageText(localized("Image cannot be saved"), localized("OK"), "", "", "")
        .beginSheetModalForWindow(_window.get(), [](int) {});
    return false;
}

KXShareViewController* RivorezIduvivViewController::shareViewController() {
    if (!_shareViewController) {
        _shareViewController = std::make_unique<KXShareViewController>();
        _shareViewController->setExportToImageCallback([guard = QPointer<QObject>(this), this] {
            if (guard) saveImage();
        });
        _shareViewController->setCloseHandler([guard = QPointer<QObject>(this), this] {
            if (guard) _shareButton->setState(0);
        });
        _shareViewController->setPopoverPosition(KXShareViewController::kBelowLeft);
        _shareViewController->setPositionShiftX(35.0);
        _shareViewController->setPositionShiftY(-10.0);
        // Usable before the menus are built; building them hands it the same block again.
        _shareViewController->setPrepareImagesHandler(sharePrepareBlock());
    }
    return _shareViewController.get();
}
