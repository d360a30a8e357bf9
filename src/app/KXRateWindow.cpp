#include "app/KXRateWindow.h"

#include "platform/services/KXSLocalization.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString localized(const char* key) {
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey(key, ""));
}

} // namespace

KXRateWindow::KXRateWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("KXJRVRateWindow");
    setWindowTitle(localized("Rate Opalene"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(localized("Enjoying Opalene? A short review helps others find it."), this);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* buttons = new QHBoxLayout;
    auto* later = new QPushButton(localized("Not Now"), this);
    later->setObjectName("notNowButton");
    auto* rate = new QPushButton(localized("Rate"), this);
    rate->setObjectName("rateButton");
    rate->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(later);
    buttons->addWidget(rate);
    layout->addLayout(buttons);
    connect(rate, &QPushButton::clicked, this, [this] { done(1); });
    connect(later, &QPushButton::clicked, this, [this] { done(0); });
    setFixedSize(360, 120);
}

bool KXRateWindow::runWindow() {
    KXRateWindow window;
    ++s_showCount;
    return window.exec() == 1;
}
