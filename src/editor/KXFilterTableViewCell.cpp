#include "editor/KXFilterTableViewCell.h"

#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/SharedBundle.h"
#include "editor/KXTableViewCell.h"
#include "engine/CustomPreset.h"
#include "engine/CustomPresetsManager.h"
#include "engine/PostProcess.h"
#include "platform/foundation/NotificationCenter.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

KXFilterTableViewCell::KXFilterTableViewCell() {
    _contentView = new QWidget();
    _contentView->resize(220, 64);
    _contentView->hide();
    _backgroundImageView = new QLabel(_contentView);
    _backgroundImageView->setGeometry(0, 0, 220, 64);
    _backgroundImageView->setScaledContents(true); // each axis on its own
    _previewImageView = new KXCellImageView(_contentView);
    _previewImageView->setGeometry(4, 4, 72, 56);
    _progressIndicator = new QProgressBar(_previewImageView);
    _progressIndicator->setGeometry(26, 22, 20, 12);
    _progressIndicator->setRange(0, 0); // spinning: no known end
    _progressIndicator->setTextVisible(false);
    _effectNameTextField = new QLineEdit(_contentView);
    _effectNameTextField->setGeometry(82, 8, 110, 20);
    _effectNameTextField->setFrame(false);
    _effectNameTextField->setReadOnly(true);
    _effectNameTextField->setFocusPolicy(Qt::NoFocus);
    _effectNameTextField->setStyleSheet("background: transparent; color: white;");
    _effectNumberTextField = new QLabel(_contentView);
    _effectNumberTextField->setGeometry(196, 8, 20, 20);
    _effectNumberTextField->setAlignment(Qt::AlignCenter);
    _effectNumberTextField->setStyleSheet("color: white; border: 1px solid rgba(255,255,255,80);");
    connect(_effectNameTextField, &QLineEdit::editingFinished, this, [this] {
        if (!_effectNameTextField->isReadOnly()) editButtonClick();
    });
}

KXFilterTableViewCell::~KXFilterTableViewCell() {
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
    delete _contentView.data();
}

void KXFilterTableViewCell::observe(const char* notification, const void* object) {
    foundation::NotificationCenter::defaultCenter().addObserver(
        this, notification, object, [this](const foundation::Notification&) { validatePreviewImage(); });
}

KXFilterTableViewCell* KXFilterTableViewCell::initTextCellWithPostProcess(PostProcess* effect) {
    auto* cell = new KXFilterTableViewCell();
    cell->_postProcess = effect;
    cell->_favoritesButton = new KXButton(cell->_contentView);
    cell->_favoritesButton->setGeometry(82, 34, 22, 22);
    cell->_favoritesButton->setImage(
        imageNamedAdditional(effect && effect->favorite() ? "star_on" : "star_off"));
    connect(cell->_favoritesButton, &QAbstractButton::clicked, cell,
            [cell] { cell->favoritesButtonClick(); });
    if (effect) {
        cell->_effectNameTextField->setText(QString::fromStdString(effect->get_name()));
        cell->validatePreviewImage();
        cell->observe(PostProcessPreviewImageDidChangeNotification, effect);
    }
    return cell;
}

KXFilterTableViewCell*
KXFilterTableViewCell::initTextCellWithCustomPreset(std::shared_ptr<CustomPreset> preset) {
    auto* cell = new KXFilterTableViewCell();
    cell->_customPreset = std::move(preset);
    const auto make = [cell](QRect frame, const char* title) {
        auto* b = new KXButton(cell->_contentView);
        b->setGeometry(frame);
        b->setTitle(title);
        return b;
    };
    cell->_deleteButton = make(QRect(82, 34, 40, 22), "Delete");
    cell->_editButton = make(QRect(126, 34, 40, 22), "Edit");
    cell->_shareButton = make(QRect(170, 34, 44, 22), "Share");
    connect(cell->_deleteButton, &QAbstractButton::clicked, cell, [cell] { cell->deleteButtonClick(); });
    connect(cell->_editButton, &QAbstractButton::clicked, cell, [cell] { cell->editButtonClick(); });
    connect(cell->_shareButton, &QAbstractButton::clicked, cell, [cell] { cell->shareButtonClick(); });
    if (cell->_customPreset) {
        cell->_effectNameTextField->setText(QString::fromStdString(cell->_customPreset->name()));
        cell->validatePreviewImage();
        cell->observe("CustomPresetImageDidChangeNotification", cell->_customPreset.get());
    }
    return cell;
}

