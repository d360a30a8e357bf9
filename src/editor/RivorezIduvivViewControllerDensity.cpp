// The engine sizes point-based drawing (frame borders, previews) by the screen density it is told.
// The programs tell it once at start; the window may open on, or move to, a screen of another
// density, so the editor tells it again whenever its window's screen changes.
#include "editor/RivorezIduvivViewController.h"

#include "platform/services/KXServiceUtils.h"

#include <QEvent>
#include <QMainWindow>
#include <QPointer>
#include <QScreen>
#include <QWindow>

namespace {

// Watches the editor window. The native window, and with it the screen signal, exists only once
// the window is shown, so the watcher connects when it appears or is re-created.
class DensityWatcher : public QObject {
 public:
  DensityWatcher(QWidget* window, QObject* parent) : QObject(parent), _window(window) {
    _window->installEventFilter(this);
    connectScreenSignal();
  }

  void update() {
    if (_window) services::KXServiceUtils::setBackingScaleFactor(_window->devicePixelRatio());
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == _window) {
      switch (event->type()) {
        case QEvent::Show:
        case QEvent::WinIdChange:
          // Also sent while the native window goes away: nothing to follow then.
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
    QWindow* handle = _window ? _window->windowHandle() : nullptr;
    if (!handle) return false;
    connect(handle, &QWindow::screenChanged, this, &DensityWatcher::update, Qt::UniqueConnection);
    return true;
  }

  QPointer<QWidget> _window;
};

}  // namespace

void RivorezIduvivViewController::trackBackingScaleFactor() {
  new DensityWatcher(_window.get(), this);
}
