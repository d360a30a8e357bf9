// The editor's side panels over the photo.
#include "UiSheetRegistry.h"
#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/KXSlider.h"
#include "editor/FilterToolbarViewController.h"
#include "editor/SuperFilterToolbarViewController.h"
#include "editor/SuperFilterToolbarViewControllerDelegate.h"
#include "engine/PostProcessParameter.h"
#include "engine/effects/adjustments/PP_SuperFilter.h"

#include <QLabel>
#include <QPainter>

namespace {

// Parameters outlive the sheet's widgets.
PostProcessParameter& amount() {
    static PostProcessParameter parameter("Amount", 0, 100, 40);
    return parameter;
}
PostProcessParameter& softness() {
    static PostProcessParameter parameter("Softness", 0, 1, 0.7);
    return parameter;
}

std::unique_ptr<QWidget> toolbarOverPhoto(const QImage& photo, bool two, bool collapsed) {
    auto host = std::make_unique<QLabel>();
    host->resize(560, 300);
    host->setPixmap(QPixmap::fromImage(
        photo.scaled(host->size(), Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation)));
    auto* toolbar = new FilterToolbarViewController(host.get());
    toolbar->setParam1(&amount());
    if (two) toolbar->setParam2(&softness());
    toolbar->setTitle("Pencil Sketch");
    toolbar->updateSlidersParams();
    toolbar->validateSlidersAnimated(false);
    toolbar->move(host->width() - toolbar->width() - 12, 12);
    if (collapsed) {
        toolbar->smallSizeButton()->setState(1);
        toolbar->smallSizeClick(nullptr);
    }
    return host;
}

} // namespace

OPALENE_UISHEET_STATE("parameter_toolbar_two_sliders",
                      [](const QImage& photo) { return toolbarOverPhoto(photo, true, false); });
OPALENE_UISHEET_STATE("parameter_toolbar_one_slider",
                      [](const QImage& photo) { return toolbarOverPhoto(photo, false, false); });
OPALENE_UISHEET_STATE("parameter_toolbar_collapsed",
                      [](const QImage& photo) { return toolbarOverPhoto(photo, true, true); });

namespace {

struct PhotoForHistogram : SuperFilterToolbarViewControllerDelegate {
    graphics::ImagePtr photo;
    graphics::ImagePtr imageForHistogram() override { return photo; }
    void applyButtonDidClick(SuperFilterToolbarViewController*) override {}
    void slidersDidChange(SuperFilterToolbarViewController*) override {}
    void smallSizeClick(SuperFilterToolbarViewController*) override {}
    void cancelButtonDidClick(SuperFilterToolbarViewController*) override {}
    void drawButtonDidClick(SuperFilterToolbarViewController*) override {}
    void hideMaskButtonDidClick(SuperFilterToolbarViewController*) override {}
    void changeEnabledStateForCompareButton(bool) override {}
};

std::unique_ptr<QWidget> adjustmentsOverPhoto(const QImage& photo,
                                              SuperFilterToolbarViewController::Tab tab) {
    static PP_SuperFilter effect;
    static PhotoForHistogram delegate;
    delegate.photo = ImageAdditional::fromQImage(photo);
    auto host = std::make_unique<QLabel>();
    host->resize(640, 340);
    host->setPixmap(QPixmap::fromImage(
        photo.scaled(host->size(), Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation)));
    auto* toolbar = new SuperFilterToolbarViewController(host.get());
    std::vector<PostProcessParameter*> params;
    for (auto& p : effect.params())
        params.push_back(p.get());
    toolbar->setParams(params);
    toolbar->setDelegate(&delegate);
    toolbar->setTitle("Adjustments");
    toolbar->validateSliders();
    toolbar->restoreDefaults();
    toolbar->reloadHistogram();
    toolbar->slider(SuperFilterToolbarViewController::kContrastSlider)->setDoubleValue(1.25);
    toolbar->selectTab(tab);
    toolbar->move(host->width() - toolbar->width() - 12, 20);
    return host;
}

} // namespace

OPALENE_UISHEET_STATE("adjustments_toolbar_adjust", [](const QImage& photo) {
    return adjustmentsOverPhoto(photo, SuperFilterToolbarViewController::kAdjustTab);
});
OPALENE_UISHEET_STATE("adjustments_toolbar_levels", [](const QImage& photo) {
    return adjustmentsOverPhoto(photo, SuperFilterToolbarViewController::kLevelsTab);
});
OPALENE_UISHEET_STATE("adjustments_toolbar_sharpen", [](const QImage& photo) {
    return adjustmentsOverPhoto(photo, SuperFilterToolbarViewController::kSharpenTab);
});

#include "editor/BatchImageProcessor.h"
#include "editor/KXBatchProcessing.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"

#include <QApplication>
#include <QDir>

OPALENE_UISHEET_STATE("batch_window", [](const QImage& photo) {
    // Two copies of the photo, previewed with the catalogue's first look.
    const QString folder = QDir::temp().filePath("opalene-uisheet-batch");
    QDir().mkpath(folder);
    const QImage small = photo.scaled(480, 480, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    small.save(folder + "/first.png");
    small.mirrored(true, false).save(folder + "/second.png");
    PostProcess* effect = PostProcessesManager::sharedPostProcessesManager().postProcesses().front().get();
    auto batch = std::make_unique<KXBatchProcessing>();
    batch->setImageProcessBlock([effect](const KXBatchImageRequest& request) {
        return BatchImageProcessor::processRequest(request, effect, nullptr);
    });
    batch->addInputs({(folder + "/first.png").toStdString(), (folder + "/second.png").toStdString()});
    batch->setOutputFolder(folder.toStdString());
    return std::unique_ptr<QWidget>(std::move(batch));
});

#include "controls/KXTableView.h"
#include "editor/KXTableViewCell.h"

namespace {

// The strip with the catalogue's first looks on the photo; the first one selected.
struct LookColumns : KXTableViewDataSource {
    std::vector<KXTableViewCell*> cells;
    int64_t numberOfColumns() override { return int64_t(cells.size()); }
    int64_t widthForColumnAtIndex(int64_t) override { return KXTableViewCell::kWidth; }
    QWidget* cellForColumnAtIndex(int64_t index) override { return cells[size_t(index)]; }
};

} // namespace

OPALENE_UISHEET_STATE("effect_strip", [](const QImage& photo) {
    auto host = std::make_unique<QWidget>();
    host->resize(760, 150);
    static LookColumns columns;
    columns.cells.clear();
    PostProcessesManager& manager = PostProcessesManager::sharedPostProcessesManager();
    const graphics::ImagePtr small =
        ImageAdditional::fromQImage(photo.scaled(240, 240, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    for (size_t i = 0; i < 5 && i < manager.postProcesses().size(); ++i) {
        PostProcess* effect = manager.postProcesses()[i].get();
        PostProcess::global_clean();
        effect->setPreviewImage(manager.getProcessedImageForPostProcess(effect, small));
        columns.cells.push_back(KXTableViewCell::makeCellWithFrame(QRect(0, 0, 180, 140), effect));
    }
    QScrollArea* area = nullptr;
    KXTableView* strip = KXTableView::makeInScrollArea(host.get(), &area);
    area->setGeometry(0, 5, 760, 140);
    strip->setDataSource(&columns);
    host->show();
    QApplication::processEvents();
    strip->reloadData();
    if (!columns.cells.empty()) columns.cells.front()->setSelected(true);
    return host;
});
