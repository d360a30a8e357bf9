#pragma once
// The popover list's scroll view: a thin border, a 10-point header strip and rounded corners;
// the wheel does not scroll it.
#include <QScrollArea>

class VQPopoverScrollView : public QScrollArea {
  public:
    static constexpr int kHeaderHeight = 10;
    explicit VQPopoverScrollView(QWidget* parent = nullptr);

  protected:
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QWidget* _header;
};
