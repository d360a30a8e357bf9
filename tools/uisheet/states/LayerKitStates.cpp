// LayerKit on its own: the photo fitted in a layer with a drop shadow, a turned translucent
// layer above it and a label layer drawn by its delegate, halfway through a slow fade.
#include "UiSheetRegistry.h"
#include "platform/quartz/BasicAnimation.h"
#include "platform/quartz/Clock.h"
#include "platform/quartz/LayerDelegate.h"
#include "platform/quartz/LayerHostWidget.h"
#include "platform/quartz/Transaction.h"

#include <QPainter>

namespace {

// Draws a caption; the painter is y-up, so the text is drawn in a flipped frame.
struct Caption : quartz::LayerDelegate {
    void drawLayer(quartz::Layer& layer, QPainter& painter) override {
        const graphics::Rect b = layer.bounds();
        painter.save();
        painter.translate(0, b.maxY() + b.minY());
        painter.scale(1, -1);
        painter.setPen(Qt::white);
        QFont font("Helvetica");
        font.setPixelSize(14);
        painter.setFont(font);
        painter.drawText(QRectF(b.minX(), b.minY(), b.width(), b.height()), Qt::AlignCenter,
                         "opacity fading in");
        painter.restore();
    }
};

class DemoHost : public quartz::LayerHostWidget {
  public:
    Caption caption;
};

} // namespace

OPALENE_UISHEET_STATE("layerkit_demo", [](const QImage& photo) -> std::unique_ptr<QWidget> {
    auto host = std::make_unique<DemoHost>();
    host->resize(640, 400);
    quartz::Layer& root = host->layer();
    quartz::Transaction::begin();
    quartz::Transaction::setDisableActions(true);
    root.setBackgroundColor(QColor(38, 38, 40));

    const QSizeF fitted = QSizeF(photo.size()).scaled(QSizeF(520, 320), Qt::KeepAspectRatio);
    auto picture = std::make_shared<quartz::Layer>();
    root.addSublayer(picture);
    picture->setFrame(graphics::Rect((640 - fitted.width()) / 2, (400 - fitted.height()) / 2, fitted.width(),
                                     fitted.height()));
    picture->setContents(std::make_shared<const QImage>(photo));
    picture->setShadowOpacity(0.8);
    picture->setShadowRadius(6);
    picture->setShadowOffset(graphics::Size(5, -5));

    auto turned = std::make_shared<quartz::Layer>();
    root.addSublayer(turned);
    turned->setFrame(graphics::Rect(470, 260, 120, 80));
    turned->setBackgroundColor(QColor(255, 255, 255, 110));
    turned->setTransform(graphics::AffineTransform::makeRotation(0.3));

    auto label = std::make_shared<quartz::Layer>();
    root.addSublayer(label);
    label->setFrame(graphics::Rect(20, 20, 200, 30));
    label->setBackgroundColor(QColor(0, 0, 0, 160));
    label->setDelegate(&host->caption);
    label->setNeedsDisplay();
    quartz::Transaction::commit();

    // Begun half its duration ago, so the sheet shows it about halfway.
    quartz::BasicAnimation fade("opacity");
    fade.setFromValue(0.0);
    fade.setToValue(1.0);
    fade.setDuration(20);
    fade.setBeginTime(quartz::Clock::now() - 10);
    label->addAnimation(fade, "fade");
    return host;
});
