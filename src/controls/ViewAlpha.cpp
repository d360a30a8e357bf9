#include "controls/ViewAlpha.h"

#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>

namespace ViewAlpha {

namespace {
const char* const kModelAlpha = "opaleneAlpha";
}

void setAlpha(QWidget* view, double alpha, bool animated, double seconds) {
    if (!view) return;
    view->setProperty(kModelAlpha, alpha);
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(view->graphicsEffect());
    if (!effect) {
        if (alpha >= 1.0 && !animated) return; // fully opaque needs no effect
        effect = new QGraphicsOpacityEffect(view);
        effect->setOpacity(1.0);
        view->setGraphicsEffect(effect);
    }
    for (auto* running : effect->findChildren<QPropertyAnimation*>())
        running->stop(), running->deleteLater();
    if (!animated || !view->isVisible()) {
        effect->setOpacity(alpha);
        return;
    }
    auto* fade = new QPropertyAnimation(effect, "opacity", effect);
    fade->setDuration(int(seconds * 1000));
    fade->setStartValue(effect->opacity());
    fade->setEndValue(alpha);
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

double alpha(const QWidget* view) {
    const QVariant value = view ? view->property(kModelAlpha) : QVariant();
    return value.isValid() ? value.toDouble() : 1.0;
}

} // namespace ViewAlpha
