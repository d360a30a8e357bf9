// The image view on the photo: fitted with its drop shadow, and an effect's preview (here the
// photo in grey) halfway through fading in over it.
#include "UiSheetRegistry.h"
#include "controls/ImageAdditional.h"
#include "imageview/KXImageView.h"

#include <QApplication>
#include <QElapsedTimer>

namespace {

std::unique_ptr<KXImageView> viewOnPhoto(const QImage& photo) {
    auto view = std::make_unique<KXImageView>();
    view->resize(900, 600);
    view->setAutoFillBackground(true);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Window, QColor(38, 38, 40));
    view->setPalette(palette);
    view->setImage(ImageAdditional::fromQImage(photo), true);
    return view;
}

} // namespace

OPALENE_UISHEET_STATE("image_view_photo",
                      [](const QImage& photo) -> std::unique_ptr<QWidget> { return viewOnPhoto(photo); });

OPALENE_UISHEET_STATE(
    "image_view_preview_mid_fade",
    [](const QImage& photo) -> std::unique_ptr<QWidget> {
        auto view = viewOnPhoto(photo);
        view->setPreviewImage(ImageAdditional::fromQImage(photo.convertToFormat(QImage::Format_Grayscale8)));
        return view;
    },
    [](QWidget&) {
        // The fade lasts half a second from the next pass of the event loop: stop near its middle.
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 190)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    });

OPALENE_UISHEET_STATE(
    "image_view_compare",
    [](const QImage& photo) -> std::unique_ptr<QWidget> {
        auto view = viewOnPhoto(photo);
        view->setPreviewImage(ImageAdditional::fromQImage(photo.convertToFormat(QImage::Format_Grayscale8)));
        return view;
    },
    [](QWidget& widget) {
        auto& view = static_cast<KXImageView&>(widget);
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 600)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        view.enterCompareMode();
        timer.restart();
        while (timer.elapsed() < 400)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    });

// The crop tool: the frame over the photo with its grid, centre mark and handles; with the "3:2"
// proportion, a 10-degree straighten, and a pending horizontal flip.
namespace {

std::unique_ptr<KXImageView> viewWithCrop(const QImage& photo) {
    auto view = viewOnPhoto(photo);
    view->setCropToolOn(true);
    return view;
}

} // namespace

OPALENE_UISHEET_STATE("image_view_crop_proportions", [](const QImage& photo) -> std::unique_ptr<QWidget> {
    auto view = viewWithCrop(photo);
    view->setProportionsConstrain(3);
    return view;
});

OPALENE_UISHEET_STATE("image_view_crop_straighten_10", [](const QImage& photo) -> std::unique_ptr<QWidget> {
    auto view = viewWithCrop(photo);
    view->rotateImageForCropToAngle(10);
    return view;
});

OPALENE_UISHEET_STATE("image_view_crop_flipped", [](const QImage& photo) -> std::unique_ptr<QWidget> {
    auto view = viewWithCrop(photo);
    view->flipHorizontalAnimated(false);
    return view;
});
