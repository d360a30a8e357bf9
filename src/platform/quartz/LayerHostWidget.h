#pragma once
// A widget showing a LayerKit tree. Its root layer always covers the widget (frame (0, 0, width,
// height), y-up); the widget repaints whenever the tree changes and while animations run.
#include "platform/quartz/Layer.h"

#include <QWidget>
#include <memory>

namespace quartz {

class LayerHostWidget : public QWidget {
    Q_OBJECT
  public:
    explicit LayerHostWidget(QWidget* parent = nullptr);
    ~LayerHostWidget() override;

    // The root, its frame brought to the widget's size first (a hidden widget gets no resize events).
    Layer& layer() const;
    const std::shared_ptr<Layer>& rootLayer() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void followSize() const;

    std::shared_ptr<Layer> root_;
};

} // namespace quartz
