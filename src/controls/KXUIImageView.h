#pragma once
// A picture that can size itself to the picture and lets a press drag its window.
#include <QImage>
#include <QWidget>
#include <optional>

class KXUIImageView : public QWidget {
  public:
    explicit KXUIImageView(QWidget* parent = nullptr) : QWidget(parent) {}

    QImage image() const { return _image; }
    void setImage(const QImage& image);
    bool imageResizesView() const { return _imageResizesView; }
    void setImageResizesView(bool on);
    // Unset means yes.
    std::optional<bool> isMouseDownCanMoveWindow() const { return _isMouseDownCanMoveWindow; }
    void setIsMouseDownCanMoveWindow(std::optional<bool> value) { _isMouseDownCanMoveWindow = value; }
    bool mouseDownCanMoveWindow() const { return _isMouseDownCanMoveWindow.value_or(true); }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    QImage _image;
    bool _imageResizesView = false;
    std::optional<bool> _isMouseDownCanMoveWindow;
};
