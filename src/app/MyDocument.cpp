#include "app/MyDocument.h"

#include "app/ExportController.h"
#include "app/KXExportOptionsView.h"
#include "controls/ImageAdditional.h"
#include "editor/RivorezIduvivViewController.h"
#include "engine/CustomPresetsManager.h"
#include "platform/foundation/UndoManager.h"
#include "platform/services/KXSLocalization.h"

#include <QFileDialog>
#include <QImage>
#include <QMainWindow>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

MyDocument::MyDocument() : _undoManager(std::make_unique<foundation::UndoManager>()) {}

MyDocument::~MyDocument() {
    auto& presets = CustomPresetsManager::sharedCustomPresetsManager();
    if (presets.undoManager() == _undoManager.get()) presets.setUndoManager(nullptr);
    _rivorezIduvivViewController.reset();
}

RivorezIduvivViewController* MyDocument::rivorezIduvivViewController() {
    if (!_rivorezIduvivViewController) {
        _rivorezIduvivViewController = std::make_unique<RivorezIduvivViewController>(_undoManager.get());
        CustomPresetsManager::sharedCustomPresetsManager().setUndoManager(_undoManager.get());
        _rivorezIduvivViewController->photoLibraryExport =
            [](const std::string& applicationId, const graphics::ImagePtr& image,
               const foundation::Dictionary& properties, std::string* errorText) {
                ExportController controller(image, properties);
                return applicationId == "com.apple.Aperture" ? controller.exportToAperture(errorText)
                                                             : controller.exportToIPhoto(errorText);
            };
        _rivorezIduvivViewController->saveOptionsAccessory =
            [](QFileDialog& panel, const foundation::Dictionary& metadata, const std::string& type) {
                // The panel owns the view from here and deletes it with itself.
                QPointer<KXExportOptionsView> options =
                    KXExportOptionsView::exportOptionsViewWithMetadata(metadata, type, 0).release();
                options->setShowsDepthsSelection(false);
                options->addViewToSavePanel(panel);
                return [options]() -> RivorezIduvivViewController::SaveOptions {
                    if (!options) return {};
                    return {options->type(), options->imageProperties()};
                };
            };
    }
    return _rivorezIduvivViewController.get();
}

void MyDocument::showWindows() {
    QMainWindow* window = rivorezIduvivViewController()->window();
    window->show();
    window->raise();
    window->activateWindow();
}

bool MyDocument::validateUserInterfaceItem() const {
    return _rivorezIduvivViewController && _rivorezIduvivViewController->image() != nullptr;
}

double MyDocument::printMargin(QSizeF paper, QRectF imageable) {
    const double left = imageable.x(), bottom = imageable.y();
    const double right = paper.width() - imageable.x() - imageable.width();
    const double top = paper.height() - imageable.y() - imageable.height();
    return std::max({left, bottom, right, top});
}

bool MyDocument::printImage(const QImage& image, QPrinter& printer) {
    if (image.isNull()) return false;
    const QSizeF paper = printer.pageLayout().fullRectPoints().size();
    const QRectF printable = printer.pageLayout().paintRectPoints();
    // The printable rectangle comes y-down; the margin is the same whichever way it is measured.
    const double margin = printMargin(paper, QRectF(printable.x(), paper.height() - printable.bottom(),
                                                    printable.width(), printable.height()));
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRectF page = printer.pageLayout().fullRectPixels(printer.resolution());
    const double scalePoints = page.width() / std::max(1.0, paper.width());
    const QRectF area = page.adjusted(margin * scalePoints, margin * scalePoints, -margin * scalePoints,
                                      -margin * scalePoints);
    const QSizeF fitted = ImageAdditional::scaledSizeToFit(QSizeF(image.size()), area.size());
    const QRectF target(area.center().x() - fitted.width() / 2, area.center().y() - fitted.height() / 2,
                        fitted.width(), fitted.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image);
    return painter.end();
}

bool MyDocument::printOperationWithSettings(std::string* error) {
    const QImage image = _rivorezIduvivViewController
                             ? ImageAdditional::toQImage(_rivorezIduvivViewController->image())
                             : QImage();
    if (image.isNull()) {
        if (error) *error = services::KXSLocalization::localizedStringForKey("Print error", "Print error");
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(image.width() > image.height() ? QPageLayout::Landscape
                                                              : QPageLayout::Portrait);
    QPrintDialog dialog(&printer, _rivorezIduvivViewController->window());
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() != QDialog::Accepted) return true;
    return printImage(image, printer);
}
