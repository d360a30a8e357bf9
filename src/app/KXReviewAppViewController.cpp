#include "app/KXReviewAppViewController.h"

#include "platform/services/KXSLocalization.h"

#include <QDesktopServices>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString localized(const char* key) {
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey(key, ""));
}

} // namespace

KXReviewAppViewController::KXReviewAppViewController(QWidget* parent) : QWidget(parent) {
    setObjectName("KXReviewAppViewController");
    auto* outer = new QVBoxLayout(this);
    auto* panel = new QWidget(this);
    panel->setObjectName("reviewPanel");
    panel->setFixedSize(400, 170);
    panel->setStyleSheet(
        "#reviewPanel { background: rgb(40, 42, 46); border: 1px solid rgb(12, 12, 14); border-radius: 10px; "
        "}"
        "QLabel { color: rgb(220, 222, 226); font: 14px 'Helvetica'; }"
        "QPushButton { color: white; background: rgb(64, 66, 72); border: 1px solid rgb(20, 20, 22);"
        " border-radius: 5px; padding: 5px 12px; font: 13px 'Helvetica'; }"
        "QPushButton#reviewButton { background: rgb(72, 148, 232); }");
    outer->addWidget(panel, 0, Qt::AlignCenter);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(20, 18, 20, 16);
    auto* text = new QLabel(localized("Do you like Opalene? Please take a moment to write a review."), panel);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* buttons = new QHBoxLayout;
    auto* no = new QPushButton(localized("No, Thanks"), panel);
    no->setObjectName("noButton");
    auto* later = new QPushButton(localized("Remind Me Later"), panel);
    later->setObjectName("remindMeLaterButton");
    auto* review = new QPushButton(localized("Write a Review"), panel);
    review->setObjectName("reviewButton");
    buttons->addWidget(no);
    buttons->addStretch(1);
    buttons->addWidget(later);
    buttons->addWidget(review);
    layout->addLayout(buttons);
    connect(review, &QPushButton::clicked, this, &KXReviewAppViewController::reviewButtonClick);
    connect(later, &QPushButton::clicked, this, &KXReviewAppViewController::remindMeLaterButtonClick);
    connect(no, &QPushButton::clicked, this, &KXReviewAppViewController::noButtonClick);

    // Fades in from nothing once made.
    auto* opacity = new QGraphicsOpacityEffect(this);
    opacity->setOpacity(0);
    setGraphicsEffect(opacity);
    _fadeIn = new QPropertyAnimation(opacity, "opacity", this);
    _fadeIn->setDuration(250);
    _fadeIn->setStartValue(0.0);
    _fadeIn->setEndValue(1.0);
    _fadeIn->start();
}

void KXReviewAppViewController::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), QColor(0, 0, 0, 128));
}

void KXReviewAppViewController::reviewButtonClick() {
    const std::string url = kReviewAddress;
    if (openURL)
        openURL(url);
    else
        QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
    if (_delegate) _delegate->modalViewControllerDidFinish(this, false);
}

void KXReviewAppViewController::remindMeLaterButtonClick() {
    if (_delegate) _delegate->modalViewControllerDidFinish(this, false);
}

void KXReviewAppViewController::noButtonClick() {
    if (_delegate) _delegate->modalViewControllerDidFinish(this, true);
}
