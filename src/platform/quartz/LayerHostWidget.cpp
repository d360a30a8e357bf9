#include "platform/quartz/LayerHostWidget.h"

#include "platform/quartz/Clock.h"
#include "platform/quartz/LayerRenderer.h"

#include <QPainter>

namespace quartz {

LayerHostWidget::LayerHostWidget(QWidget* parent) : QWidget(parent), root_(std::make_shared<Layer>()) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    root_->setName("host");
    root_->setFrame(graphics::Rect(0, 0, width(), height()));
    root_->setChangeObserver([this] { update(); });
}

LayerHostWidget::~LayerHostWidget() {
    root_->setChangeObserver(nullptr);
}

Layer& LayerHostWidget::layer() const {
    followSize();
    return *root_;
}

const std::shared_ptr<Layer>& LayerHostWidget::rootLayer() const {
    followSize();
    return root_;
}

void LayerHostWidget::followSize() const {
    // The root has no superlayer, so this never animates.
    const graphics::Rect frame(0, 0, width(), height());
    if (root_->frame() != frame || root_->frame().origin != frame.origin) root_->setFrame(frame);
}

void LayerHostWidget::paintEvent(QPaintEvent*) {
    followSize();
    QPainter painter(this);
    LayerRenderer::render(painter, *root_, height(), Clock::now());
}

void LayerHostWidget::resizeEvent(QResizeEvent* event) {
    followSize();
    QWidget::resizeEvent(event);
}

} // namespace quartz
