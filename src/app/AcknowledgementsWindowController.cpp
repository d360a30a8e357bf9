#include "app/AcknowledgementsWindowController.h"

#include "app/KXWindowControllerDelegate.h"
#include "platform/services/KXSLocalization.h"

#include <QCloseEvent>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

constexpr const char* kText = "<h3>Opalene is built with</h3>"
                              "<p><b>Qt</b> — windows, widgets, painting and printing.</p>"
                              "<p><b>OpenImageIO</b> — image files.</p>"
                              "<p><b>Exiv2</b> — photo metadata.</p>"
                              "<p><b>Little CMS</b> — colour profiles.</p>"
                              "<p><b>libgphoto2</b> — cameras.</p>"
                              "<p><b>JSON for Modern C++</b> — settings and archives.</p>"
                              "<p><b>URW base 35 fonts</b> — the interface's typeface.</p>"
                              "<p>Thanks to everyone who makes and keeps them.</p>";

} // namespace

AcknowledgementsWindowController::AcknowledgementsWindowController(QWidget* parent) : QDialog(parent) {
    setObjectName("AcknowledgementsWindowController");
    setWindowTitle(
        QString::fromStdString(services::KXSLocalization::localizedStringForKey("Acknowledgements", "")));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QTextBrowser(this);
    text->setObjectName("acknowledgementsText");
    text->setHtml(kText);
    text->setOpenLinks(false);
    layout->addWidget(text);
    resize(460, 360);
}

void AcknowledgementsWindowController::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
    if (!event->isAccepted()) return;
    hide();
    if (_delegate) _delegate->kxWindowControllerWantsRelease(this, false);
}
