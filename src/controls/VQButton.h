#pragma once
// A minimal momentary button: pressed while the mouse is down on it; dragging out of it releases
// it without a click. It draws its picture, and the pressed picture while pressed.
#include <QAbstractButton>
#include <QImage>

class VQButton : public QAbstractButton {
    Q_OBJECT
  public:
    explicit VQButton(QWidget* parent = nullptr) : QAbstractButton(parent) {}
    int state() const { return isDown() ? 1 : 0; }
    void setImage(const QImage& image) {
        _image = image;
        update();
    }
    void setPressedImage(const QImage& image) {
        _pressedImage = image;
        update();
    }
    QImage image() const { return _image; }
    QImage pressedImage() const { return _pressedImage; }

  protected:
    void paintEvent(QPaintEvent*) override;
    void leaveEvent(QEvent* event) override;
    // Once released by leaving, the press stays over until the mouse goes up.
    bool hitButton(const QPoint& pos) const override {
        return !_releasedByLeaving && QAbstractButton::hitButton(pos);
    }
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override {
        _releasedByLeaving = false;
        QAbstractButton::mousePressEvent(event);
    }

  private:
    QImage _image, _pressedImage;
    bool _releasedByLeaving = false;
};
