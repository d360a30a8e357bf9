#pragma once
// One handle of a DSSUISlider: shows its image centred, or a plain marker when it has none.
#include <QImage>
#include <QWidget>

class DSSUISliderButtonView : public QWidget {
    Q_OBJECT
  public:
    explicit DSSUISliderButtonView(QWidget* parent = nullptr) : QWidget(parent) {}
    void setImage(const QImage& image);
    const QImage& image() const { return _image; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QImage _image;
};
