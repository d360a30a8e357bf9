#pragma once
// The levels control: the photo's histogram in a rounded frame with three handles, 0 the black
// point, 1 the white point and 2 the gamma, resting at 5, 294 and midway between them.
#include "editor/DSSUISlider.h"

class HistogramView;

class HistogramSlider : public DSSUISlider {
    Q_OBJECT
  public:
    // `frame` is y-up in `parent`.
    explicit HistogramSlider(const QRectF& frame, QWidget* parent = nullptr);

    void setValue(double position, uint64_t index, bool animated) override;
    void refresh() {}

    HistogramView* histogram_view() const { return m_histogram_view; }
    bool isInitialized() const { return m_is_initialized; }

    // The rounded white frame, w x h points at the given density.
    static QImage get_background_image_of_size(QSizeF size, qreal devicePixelRatio = 1);
    // The skin "levels_slider" whatever the size.
    static QImage get_button_image_of_size(QSizeF size);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    HistogramView* m_histogram_view = nullptr;
    QImage _frameImage;
    bool m_is_initialized = false;
};
