#include "editor/ProgressViewController.h"

#include "controls/KXButton.h"
#include "controls/PanelLabel.h"
#include "controls/VQProgressBar.h"
#include "editor/ProgressViewControllerControllerDelegate.h"

#include <QLabel>

ProgressViewController::ProgressViewController(QWidget* parent) : QWidget(parent) {
    // The "ProgressViewJRV" layout, built in code; the dialog draws the plate behind it.
    resize(kWidth, kHeight);
    _titleTextField =
        panelLabel(this, QRect(20, 14, kWidth - 40, 22), 14, QColor(232, 232, 234), Qt::AlignHCenter);
    _titleTextField->setObjectName("progressTitle");
    _progressIndicator = new VQProgressBar(this);
    _progressIndicator->setGeometry(20, 48, kWidth - 96, 12);
    _progressTextField =
        panelLabel(this, QRect(kWidth - 70, 43, 50, 22), 13, QColor(200, 200, 204), Qt::AlignRight);
    _progressTextField->setObjectName("progressPercent");
    _cancelButton = new KXButton(this);
    _cancelButton->setObjectName("progressCancel");
    _cancelButton->resize(100, 24);
    _cancelButton->setTitle("Cancel");
    _cancelButton->move((kWidth - _cancelButton->width()) / 2, kHeight - 40);
    connect(_cancelButton, &QAbstractButton::clicked, this, [this] { cancelButtonClick(); });
    setTitle(QString());
    updateProgress(0);
}

void ProgressViewController::setTitle(const QString& title) {
    _title = title;
    setWindowTitle(title);
    _titleTextField->setText(title.isNull() ? QString("") : title);
}

void ProgressViewController::updateProgress(long percent) {
    _progressIndicator->setDoubleValue(double(percent));
    _progressTextField->setText(QString::number(percent) + QLatin1Char('%'));
}

void ProgressViewController::processFinish() {
    _cancelButton->setEnabled(false);
    if (_delegate) _delegate->modalViewControllerDidFinish(this, false);
}

void ProgressViewController::cancelButtonClick() {
    // A second press, or a press after the end, reports nothing more.
    if (!_cancelButton->isEnabled()) return;
    _cancelButton->setEnabled(false);
    if (_delegate) _delegate->modalViewControllerDidFinish(this, true);
}