void KXFilterTableViewCell::favoritesButtonClick() {
    if (!_postProcess) return;
    _favoritesButton->setImage(imageNamedAdditional(_postProcess->favorite() ? "star_off" : "star_on"));
    _postProcess->on_add_to_fav();
}

void KXFilterTableViewCell::editButtonClick() {
    if (!_editButton) return;
    if (_effectNameTextField->isReadOnly()) {
        _editButton->setTitle("Ok");
        _effectNameTextField->setReadOnly(false);
        _effectNameTextField->setFocusPolicy(Qt::StrongFocus);
        _effectNameTextField->setFocus();
        _effectNameTextField->selectAll();
        return;
    }
    const std::string name = _effectNameTextField->text().trimmed().toStdString();
    CustomPresetsManager& presets = CustomPresetsManager::sharedCustomPresetsManager();
    if (_customPreset && !name.empty() && !presets.presetWithName(name)) {
        _customPreset->setName(name);
        presets.savePresets();
    }
    // Whatever the answer, editing is over: the button must not keep offering "Ok".
    _editButton->setTitle("Edit");
    if (_customPreset) _effectNameTextField->setText(QString::fromStdString(_customPreset->name()));
    _effectNameTextField->setReadOnly(true);
    _effectNameTextField->setFocusPolicy(Qt::NoFocus);
}

bool KXFilterTableViewCell::textShouldEndEditing() {
    if (_editButton) _editButton->setTitle("Edit");
    if (_customPreset) _effectNameTextField->setText(QString::fromStdString(_customPreset->name()));
    _effectNameTextField->setReadOnly(true);
    _effectNameTextField->setFocusPolicy(Qt::NoFocus);
    return true;
}

void KXFilterTableViewCell::deleteButtonClick() {
    if (!_customPreset) return;
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
    std::shared_ptr<CustomPreset> preset = std::exchange(_customPreset, nullptr);
    if (_delegate) _delegate->deletePreset(this, preset);
}

void KXFilterTableViewCell::shareButtonClick() {
    if (_customPreset && _delegate) _delegate->sharePresetButtonClickWithPreset(this, _customPreset);
}

void KXFilterTableViewCell::validatePreviewImage() {
    graphics::ImagePtr image = _postProcess ? _postProcess->previewImage() : nullptr;
    if (!_postProcess && _customPreset) image = _customPreset->previewImage();
    const QImage preview = ImageAdditional::toQImage(image);
    // Scaled down proportionally into the thumbnail's frame.
    _previewImageView->setImage(
        preview.isNull()
            ? QImage()
            : preview.scaled(_previewImageView->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    _progressIndicator->setVisible(preview.isNull());
}

void KXFilterTableViewCell::drawWithFrame(const QRect& frame, QWidget* controlView, bool outlineView) {
    if (!controlView) return;
    const QRect place = outlineView ? frame.adjusted(-32, 0, 0, 0) : frame;
    const bool added = _contentView->parentWidget() != controlView;
    const bool unhidden = _contentView->isHidden();
    if (added) _contentView->setParent(controlView);
    _contentView->setGeometry(place);
    if (unhidden || added) _contentView->show();
    if ((added || unhidden) && outlineView) {
        for (QObject* child : controlView->children()) {
            auto* other = qobject_cast<QWidget*>(child);
            if (other && other != _contentView && other->geometry().intersects(place)) {
                other->hide();
                other->update();
            }
        }
    }
}
