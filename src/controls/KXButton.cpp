#include "controls/KXButton.h"

#include "controls/SharedBundle.h"
#include "controls/TextGeometrics.h"
#include "controls/TileDrawing.h"
#include "platform/services/KXSLocalization.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {

QString localized(const QString& key) {
    if (key.isEmpty()) return key;
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey(key.toStdString(), ""));
}

QLabel* imageView(QWidget* parent, const QImage& image) {
    auto* view = new QLabel(parent);
    view->setAttribute(Qt::WA_TransparentForMouseEvents);
    view->setPixmap(QPixmap::fromImage(image));
    view->resize(TileDrawing::pointSize(image).toSize());
    view->show(); // set-up may run after the button is on screen
    return view;
}

} // namespace

KXButton::KXButton(QWidget* parent) : QAbstractButton(parent) {
    QFont font("Helvetica");
    font.setPixelSize(12);
    setFont(font);
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        _state = on ? 1 : 0;
        validateState();
    });
    QMetaObject::invokeMethod(
        this, [this] { initialize(); }, Qt::QueuedConnection);
}

void KXButton::initialize() {
    if (_initialized) return;
    _initialized = true;
    if (!_iconImageName.empty()) {
        const QImage icon = imageNamedAdditional(_iconImageName);
        if (!icon.isNull()) {
            _iconImage = icon;
            _iconImageView = imageView(this, icon);
            _iconImageView->move(0, height() - _iconImageView->height());
        }
    }
    setTitle(_titleKey);
    setAlternateTitle(_alternateTitleKey.isEmpty() ? _titleKey : _alternateTitleKey);
    // A button disabled before its set-up stays disabled (the set-up once re-enabled it while the
    // widget stayed disabled, so it looked usable and ignored clicks).
    if (_dropDown) {
        const QImage arrow = imageNamedAdditional("dropdown_arrow");
        if (!arrow.isNull()) {
            _arrowView = imageView(this, arrow);
            const int y = int(std::ceil((height() - _arrowView->height()) / 2.0)) + 1; // y-up
            _arrowView->move(width() - 10 - _arrowView->width(), height() - y - _arrowView->height());
        }
    }
    if (!_image.isNull()) {
        _defaultImage = _image;
        _tracksMouse = true;
    } else if (width() > 0 && height() > 0) {
        const qreal ratio = devicePixelRatioF();
        QImage background((size() * ratio), QImage::Format_ARGB32_Premultiplied);
        background.setDevicePixelRatio(ratio);
        background.fill(Qt::transparent);
        QPainter painter(&background);
        TileDrawing::drawThreePartImage(
            painter, QRectF(QPointF(0, 0), QSizeF(size())), imageNamedAdditional("button_left"),
            imageNamedAdditional("button_center"), imageNamedAdditional("button_right"));
        painter.end();
        _image = _defaultImage = background;
    }
    _displayedImage = _defaultImage;
    validateState();
}

void KXButton::setImage(const QImage& image) {
    _image = image;
    if (_initialized) {
        _defaultImage = image;
        validateState();
    }
}

void KXButton::setTitle(const QString& key) {
    _titleKey = key;
    _title = localized(key);
    layoutTitle();
    update();
}

void KXButton::setAlternateTitle(const QString& key) {
    _alternateTitleKey = key;
    _alternateTitle = localized(key);
    update();
}

void KXButton::layoutTitle() {
    if (_dropDown) {
        _titleAlignment = Qt::AlignLeft;
        _titleIndent = 10;
    } else {
        _titleAlignment = _alignment;
        _titleIndent = _horizontalOffset;
    }
    if (_iconImageView && !_title.isEmpty() && (_alignment & Qt::AlignHCenter)) {
        // Icon and title form one centred group.
        const double W = width(), H = height();
        const double w = TextGeometrics::widthForHeight(_title, font(), float(H));
        const double halfIcon = std::floor(_iconImageView->width() / 2.0);
        const double x = std::ceil(_horizontalOffset + W / 2 - w / 2 - halfIcon) + 1;
        const double y = std::round(H / 2 - _iconImageView->height() / 2.0 - _baselineOffset) - 2; // y-up
        _iconImageView->move(int(x), int(H - y - _iconImageView->height()));
        _titleAlignment = Qt::AlignLeft;
        _titleIndent = halfIcon + _horizontalOffset + std::round((W - w) / 2) + 2;
    }
}

