#pragma once
// The twelve-spoke spinner at a given phase. Its owner advances the phase and switches it on and
// off; the spinner itself keeps no timer. The spokes are computed apart from the painting so
// their geometry can be checked.
#include <QColor>
#include <QLineF>
#include <QRectF>
#include <QVariant>
#include <QWidget>
#include <vector>

class AMIndeterminateProgressIndicatorCell : public QWidget {
  public:
    explicit AMIndeterminateProgressIndicatorCell(QWidget* parent = nullptr) : QWidget(parent) {}

    double doubleValue() const { return _doubleValue; }
    void setDoubleValue(double value); // clamped to [0, 1]
    double animationDelay() const { return _animationDelay; }
    void setAnimationDelay(double seconds) { _animationDelay = seconds; }
    bool isDisplayedWhenStopped() const { return _displayedWhenStopped; }
    void setDisplayedWhenStopped(bool on);
    bool isSpinning() const { return _spinning; }
    void setSpinning(bool on);
    // True only for a value that reads as a boolean true, so a list bound to numbers switches
    // spinners per row.
    void setObjectValue(const QVariant& value);
    QColor color() const { return _color; }
    void setColor(const QColor& colour);

    struct Spoke {
        QLineF line; // inner to outer end, in the frame's coordinates
        double alpha;
    };
    struct Spokes {
        std::vector<Spoke> spokes; // empty when nothing is drawn
        double lineWidth = 0;
    };
    // The spokes for a frame. `flipped` says the frame's y grows downwards; the tail then turns the
    // other way in numbers so that it looks the same on screen.
    Spokes spokesInFrame(const QRectF& frame, bool flipped) const;
    // Paints into a y-down painter as the spinner looks in a y-up view.
    void drawInteriorWithFrame(QPainter& painter, const QRectF& frame) const;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    double _doubleValue = 0, _animationDelay = 1.0 / 12;
    bool _displayedWhenStopped = true, _spinning = false;
    QColor _color = Qt::white;
    float _red = 1, _green = 1, _blue = 1; // the colour's components as the drawing uses them
};
