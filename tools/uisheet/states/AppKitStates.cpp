// Alerts as the editor asks its questions: one button, two, and three with informative text.
#include "UiSheetRegistry.h"
#include "platform/appkit/Alert.h"

#include <QMessageBox>

namespace {

std::unique_ptr<QWidget> alertBox(const appkit::Alert& alert) {
    return std::unique_ptr<QWidget>(alert.makeMessageBox(nullptr));
}

} // namespace

OPALENE_UISHEET_STATE("alert_one_button", [](const QImage&) {
    return alertBox(appkit::Alert::alertWithMessageText("Image cannot be saved", "OK", "", "", ""));
});

OPALENE_UISHEET_STATE("alert_yes_no", [](const QImage&) {
    return alertBox(appkit::Alert::alertWithMessageText("Apply Transform Changes?", "Yes", "No", "", ""));
});

OPALENE_UISHEET_STATE("alert_three_buttons", [](const QImage&) {
    return alertBox(appkit::Alert::alertWithMessageText("Do you want to save the changes made to the photo?",
                                                        "Save", "Cancel", "Don't Save",
                                                        "Your changes will be lost if you don't save them."));
});
