#pragma once
// A soft shadow over its area: every edge darkened with black at 25 % fading to clear 70 % of the
// way across, the centre left clear.
#include <QWidget>

class KXBackgroundGradientView : public QWidget {
  public:
    explicit KXBackgroundGradientView(QWidget* parent = nullptr) : QWidget(parent) {}

  protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override { update(); }
};
