#pragma once
// A thin dark scroller: a knob on a dark slot, no arrows. Its value runs from 0 at the left or
// top to 1 at the right or bottom; the knob's length is its proportion of the slot. A press
// reports the part it hit (knob, or the page before or after it) through `action`, a knob drag
// reports each new value the same way; what a page click moves is the owner's to decide.
#include <QPointer>
#include <QWidget>

class KXScroller : public QWidget {
    Q_OBJECT
  public:
    enum HitPart { kNoPart = 0, kDecrementPage = 1, kKnob = 2, kIncrementPage = 3 };
    static constexpr double kMinimumKnobLength = 16;

    explicit KXScroller(QWidget* parent = nullptr) : QWidget(parent) {}

    // Thickness for every control size and style.
    static double scrollerWidth() { return 8; }
    // Set-up of a scroller placed by an interface file: 7 points thick across.
    void awakeFromNib();

    bool isHorizontal() const { return width() > height(); }
    double doubleValue() const { return _doubleValue; }
    void setDoubleValue(double value); // clamped to [0, 1]
    double knobProportion() const { return _knobProportion; }
    void setKnobProportion(double proportion); // clamped to [0, 1]
    HitPart hitPart() const { return _hitPart; }

    // The knob's rectangle along the whole slot and across the whole thickness (y-down).
    QRectF knobRect() const;
    HitPart testPart(QPointF point) const;

    // A view behind the scroller, shown only while the scroller is disabled.
    void setBackSubview(QWidget* view);

  signals:
    void action(KXScroller* sender);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    double along(QPointF point) const { return isHorizontal() ? point.x() : point.y(); }
    double length() const { return isHorizontal() ? width() : height(); }
    void checkSpaceForParts();

    double _doubleValue = 0, _knobProportion = 0;
    HitPart _hitPart = kNoPart;
    bool _draggingKnob = false;
    double _grabOffset = 0; // where in the knob the drag took hold
    QPointer<QWidget> _backSubview;
};
