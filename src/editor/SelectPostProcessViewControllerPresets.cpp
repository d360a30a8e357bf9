// The effect browser's dialogs for custom presets: naming a new preset, renaming and deleting one.
#include "controls/KXButton.h"
#include "controls/VQDialog.h"
#include "controls/VQTextView.h"
#include "editor/SelectPostProcessViewController.h"
#include "editor/SelectPostProcessViewControllerOwner.h"
#include "engine/CustomPreset.h"
#include "engine/CustomPresetsManager.h"
#include "engine/PostProcessesManager.h"
#include "platform/appkit/Coordinates.h"
#include "platform/services/KXSLocalization.h"
#include "platform/services/KXServiceUtils.h"

#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {

QString localized(const char* key) {
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey(key, ""));
}

CustomPresetsManager& presets() {
    return CustomPresetsManager::sharedCustomPresetsManager();
}

constexpr double kEditPanelHeight = 245;
// Past the dialog's own fade-out.
constexpr int kDialogRemovalDelayMs = 400;

// Places a child of a dialog's centre panel by its y-up frame.
void placeInPanel(QWidget* child, double x, double y, double width, double height) {
    child->setGeometry(
        appkit::pixelRectFromAppKit(graphics::Rect{{x, y}, {width, height}}, kEditPanelHeight));
}

QLabel* dialogText(QWidget* parent, int pixelSize, double alpha, Qt::Alignment alignment) {
    auto* label = new QLabel(parent);
    QFont font("Helvetica");
    font.setPixelSize(pixelSize);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setAttribute(Qt::WA_TranslucentBackground);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 255, 255, int(std::lround(alpha * 255))));
    label->setPalette(palette);
    return label;
}

// Blanks around a name are not part of it: a name of blanks only is empty.
std::string trimmed(const QString& text) {
    return text.trimmed().toStdString();
}

} // namespace

void SelectPostProcessViewController::buildPresetControls() {
    _addPresetButton = new KXButton(_bottomContentView);
    _addPresetButton->setObjectName("addPresetButton");
    _addPresetButton->setTitle("+Add Preset");
    _addPresetButton->resize(120, 24);
    _addPresetButton->initialize();
    _addPresetButton->hide();
    connect(_addPresetButton, &QAbstractButton::clicked, this, [this] { addPresetButtonClick(); });
}

VQDialog* SelectPostProcessViewController::createDialogWithStyle(int style) {
    closeCurrentDialog();
    _currentDialog = std::make_unique<VQDialog>(style);
    _currentDialog->setDelegate(this);
    return _currentDialog.get();
}

void SelectPostProcessViewController::closeCurrentDialog() {
    if (!_currentDialog) return;
    _presetForDeleting = nullptr;
    _presetForAdding = nullptr;
    _currentDialog->hideDialog();
    _currentDialog->setDelegate(nullptr);
    // It fades out first, and may be closing from inside its own button's click; the browser keeps
    // it until then, so none outlives the browser.
    VQDialog* closing = _currentDialog.release();
    closing->setParent(this);
    QTimer::singleShot(kDialogRemovalDelayMs, closing, &QObject::deleteLater);
    _infoForDialog = nullptr;
    _presetNameTextField = nullptr;
    _presetForEditing = nullptr;
}

void SelectPostProcessViewController::addPresetButtonClick() {
    if (presets().canCreatePreset()) {
        addPreset(presets().createCustomPresetWithName(std::nullopt));
        return;
    }
    VQDialog* dialog = createDialogWithStyle(VQDialog::kConfirmStyle);
    dialog->showInView(parentWidget(), localized("kStringAlertTextCantAddPreset"));
    dialog->okButton()->hide();
    VQDialogButton* button = dialog->destructiveButton();
    button->setTitle(localized("Ok"));
    const int x = button->x();
    button->move(int(std::lround(x + (dialog->okButton()->x() - x) * 0.5)), button->y());
}

void SelectPostProcessViewController::addNameFields(VQDialog* dialog, const std::string& name, double fieldY,
                                                    double labelY) {
    QWidget* panel = dialog->dialogCenterView();
    if (!panel) return;
    _presetNameTextField = new VQTextView(panel);
    _presetNameTextField->setObjectName("presetNameTextField");
    _presetNameTextField->setStyle(0);
    _presetNameTextField->setText(QString::fromStdString(name));
    placeInPanel(_presetNameTextField, 180, fieldY, 260, 22);
    QLabel* label = dialogText(panel, 16, 1.0, Qt::AlignRight);
    label->setText(localized("Preset Name:"));
    placeInPanel(label, 50, labelY, 115, 22);
    _infoForDialog = dialogText(panel, 12, 0.6, Qt::AlignHCenter);
    _infoForDialog->setObjectName("infoForDialog");
    placeInPanel(_infoForDialog, 50, 100, 400, 15);
    for (QWidget* view : {static_cast<QWidget*>(_presetNameTextField.data()), static_cast<QWidget*>(label),
                          static_cast<QWidget*>(_infoForDialog.data())})
        view->show();
    _presetNameTextField->setFocus();
    _presetNameTextField->selectAll();
}

