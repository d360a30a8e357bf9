// The effect browser under the photo: each tab, a chosen category, an empty search, empty lists.
#include "UiSheetRegistry.h"
#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/VQDialog.h"
#include "controls/VQTextView.h"
#include "editor/SelectPostProcessViewController.h"
#include "editor/SelectPostProcessViewControllerOwner.h"
#include "engine/CustomPreset.h"
#include "engine/CustomPresetsManager.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "platform/foundation/UserDefaults.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace {

struct SheetOwner : SelectPostProcessViewControllerOwner {
    graphics::ImagePtr picture;
    graphics::ImagePtr image() const override { return picture; }
    void validateUndoRedoButtonsState() override {}
    void newTabSelected(int32_t) override {}
    void setTool(int32_t) override {}
    PostProcess* currentFrameEffect() const override { return nullptr; }
    void selectPostProcess(PostProcess*) override {}
    void selectPreset(std::shared_ptr<CustomPreset>) override {}
    void showEffectsSidebar() override {}
    void frameButtonClick() override {}
    bool imageViewIsDisabled() const override { return false; }
    void clearPreviewImage() override {}
    void forceCustomCursorSet() override {}
    void stopEffectCenterProgress() override {}
    void startEffectCenterProgress() override {}
    void slidersDidChange() override {}
    void setImageViewBottomMargin(double) override {}
    void zoomImageViewToFit(bool) override {}
};

