#pragma once
// A panel that takes dropped images for its delegate: it offers a copy only for what the
// delegate can read, and hands the drop over only to a delegate that reads pasteboards.
#include "controls/KXImageViewDelegate.h"
#include "controls/VQView.h"

class VQDropView : public VQView {
  public:
    explicit VQDropView(QWidget* parent = nullptr);

    controls::KXImageViewDelegate* delegate() const { return _delegate; }
    void setDelegate(controls::KXImageViewDelegate* delegate) { _delegate = delegate; } // not owned

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    bool canRead(const QMimeData* data) const;
    void offerCopy(QDropEvent* event) const;

    controls::KXImageViewDelegate* _delegate = nullptr;
};
