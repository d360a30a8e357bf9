// Application-shell windows: the metadata panel of a camera photograph.
#include "UiSheetRegistry.h"
#include "app/KXExifViewController.h"

#include <QDialog>
#include <QTabWidget>

namespace {

foundation::Dictionary cameraProperties(const QImage& photo) {
    using foundation::Array;
    using foundation::Dictionary;
    using foundation::Value;
    return Dictionary{
        {"PixelWidth", Value(photo.width())},
        {"PixelHeight", Value(photo.height())},
        {"Orientation", Value(1)},
        {"DPIWidth", Value(72)},
        {"DPIHeight", Value(72)},
        {"Depth", Value(8)},
        {"ColorModel", Value("RGB")},
        {"{TIFF}", Value(Dictionary{{"Make", Value("Opalene Optics")}, {"Model", Value("Model 7")}})},
        {"{Exif}", Value(Dictionary{{"DateTimeOriginal", Value("2023:05:17 14:03:21")},
                                    {"ExposureTime", Value(0.004)},
                                    {"FNumber", Value(2.8)},
                                    {"ISOSpeedRatings", Value(Array{Value(400)})},
                                    {"LensModel", Value("50mm F1.8")},
                                    {"FocalLength", Value(50)}})},
        {"{GPS}", Value(Dictionary{{"LatitudeRef", Value("N")}, {"Latitude", Value(48.8566)}})},
    };
}

// The panel is a window of its own: the sheet keeps its controller alive with the grabbed widget.
struct PanelHost : QWidget {
    std::unique_ptr<KXExifViewController> controller;
};

std::unique_ptr<QWidget> metadataPanel(const QImage& photo, int tab) {
    auto controller = std::make_unique<KXExifViewController>(cameraProperties(photo));
    controller->showEXIFInfo();
    controller->tabView()->setCurrentIndex(tab);
    QDialog* panel = controller->exifPanel();
    auto host = std::make_unique<PanelHost>();
    host->resize(panel->size());
    panel->setParent(host.get(), Qt::Widget);
    panel->move(0, 0);
    panel->show();
    host->controller = std::move(controller);
    return host;
}

} // namespace

OPALENE_UISHEET_STATE("metadata_panel_general", [](const QImage& photo) { return metadataPanel(photo, 0); });
OPALENE_UISHEET_STATE("metadata_panel_exif", [](const QImage& photo) { return metadataPanel(photo, 1); });
