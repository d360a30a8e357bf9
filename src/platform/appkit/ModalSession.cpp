#include "platform/appkit/ModalSession.h"

#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace appkit {

namespace {

struct Session {
    QPointer<QWidget> window;
    QEventLoop* loop;
    int code = ModalSession::Abort;
    bool stopped = false;
};

std::vector<Session*>& sessions() {
    static std::vector<Session*> stack;
    return stack;
}

void stop(Session& session, int code) {
    if (session.stopped) return;
    session.stopped = true;
    session.code = code;
    session.loop->exit(0);
}

// Ends the session of a window that goes away without a stop.
class WindowWatch : public QObject {
  public:
    explicit WindowWatch(Session& session) : session_(session) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == session_.window && event->type() == QEvent::Hide) stop(session_, ModalSession::Abort);
        return false;
    }

  private:
    Session& session_;
};

} // namespace

int ModalSession::runModalForWindow(QWidget* window) {
    if (!window) return Abort;
    QEventLoop loop;
    Session session{window, &loop};
    const Qt::WindowModality previous = window->windowModality();
    // Modality takes effect when a window is shown: a window already shown is shown again.
    if (window->isVisible()) window->hide();
    window->setWindowModality(Qt::ApplicationModal);
    WindowWatch watch(session);
    window->installEventFilter(&watch);
    const QMetaObject::Connection gone =
        QObject::connect(window, &QObject::destroyed, &loop, [&session] { stop(session, Abort); });
    sessions().push_back(&session);
    window->show();
    window->raise();
    window->activateWindow();
    if (!session.stopped) loop.exec(QEventLoop::DialogExec);
    sessions().erase(std::find(sessions().begin(), sessions().end(), &session));
    QObject::disconnect(gone);
    if (session.window) {
        session.window->removeEventFilter(&watch);
        // Restoring modality needs another hide and show; the window stays shown for its caller.
        if (session.window->isVisible()) {
            session.window->hide();
            session.window->setWindowModality(previous);
            session.window->show();
        } else {
            session.window->setWindowModality(previous);
        }
    }
    return session.code;
}

void ModalSession::stopModalWithCode(int code) {
    if (!sessions().empty()) stop(*sessions().back(), code);
}

QWidget* ModalSession::modalWindow() {
    return sessions().empty() ? nullptr : sessions().back()->window.data();
}

} // namespace appkit
