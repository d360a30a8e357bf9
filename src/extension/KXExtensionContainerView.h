#pragma once
// The view that receives the editor's content inside the extension. It takes the keyboard focus
// when shown in a window and hands every key press and release, modifier keys included, to the
// editor of the latest edit.
#include <QWidget>

class KXExtensionContainerView : public QWidget {
    Q_OBJECT
  public:
    explicit KXExtensionContainerView(QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    void forwardToEditor(QKeyEvent* event);
};
