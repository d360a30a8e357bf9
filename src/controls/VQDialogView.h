#pragma once
// The dialog's overlay as its interface file has it: a backdrop over the whole host that swallows
// the mouse, holding the skinned centre panel (420 x 245 until the dialog sizes it). Escape and
// Return pressed anywhere inside reach the dialog. The panel's first width places the edit
// style's buttons, so that they fit its 500-point panel.
#include "controls/VQView.h"

#include <functional>

class VQDialogView : public QWidget {
  public:
    static constexpr int kCenterWidth = 420, kCenterHeight = 245;

    explicit VQDialogView(QWidget* parent = nullptr);

    QColor backgroundColor() const { return _backgroundColor; }
    void setBackgroundColor(const QColor& colour);
    VQView* dialogCenterView() const { return _dialogCenterView; }

    // Called with the key (Escape, Return or Enter); answers whether it was taken.
    std::function<bool(int key)> keyEquivalent;

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QColor _backgroundColor = Qt::transparent;
    VQView* _dialogCenterView;
};
