// The engine sizes point-based drawing (frame borders, previews) by the screen density it is told.
// The programs tell it once at start; the window may open on, or move to, a screen of another
// density, so the editor tells it again whenever the screen under its content changes.
#include "editor/RivorezIduvivViewController.h"

#include "platform/services/KXServiceUtils.h"

#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

// Watches the editor's content view, which the extension moves into its host's window: the
// density is that of whichever window shows it. A native window, and with it the screen signal,
// exists only once that window is shown, so the watcher connects when the content appears or
// changes window.
class DensityWatcher : public QObject {
  public:
    DensityWatcher(QWidget* content, QObject* parent) : QObject(parent), _content(content) {
        _content->installEventFilter(this);
        connectScreenSignal();
    }

    void update() {
        if (_content) services::KXServiceUtils::setBackingScaleFactor(_content->devicePixelRatio());
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == _content) {
            switch (event->type()) {
            case QEvent::Show:
            case QEvent::ParentChange:
                // A content view not (yet) in a shown window has no screen to follow.
                if (connectScreenSignal()) update();
                break;
            case QEvent::ScreenChangeInternal:
                update();
                break;
            default:
                break;
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool connectScreenSignal() {
        QWindow* handle = _content ? _content->window()->windowHandle() : nullptr;
        if (!handle) return false;
        connect(handle, &QWindow::screenChanged, this, &DensityWatcher::update, Qt::UniqueConnection);
        return true;
    }

    QPointer<QWidget> _content;
};

} // namespace

void RivorezIduvivViewController::trackBackingScaleFactor() {
    new DensityWatcher(_contentView, this);
}