void SelectPostProcessViewController::addPreset(std::shared_ptr<CustomPreset> preset) {
    if (!preset) return;
    VQDialog* dialog = createDialogWithStyle(VQDialog::kEditStyle);
    _presetForAdding = std::move(preset);
    dialog->showInView(parentWidget(), localized("kStringAddPresetDialogTitle"));
    addNameFields(dialog, _presetForAdding->name(), 118, 119);
}

void SelectPostProcessViewController::editButtonClickInTableViewCell(KXTableViewCell* cell) {
    if (!cell || !cell->customPreset()) return;
    VQDialog* dialog = createDialogWithStyle(VQDialog::kEditStyle);
    _presetForEditing = cell->customPreset();
    dialog->showInView(parentWidget(), localized("Edit Preset"));
    addNameFields(dialog, _presetForEditing->name(), 126, 126);
}

void SelectPostProcessViewController::deleteButtonClickInTableViewCell(KXTableViewCell* cell) {
    if (!cell || !cell->customPreset()) return;
    VQDialog* dialog = createDialogWithStyle(VQDialog::kConfirmStyle);
    _presetForDeleting = cell->customPreset();
    dialog->showInView(parentWidget(), localized("Delete Preset?"));
}

void SelectPostProcessViewController::okButtonClickInDialog(VQDialog* dialog) {
    if (!dialog || dialog != _currentDialog.get()) return;
    if (_presetForDeleting) {
        const std::shared_ptr<CustomPreset> doomed = _presetForDeleting;
        const bool selected = _selectedCell && _selectedCell->customPreset() == doomed;
        if (selected) {
            _selectedCell->setSelected(false);
            if (_owner) _owner->setTool(0);
            _selectedCell = nullptr;
            _currentEffectIndex = -1;
        }
        presets().deletePreset(doomed);
        reloadEffectsTableView();
        _effectsCells.erase("preset_" + doomed->uuidPreset());
        // The columns after the deleted one moved left: the selection's index follows its preset.
        if (_selectedCell && _selectedCell->customPreset()) {
            const auto& list = _model.filteredPresets();
            const auto found = std::find(list.begin(), list.end(), _selectedCell->customPreset());
            if (found != list.end()) _currentEffectIndex = int64_t(found - list.begin());
        }
        closeCurrentDialog();
    } else if ((_presetForAdding || _presetForEditing) && _presetNameTextField) {
        const std::string name = trimmed(_presetNameTextField->text());
        const std::shared_ptr<CustomPreset> preset = _presetForAdding ? _presetForAdding : _presetForEditing;
        const std::shared_ptr<CustomPreset> named = name.empty() ? nullptr : presets().presetWithName(name);
        if (!services::KXServiceUtils::isTextFieldStringValid(name, 0)) {
            _infoForDialog->setText(localized("Invalid preset name"));
        } else if (name.empty()) {
            _infoForDialog->setText(localized("kStringPresetWithNoNameAlertText"));
        } else if (named && named != preset) {
            _infoForDialog->setText(localized("kStringPresetWithNameExistsAlertText"));
        } else if (_presetForAdding) {
            preset->setName(name);
            presets().addPreset(preset);
            reloadEffectsTableView();
            closeCurrentDialog();
        } else if (named == preset) {
            closeCurrentDialog();
        } else {
            preset->setName(name);
            reloadEffectsTableView();
            // The renamed preset is selected again where it now stands, without an undo step.
            if (_selectedCell && _selectedCell->customPreset() == preset) {
                const auto& list = _model.filteredPresets();
                const auto found = std::find(list.begin(), list.end(), preset);
                if (found != list.end()) {
                    _currentEffectIndex = int64_t(found - list.begin());
                    handleChainEffectsSelection();
                }
            }
            closeCurrentDialog();
        }
    }
    validateChainEffectsButtons();
}

void SelectPostProcessViewController::destructiveButtonClickInDialog(VQDialog* dialog) {
    if (dialog && dialog == _currentDialog.get()) closeCurrentDialog();
}

bool SelectPostProcessViewController::isPresetExportValid() const {
    return _selectedCell && _selectedCell->customPreset() != nullptr;
}

void SelectPostProcessViewController::deletePreset(KXFilterTableViewCell* cell,
                                                   std::shared_ptr<CustomPreset> preset) {
    if (!preset) return;
    presets().deletePreset(preset);
    reloadEffectsTableView();
    // Cells are kept under the preset's identifier.
    _effectsCells.erase("preset_" + preset->uuidPreset());
    validateInfoTableLabel();
    if (cell) {
        cell->setDelegate(nullptr);
        if (QWidget* content = cell->contentView()) content->deleteLater();
    }
}

void SelectPostProcessViewController::sharePresetButtonClickWithPreset(KXFilterTableViewCell* cell,
                                                                       std::shared_ptr<CustomPreset> preset) {
    (void)cell;
    if (_owner && preset) _owner->showPresetsSharingWindowForPreset(std::move(preset));
}