void click(QWidget* widget) {
    const QPointF at = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

// Thumbnails of the columns in view, made here at once rather than by the manager's worker.
void thumbnailsInView(SelectPostProcessViewController& browser, const graphics::ImagePtr& small) {
    PostProcessesManager& manager = PostProcessesManager::sharedPostProcessesManager();
    const int64_t count = std::min<int64_t>(browser.numberOfColumns(), 6);
    for (int64_t i = 0; i < count; ++i) {
        auto* cell = static_cast<KXTableViewCell*>(browser.cellForColumnAtIndex(i));
        if (PostProcess* effect = cell->postProcess(); effect && !effect->previewImage()) {
            PostProcess::global_clean();
            effect->setPreviewImage(manager.getProcessedImageForPostProcess(effect, small));
        } else if (const auto& preset = cell->customPreset(); preset && !preset->previewImage()) {
            PostProcess::global_clean();
            preset->setPreviewImage(manager.getProcessedImageForPreset(preset, small));
        }
    }
}

// `act` drives the browser by its controls once it is on screen.
std::unique_ptr<QWidget> browserUnderPhoto(const QImage& photo,
                                           std::function<void(SelectPostProcessViewController&)> act) {
    static SheetOwner owner;
    // Every state starts on the whole list, whatever an earlier state chose.
    for (const char* key :
         {"k_Categories_Popover_Selected_Cell_Key", "kCategoriesPopoverSelectedCellFramesKey"})
        foundation::UserDefaults::standardUserDefaults().removeObjectForKey(key);
    const graphics::ImagePtr small =
        ImageAdditional::fromQImage(photo.scaled(240, 240, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    owner.picture = small;
    PostProcessesManager& manager = PostProcessesManager::sharedPostProcessesManager();
    manager.setOriginalImage(small);
    manager.setGeneratingOn(false);

    auto host = std::make_unique<QWidget>();
    const int width = 960, photoHeight = 260;
    host->resize(width, photoHeight + SelectPostProcessViewController::kPanelHeight);
    auto* picture = new QLabel(host.get());
    picture->setGeometry(0, 0, width, photoHeight);
    picture->setAlignment(Qt::AlignCenter);
    picture->setStyleSheet("background: rgb(24, 24, 26);");
    picture->setPixmap(
        QPixmap::fromImage(photo.scaled(width, photoHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    auto* browser = new SelectPostProcessViewController(host.get());
    browser->setGeometry(0, photoHeight, width, SelectPostProcessViewController::kPanelHeight);
    browser->setOwner(&owner);
    host->show();
    QApplication::processEvents();
    browser->reloadEffectsTableView();
    act(*browser);
    thumbnailsInView(*browser, small);
    browser->reloadEffectsTableView();
    return host;
}

void type(QWidget* field, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
    }
}

// The Presets tab with two presets, and one applied look unless `nothingApplied`.
void presetsTab(SelectPostProcessViewController& b, bool nothingApplied = false) {
    auto& presets = CustomPresetsManager::sharedCustomPresetsManager();
    if (presets.presets().empty()) {
        presets.addPreset(std::make_shared<CustomPreset>(std::vector<EffectRecord>{}, "Warm Morning"));
        presets.addPreset(std::make_shared<CustomPreset>(std::vector<EffectRecord>{}, "Cold Night"));
    }
    EffectRecord look;
    look[CustomPresetEffectNameKey] = foundation::Value(std::string("Cool Blue"));
    presets.setCurrentPostProcessesAndPresetsArray(
        nothingApplied ? nullptr
                       : std::make_shared<CustomPresetsManager::Stack>(CustomPresetsManager::Stack{look}));
    click(b.tabButtonPresets());
}

// The scroll shadows fade in over a quarter of a second.
void waitForFades(QWidget&) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 400)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

OPALENE_UISHEET_STATE(
    "browser_effects_tab",
    [](const QImage& photo) { return browserUnderPhoto(photo, [](SelectPostProcessViewController&) {}); },
    waitForFades);
OPALENE_UISHEET_STATE(
    "browser_frames_tab",
    [](const QImage& photo) {
        return browserUnderPhoto(photo,
                                 [](SelectPostProcessViewController& b) { click(b.tabButtonFrames()); });
    },
    waitForFades);
OPALENE_UISHEET_STATE(
    "browser_presets_tab",
    [](const QImage& photo) {
        return browserUnderPhoto(photo, [](SelectPostProcessViewController& b) {
            auto& presets = CustomPresetsManager::sharedCustomPresetsManager();
            if (presets.presets().empty()) {
                presets.addPreset(
                    std::make_shared<CustomPreset>(std::vector<EffectRecord>{}, "Warm Morning"));
                presets.addPreset(std::make_shared<CustomPreset>(std::vector<EffectRecord>{}, "Cold Night"));
            }
            click(b.tabButtonPresets());
        });
    },
    waitForFades);
OPALENE_UISHEET_STATE(
    "browser_category_chosen",
    [](const QImage& photo) {
        return browserUnderPhoto(
            photo, [](SelectPostProcessViewController& b) { b.didSelectCellAtIndex(nullptr, 2); });
    },
    waitForFades);
OPALENE_UISHEET_STATE(
    "browser_search_no_match",
    [](const QImage& photo) {
        return browserUnderPhoto(photo,
                                 [](SelectPostProcessViewController& b) { type(b.searchField(), "zzqx"); });
    },
    waitForFades);
OPALENE_UISHEET_STATE(
    "browser_favorites_none",
    [](const QImage& photo) {
        return browserUnderPhoto(photo,
                                 [](SelectPostProcessViewController& b) { click(b.favoritesCheckBox()); });
    },
    waitForFades);
OPALENE_UISHEET_STATE(
    "browser_effect_selected",
    [](const QImage& photo) {
        return browserUnderPhoto(photo,
                                 [](SelectPostProcessViewController& b) { b.selectEffectIndex(1, false); });
    },
    waitForFades);
OPALENE_UISHEET_STATE(
    "browser_preset_add_dialog",
    [](const QImage& photo) {
        return browserUnderPhoto(photo, [](SelectPostProcessViewController& b) {
            presetsTab(b);
            click(b.addPresetButton());
        });
    },
    waitForFades);
OPALENE_UISHEET_STATE(
    "browser_preset_add_name_exists",
    [](const QImage& photo) {
        return browserUnderPhoto(photo, [](SelectPostProcessViewController& b) {
            presetsTab(b);
            click(b.addPresetButton());
            b.presetNameTextField()->setText("Cold Night");
            b.currentDialog()->okButtonClick();
        });
    },
    waitForFades);
OPALENE_UISHEET_STATE(
    "browser_preset_rename_dialog",
    [](const QImage& photo) {
        return browserUnderPhoto(photo, [](SelectPostProcessViewController& b) {
            presetsTab(b);
            b.editButtonClickInTableViewCell(static_cast<KXTableViewCell*>(b.cellForColumnAtIndex(0)));
        });
    },
    waitForFades);
OPALENE_UISHEET_STATE(
    "browser_preset_delete_question",
    [](const QImage& photo) {
        return browserUnderPhoto(photo, [](SelectPostProcessViewController& b) {
            presetsTab(b);
            b.deleteButtonClickInTableViewCell(static_cast<KXTableViewCell*>(b.cellForColumnAtIndex(1)));
        });
    },
    waitForFades);
OPALENE_UISHEET_STATE(
    "browser_preset_cannot_add",
    [](const QImage& photo) {
        return browserUnderPhoto(photo, [](SelectPostProcessViewController& b) {
            presetsTab(b, true);
            click(b.addPresetButton());
        });
    },
    waitForFades);
