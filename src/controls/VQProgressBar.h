#pragma once
// A determinate progress bar: a warm gradient that grows in from the left, its right end always
// the deep end of the gradient.
#include <QPixmap>
#include <QWidget>

class VQProgressBar : public QWidget {
  public:
    explicit VQProgressBar(QWidget* parent = nullptr) : QWidget(parent) {}

    double minValue() const { return _minValue; }
    void setMinValue(double value) { _minValue = value; }
    double maxValue() const { return _maxValue; }
    void setMaxValue(double value) { _maxValue = value; }
    double doubleValue() const { return _doubleValue; }
    void setDoubleValue(double value);

    // Points filled for the current value in a bar `width` wide; 0 draws nothing. A range smaller
    // than the span (an empty range included) fills the whole bar.
    double filledWidth(double width) const;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    double _minValue = 0, _maxValue = 100, _doubleValue = 0;
    QPixmap _gradient; // made once per size
};