void KXButton::setEnabled(bool enabled) {
    if (enabled == _isEnabledInternally) return;
    _isHighlighted = false;
    _isEnabledInternally = enabled;
    validateState();
}

void KXButton::highlightOnMouse(bool highlighted) {
    if (!_isEnabledInternally || highlighted == _isHighlighted) return;
    _isHighlighted = highlighted;
    validateState();
}

void KXButton::setState(int state) {
    _state = state ? 1 : 0;
    if (isCheckable()) {
        const QSignalBlocker blocker(this);
        setChecked(_state == 1);
    }
    update();
}

void KXButton::validateState() {
    if (_isEnabledInternally) {
        setIconAlpha(1.0);
        QWidget::setEnabled(true);
        _displayedImage = _defaultImage;
        if (_isHighlighted) {
            const QImage highlighted = imageNamedAdditional(_highlightedImageName);
            if (highlighted.isNull())
                _isHighlighted = false;
            else
                _displayedImage = highlighted;
        }
    } else {
        const QImage disabled = imageNamedAdditional(_disabledImageName);
        if (!disabled.isNull()) {
            _displayedImage = disabled;
        } else {
            _displayedImage = _defaultImage;
            QWidget::setEnabled(false);
        }
        setIconAlpha(0.5);
    }
    update();
}

void KXButton::setIconAlpha(double alpha) {
    if (!_iconImageView) return;
    // Dimmed in the picture itself: Qt draws no graphics effect inside another, and panels fade
    // whole buttons with one.
    QImage dimmed(_iconImage.size(), QImage::Format_ARGB32_Premultiplied);
    dimmed.setDevicePixelRatio(_iconImage.devicePixelRatio());
    dimmed.fill(Qt::transparent);
    QPainter painter(&dimmed);
    painter.setOpacity(alpha);
    painter.drawImage(QPointF(0, 0), _iconImage);
    painter.end();
    _iconImageView->setPixmap(QPixmap::fromImage(dimmed));
}

void KXButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const bool dimmed = !_isEnabledInternally && !QWidget::isEnabled();
    if (dimmed) painter.setOpacity(0.5);
    if (!_displayedImage.isNull()) {
        QSizeF size = TileDrawing::pointSize(_displayedImage);
        if (size.width() > width() || size.height() > height())
            size.scale(QSizeF(this->size()), Qt::KeepAspectRatio);
        painter.drawImage(QRectF(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size),
                          _displayedImage);
    }
    const bool on = _state == 1;
    const QString& text = on && !_alternateTitle.isEmpty() ? _alternateTitle : _title;
    if (text.isEmpty()) return;
    painter.setOpacity(dimmed || !_isEnabledInternally ? 0.5 : 1.0);
    painter.setPen(on ? selectedButtonFontColor() : _buttonFontColor);
    painter.setFont(font());
    QRectF area(_titleIndent, -_baselineOffset, width() - _titleIndent, height());
    if (_titleAlignment & Qt::AlignRight) area.setWidth(width() - _titleIndent);
    const Qt::Alignment horizontal = (_titleAlignment & Qt::AlignLeft)    ? Qt::AlignLeft
                                     : (_titleAlignment & Qt::AlignRight) ? Qt::AlignRight
                                                                          : Qt::AlignHCenter;
    if (horizontal == Qt::AlignHCenter) area = QRectF(0, -_baselineOffset, width(), height());
    painter.drawText(area, int(horizontal | Qt::AlignVCenter), text);
}

void KXButton::mousePressEvent(QMouseEvent* event) {
    if (!_isEnabledInternally) return;
    if (_hasMomentaryStyle) {
        _state = 1;
        _isHighlighted = true;
        validateState();
    } else {
        highlightOnMouse(false);
    }
    QAbstractButton::mousePressEvent(event);
}

void KXButton::mouseReleaseEvent(QMouseEvent* event) {
    if (!_isEnabledInternally) return;
    if (_hasMomentaryStyle && _state == 1) {
        _state = 0;
        _isHighlighted = false;
        validateState();
    }
    QAbstractButton::mouseReleaseEvent(event);
}

void KXButton::enterEvent(QEnterEvent*) {
    if (_tracksMouse && !_hasMomentaryStyle) highlightOnMouse(true);
}

void KXButton::leaveEvent(QEvent*) {
    if (_tracksMouse && !_hasMomentaryStyle) highlightOnMouse(false);
}
