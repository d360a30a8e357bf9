#pragma once
// The slider of the parameter and brush toolbars: a full-width bar whose colour fill runs from
// the left end to the knob, no plus, minus or value box; the value is written into a caption the
// owner supplies.
#include "controls/KXSlider.h"

class KXJRVSlider : public KXSlider {
    Q_OBJECT
  public:
    explicit KXJRVSlider(QWidget* parent = nullptr) : KXSlider(parent) {}

    void validateSlider() override;
    QLabel* jrvValueLabel() const { return _jrvValueLabel; }
    void setJrvValueLabel(QLabel* label) { _jrvValueLabel = label; }

    // The fill's frame and the bar's right part, following the knob (Qt coordinates).
    QRectF fillFrame() const;
    QRectF rightPartFrame() const;

  protected:
    void validateValueLabel() override;
    QString knobImageName(bool) const override { return "jrv_adjuster_tumb"; }
    void paintBar(QPainter& painter) override;

  private:
    QPointer<QLabel> _jrvValueLabel;
};
