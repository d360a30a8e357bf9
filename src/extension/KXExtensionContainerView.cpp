#include "extension/KXExtensionContainerView.h"

#include "editor/RivorezIduvivViewController.h"
#include "extension/PhotoEditingViewController.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QVBoxLayout>

KXExtensionContainerView::KXExtensionContainerView(QWidget* parent) : QWidget(parent) {
    setObjectName("containerView");
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

void KXExtensionContainerView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (window()) setFocus(Qt::OtherFocusReason);
}

void KXExtensionContainerView::keyPressEvent(QKeyEvent* event) {
    forwardToEditor(event);
}

void KXExtensionContainerView::keyReleaseEvent(QKeyEvent* event) {
    forwardToEditor(event);
}

// The editor reads its keys at its own window, which stays hidden in the extension: the event is
// handed there. Qt has no separate modifier message, so Shift, Control, Alt and Meta go the same way.
void KXExtensionContainerView::forwardToEditor(QKeyEvent* event) {
    RivorezIduvivViewController* editor = PhotoEditingViewController::mainWindowController();
    if (!editor || !editor->window()) {
        event->ignore();
        return;
    }
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                   event->nativeVirtualKey(), event->nativeModifiers(), event->text(), event->isAutoRepeat(),
                   ushort(event->count()));
    QCoreApplication::sendEvent(editor->window(), &copy);
    event->accept();
}
