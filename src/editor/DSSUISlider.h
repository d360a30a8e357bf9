#pragma once
// A slider with several draggable handles. Positions are in points from the slider's left edge
// (0-300 while dragging); a handle's value is its position times 0.85 in single precision, so 300
// points read 255. Frames are y-up, as everywhere in the interface's models.
#include "editor/DSSUISliderDelegate.h"

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <limits>
#include <vector>

class DSSUISlider : public QWidget {
    Q_OBJECT
  public:
    static constexpr uint64_t kNoButton = uint64_t(std::numeric_limits<int64_t>::max());

    DSSUISlider(const QRectF& frame, uint64_t numButtons, QSizeF buttonSize, double rangeMin, double rangeMax,
                double xPosMin, double xPosMax, QWidget* parent = nullptr);

    virtual void setValue(double position, uint64_t index, bool animated);
    // 0 for an index the slider does not hold.
    double valueForButtonWithIndex(uint64_t index) const;

    const QImage& background_image() const { return _backgroundImage; }
    void setBackground_image(const QImage& image);
    const QImage& button_image() const { return _buttonImage; }
    void setButton_image(const QImage& image);

    QWidget* thirdSlider() const { return _thirdSlider; }
    void setThirdSlider(QWidget* view) { _thirdSlider = view; }

    DSSUISliderDelegate* delegate() const { return m_delegate; }
    void setDelegate(DSSUISliderDelegate* delegate) { m_delegate = delegate; }

    double range_min() const { return _rangeMin; }
    double range_max() const { return _rangeMax; }
    double xPosMin() const { return _xPosMin; }
    double xPosMax() const { return _xPosMax; }
    uint64_t draggedButtonIndex() const { return _draggedButtonIndex; }
    const std::vector<QWidget*>& buttons() const { return _buttonsArray; }

    // Mouse handling in the slider's own y-up coordinates; the Qt events below call these.
    virtual void mouseDown(QPointF point);
    void mouseDragged(QPointF point);
    void mouseUp();
    void drag_end();
    void touchesCanceled() { drag_end(); }

    // The model frame of a child view, y-up in this slider.
    QRectF frameOfView(const QWidget* view) const;
    void setFrameOriginOfView(QWidget* view, QPointF origin);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    float storedPosition(uint64_t index) const;
    QPointF toModel(QPointF qtPoint) const;

    std::vector<QWidget*> _buttonsArray;
    std::vector<float> _buttonsValues;
    QWidget* _thirdSlider = nullptr;
    QImage _backgroundImage;
    QImage _buttonImage;
    double _rangeMin, _rangeMax, _xPosMin, _xPosMax;
    uint64_t _draggedButtonIndex = kNoButton;
    DSSUISliderDelegate* m_delegate = nullptr;
    QPointF _previousTouchedPosition, originalOrigin, _touchedPosition;
    bool _readyToSendEvent = false;
    bool _mouseDragged = false;
};
