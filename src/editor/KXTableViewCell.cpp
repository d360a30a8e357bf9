#include "editor/KXTableViewCell.h"

#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/SharedBundle.h"
#include "controls/ViewAlpha.h"
#include "engine/CustomPreset.h"
#include "engine/PostProcess.h"
#include "platform/foundation/NotificationCenter.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

using ViewAlpha::setAlpha;

namespace {
const QColor kSelectedName = QColor::fromRgbF(0.875f, 0.102f, 0.412f, 1.0f);
const QColor kName = QColor::fromRgbF(0.631f, 0.655f, 0.678f, 1.0f);
} // namespace

void KXCellImageView::paintEvent(QPaintEvent*) {
    if (_image.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(rect()), 4, 4);
    painter.setClipPath(clip);
    const QSizeF size = QSizeF(_image.size()) / _image.devicePixelRatio();
    painter.drawImage(QRectF(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size),
                      _image);
}

KXTableViewCell::KXTableViewCell(const QRect& frame) {
    // The "KXTableViewCell" layout, built in code: highlight behind, placeholder under the thumbnail,
    // the name below them.
    setGeometry(frame);
    const int w = frame.width();
    _backgroundViewSelected = new QWidget(this);
    _backgroundViewSelected->setGeometry(2, 2, w - 4, kHeight - 4);
    _backgroundViewSelected->setStyleSheet("background: rgba(72, 148, 232, 70); border-radius: 6px;");
    setAlpha(_backgroundViewSelected, 0);
    _originalImageView = new KXCellImageView(this);
    _originalImageView->setGeometry(10, 8, w - 20, 104);
    _previewImageView = new KXCellImageView(this);
    _previewImageView->setGeometry(10, 8, w - 20, 104);
    setAlpha(_previewImageView, 0);
    _nameTextField = new QLabel(this);
    _nameTextField->setGeometry(6, 114, w - 12, 22);
    _nameTextField->setAlignment(Qt::AlignCenter);
    QFont font("Helvetica Neue");
    font.setPixelSize(12);
    _nameTextField->setFont(font);
    QPalette palette = _nameTextField->palette();
    palette.setColor(QPalette::WindowText, kName);
    _nameTextField->setPalette(palette);
}

KXTableViewCell* KXTableViewCell::makeCellWithFrame(const QRect& frame, PostProcess* effect) {
    auto* cell = new KXTableViewCell(frame);
    cell->_postProcess = effect;
    if (effect) {
        cell->_nameTextField->setText(QString::fromStdString(effect->get_name()));
        cell->validatePreviewImage();
        cell->observe(PostProcessPreviewImageDidChangeNotification, effect);
    }
    return cell;
}

KXTableViewCell* KXTableViewCell::makeCellWithFrame(const QRect& frame,
                                                    std::shared_ptr<CustomPreset> preset) {
    auto* cell = new KXTableViewCell(frame);
    cell->_customPreset = std::move(preset);
    if (!cell->_customPreset) return cell;
    cell->_nameTextField->setText(QString::fromStdString(cell->_customPreset->name()));
    cell->_editButton = new KXButton(cell);
    cell->_editButton->setGeometry(frame.width() - 62, 12, 24, 20);
    cell->_editButton->setImage(imageNamedAdditional("cell_edit"));
    cell->_deleteButton = new KXButton(cell);
    cell->_deleteButton->setGeometry(frame.width() - 36, 12, 24, 20);
    cell->_deleteButton->setImage(imageNamedAdditional("cell_delete"));
    connect(cell->_editButton, &QAbstractButton::clicked, cell, [cell] { cell->editButtonClick(); });
    connect(cell->_deleteButton, &QAbstractButton::clicked, cell, [cell] { cell->deleteButtonClick(); });
    cell->validatePreviewImage();
    cell->observe("CustomPresetImageDidChangeNotification", cell->_customPreset.get());
    return cell;
}

KXTableViewCell::~KXTableViewCell() {
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
}

void KXTableViewCell::observe(const char* notification, const void* object) {
    foundation::NotificationCenter::defaultCenter().addObserver(
        this, notification, object, [this](const foundation::Notification&) { validatePreviewImage(); });
}

void KXTableViewCell::setSelected(bool selected) {
    if (selected == _isSelected) return;
    _isSelected = selected;
    const bool onScreen = parentWidget() && !visibleRegion().isEmpty();
    setAlpha(_backgroundViewSelected, selected ? 1 : 0, onScreen);
    QPalette palette = _nameTextField->palette();
    palette.setColor(QPalette::WindowText, selected ? kSelectedName : kName);
    _nameTextField->setPalette(palette);
}

graphics::ImagePtr KXTableViewCell::currentPreview() const {
    if (_postProcess) return _postProcess->previewImage();
    return _customPreset ? _customPreset->previewImage() : nullptr;
}

QImage KXTableViewCell::properSizedImageForImage(const QImage& image) const {
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) return image;
    double w = _originalImageView->width(), h = _originalImageView->height();
    if (image.width() > image.height())
        w = double(image.width()) / image.height() * h;
    else
        h = double(image.height()) / image.width() * w;
    return image.scaled(QSize(qRound(w), qRound(h)), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void KXTableViewCell::setOriginalImage(const QImage& image) {
    _originalImageView->setImage(image);
    validatePreviewImage();
}

void KXTableViewCell::validatePreviewImage() {
    const QImage thumbnail = properSizedImageForImage(ImageAdditional::toQImage(currentPreview()));
    if (thumbnail.isNull()) {
        // No thumbnail yet: the last one stays dimmed underneath while the next is made.
        _originalImageView->setImage(_previewImageView->image());
        setAlpha(_originalImageView, 0.25, true);
        setAlpha(_previewImageView, 0);
        return;
    }
    if (!_previewImageView->image().isNull() && ViewAlpha::alpha(_previewImageView) == 1.0) {
        _originalImageView->setImage(_previewImageView->image());
        setAlpha(_previewImageView, 0);
        setAlpha(_originalImageView, 1);
        QTimer::singleShot(100, this, [this] { validatePreviewImage(); });
        return;
    }
    _previewImageView->setImage(thumbnail);
    if (thumbnail.width() < _previewImageView->width() || thumbnail.height() < _previewImageView->height())
        setAlpha(_originalImageView, 0, true);
    setAlpha(_previewImageView, 1, true);
}

void KXTableViewCell::deleteButtonClick() {
    if (_customPreset && _delegate) _delegate->deleteButtonClickInTableViewCell(this);
}

void KXTableViewCell::editButtonClick() {
    if (_delegate) _delegate->editButtonClickInTableViewCell(this);
}
