#include "platform/appkit/Alert.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <memory>

namespace appkit {

namespace {

const char* const kReturnCode = "alertReturnCode";

QString qt(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

Alert Alert::alertWithMessageText(std::string messageText, std::string defaultButton,
                                  std::string alternateButton, std::string otherButton,
                                  std::string informativeText) {
    Alert alert;
    alert.messageText_ = std::move(messageText);
    alert.informativeText_ = std::move(informativeText);
    alert.defaultButton_ = defaultButton.empty() ? "OK" : std::move(defaultButton);
    alert.alternateButton_ = std::move(alternateButton);
    alert.otherButton_ = std::move(otherButton);
    return alert;
}

QMessageBox* Alert::makeMessageBox(QWidget* parent) const {
    auto* box = new QMessageBox(parent);
    box->setText(qt(messageText_));
    box->setInformativeText(qt(informativeText_));
    box->setTextFormat(Qt::PlainText);
    // The message stands out from the informative text, and the default button ends the row on
    // the right with the alternate beside it whatever the platform's own habit.
    box->setStyleSheet(QStringLiteral("QLabel#qt_msgbox_label { font-weight: bold; }"
                                      "QDialogButtonBox { button-layout: %1; }")
                           .arg(int(QDialogButtonBox::GnomeLayout)));
    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull()) box->setIconPixmap(icon.pixmap(64, 64));
    // Roles place the default button last and the other button apart, as alerts lay them out.
    QPushButton* defaultButton = box->addButton(qt(defaultButton_), QMessageBox::AcceptRole);
    defaultButton->setProperty(kReturnCode, DefaultReturn);
    box->setDefaultButton(defaultButton);
    QPushButton* alternate = nullptr;
    QPushButton* other = nullptr;
    if (!alternateButton_.empty()) {
        alternate = box->addButton(qt(alternateButton_), QMessageBox::RejectRole);
        alternate->setProperty(kReturnCode, AlternateReturn);
    }
    if (!otherButton_.empty()) {
        other = box->addButton(qt(otherButton_), QMessageBox::ActionRole);
        other->setProperty(kReturnCode, OtherReturn);
    }
    QPushButton* escape = alternate ? alternate : other ? other : defaultButton;
    for (QPushButton* b : {defaultButton, alternate, other})
        if (b && b->text() == QStringLiteral("Cancel")) escape = b;
    box->setEscapeButton(escape);
    return box;
}

int Alert::returnCodeOf(const QMessageBox& box) {
    const QAbstractButton* clicked = box.clickedButton();
    if (!clicked) clicked = box.escapeButton();
    return clicked ? clicked->property(kReturnCode).toInt() : DefaultReturn;
}

void Alert::beginSheetModalForWindow(QWidget* window, std::function<void(int)> completion) const {
    QMessageBox* box = makeMessageBox(window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    auto pending = std::make_shared<std::function<void(int)>>(std::move(completion));
    QObject::connect(box, &QDialog::finished, box, [box, pending] {
        // Taken out first: a second finish (a close after a click) finds nothing to run.
        std::function<void(int)> run = std::move(*pending);
        *pending = nullptr;
        if (run) run(returnCodeOf(*box));
    });
    box->show();
}

int Alert::runModal() const {
    std::unique_ptr<QMessageBox> box(makeMessageBox(QApplication::activeWindow()));
    box->setWindowModality(Qt::ApplicationModal);
    box->exec();
    return returnCodeOf(*box);
}

} // namespace appkit
