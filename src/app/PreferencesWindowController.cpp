#include "app/PreferencesWindowController.h"

#include "app/KXWindowControllerDelegate.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/services/KXSLocalization.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>

namespace {

QString localized(const char* key) {
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey(key, ""));
}

// The items are exactly the values the editor recognises; the second key's letter case is free.
const QStringList kQualities = {"Low", "Normal", "High"};
const QStringList kDoubleClickActions = {"Image Fit to Screen", "Hide Bottom Menu"};
constexpr const char* kQualityFallback = "High";
constexpr const char* kDoubleClickFallback = "Hide Bottom Menu";

void select(QComboBox* box, const std::optional<std::string>& stored, Qt::CaseSensitivity sensitivity,
            const char* fallback) {
    int index =
        stored
            ? box->findText(QString::fromStdString(*stored),
                            Qt::MatchFixedString | (sensitivity == Qt::CaseSensitive ? Qt::MatchCaseSensitive
                                                                                     : Qt::MatchFlags()))
            : -1;
    if (index < 0) index = box->findText(fallback);
    box->setCurrentIndex(index);
}

} // namespace

PreferencesWindowController::PreferencesWindowController(QWidget* parent) : QDialog(parent) {
    setObjectName("PreferencesWindowController");
    // Titled and closable only: no resizing, no minimising.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(localized("Preferences"));
    auto* form = new QFormLayout(this);
    form->setContentsMargins(20, 20, 20, 20);
    form->setHorizontalSpacing(12);
    form->setVerticalSpacing(12);
    _previewQualityComboBox = new QComboBox(this);
    _previewQualityComboBox->setObjectName("previewQualityComboBox");
    _previewQualityComboBox->addItems(kQualities);
    _doubleClickActionComboBox = new QComboBox(this);
    _doubleClickActionComboBox->setObjectName("doubleClickActionComboBox");
    _doubleClickActionComboBox->addItems(kDoubleClickActions);
    form->addRow(localized("Preview quality:"), _previewQualityComboBox);
    form->addRow(localized("Double click on the image:"), _doubleClickActionComboBox);
    setFixedSize(380, 120);

    auto store = [this](const char* key) {
        return [this, key](const QString& text) {
            if (_loading) return;
            auto& defaults = foundation::UserDefaults::standardUserDefaults();
            defaults.setObject(foundation::Value(text.toStdString()), key);
            defaults.synchronize();
        };
    };
    connect(_previewQualityComboBox, &QComboBox::currentTextChanged, this, store(kPreviewQualityKey));
    connect(_doubleClickActionComboBox, &QComboBox::currentTextChanged, this, store(kDoubleClickActionKey));
    windowDidLoad();
}

void PreferencesWindowController::windowDidLoad() {
    auto& defaults = foundation::UserDefaults::standardUserDefaults();
    _loading = true;
    select(_previewQualityComboBox, defaults.stringForKey(kPreviewQualityKey), Qt::CaseSensitive,
           kQualityFallback);
    select(_doubleClickActionComboBox, defaults.stringForKey(kDoubleClickActionKey), Qt::CaseInsensitive,
           kDoubleClickFallback);
    _loading = false;
}

void PreferencesWindowController::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
    if (!event->isAccepted()) return;
    hide();
    if (_delegate) _delegate->kxWindowControllerWantsRelease(this, false);
}
