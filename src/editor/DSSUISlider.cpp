#include "editor/DSSUISlider.h"

#include "editor/DSSUISliderButtonView.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {
constexpr float kValuePerPoint = 0.85f;
}

DSSUISlider::DSSUISlider(const QRectF& frame, uint64_t numButtons, QSizeF buttonSize, double rangeMin,
                         double rangeMax, double xPosMin, double xPosMax, QWidget* parent)
    : QWidget(parent), _rangeMin(rangeMin), _rangeMax(rangeMax), _xPosMin(xPosMin), _xPosMax(xPosMax) {
    resize(frame.size().toSize());
    if (parent) {
        // Frames are y-up in the parent.
        move(int(frame.x()), int(parent->height() - frame.y() - frame.height()));
    }
    for (uint64_t i = 0; i < numButtons; ++i) {
        auto* button = new DSSUISliderButtonView(this);
        button->resize(buttonSize.toSize());
        setFrameOriginOfView(button, QPointF(0, 0));
        _buttonsArray.push_back(button);
    }
    _buttonsValues.assign(numButtons + 1, float(rangeMin - 1));
}

float DSSUISlider::storedPosition(uint64_t index) const {
    return index < _buttonsValues.size() ? _buttonsValues[index] : 0.0f;
}

double DSSUISlider::valueForButtonWithIndex(uint64_t index) const {
    if (index >= _buttonsValues.size()) return 0;
    return double(_buttonsValues[index] * kValuePerPoint);
}

void DSSUISlider::setValue(double position, uint64_t index, bool) {
    double p = position;
    if (index == 2) {
        if (p > storedPosition(1) - 10) p = storedPosition(1) - 10;
        if (p < storedPosition(0) + 30) p = storedPosition(0) + 30;
        if (_buttonsValues.size() < 3) _buttonsValues.resize(3, float(_rangeMin - 1));
        _buttonsValues[2] = float(p);
        if (_thirdSlider) setFrameOriginOfView(_thirdSlider, QPointF(p, frameOfView(_thirdSlider).y()));
    } else if (index != kNoButton) {
        if (index == 0) {
            p = std::min(std::max(p, 5.0), 254.0);
            if (p > storedPosition(1) - 40) p = storedPosition(1) - 40;
        } else if (index == 1) {
            p = std::max(std::min(p, 294.0), 20.0);
            if (p < storedPosition(0) + 40) p = storedPosition(0) + 40;
        }
        if (index >= _buttonsValues.size()) _buttonsValues.resize(index + 1, float(_rangeMin - 1));
        _buttonsValues[index] = float(p);
        if (index < _buttonsArray.size()) setFrameOriginOfView(_buttonsArray[index], QPointF(p, 0));
        if (m_delegate) m_delegate->valueIsChangingForButtonAtIndex(this, index);
    }
    if (_readyToSendEvent) {
        _readyToSendEvent = false;
        if (m_delegate) m_delegate->valueDidChangedForButtonWithIndex(this, index);
    }
}

void DSSUISlider::setBackground_image(const QImage& image) {
    _backgroundImage = image;
    update();
}

void DSSUISlider::setButton_image(const QImage& image) {
    _buttonImage = image;
    for (QWidget* view : _buttonsArray)
        static_cast<DSSUISliderButtonView*>(view)->setImage(image);
}

QRectF DSSUISlider::frameOfView(const QWidget* view) const {
    const QRect g = view->geometry();
    return QRectF(g.x(), height() - g.y() - g.height(), g.width(), g.height());
}

void DSSUISlider::setFrameOriginOfView(QWidget* view, QPointF origin) {
    view->move(qRound(origin.x()), qRound(height() - origin.y() - view->height()));
}

QPointF DSSUISlider::toModel(QPointF qtPoint) const {
    return QPointF(qtPoint.x(), height() - qtPoint.y());
}

void DSSUISlider::mouseDown(QPointF point) {
    _mouseDragged = false;
    _draggedButtonIndex = kNoButton;
    _previousTouchedPosition = point;
    for (uint64_t i = 0; i < std::min<uint64_t>(2, _buttonsArray.size()); ++i) {
        const QRectF frame = frameOfView(_buttonsArray[i]);
        if (frame.contains(point)) {
            _draggedButtonIndex = i;
            originalOrigin = frame.topLeft();
            return;
        }
    }
    if (_thirdSlider && frameOfView(_thirdSlider).contains(point)) {
        _draggedButtonIndex = 2;
        originalOrigin = frameOfView(_thirdSlider).topLeft();
    }
}

void DSSUISlider::mouseDragged(QPointF point) {
    if (_draggedButtonIndex == kNoButton) return;
    _mouseDragged = true;
    _touchedPosition = originalOrigin + (point - _previousTouchedPosition);
    _touchedPosition.setX(std::clamp(_touchedPosition.x(), 0.0, 300.0));
    setValue(_touchedPosition.x(), _draggedButtonIndex, false);
}

void DSSUISlider::mouseUp() {
    // Only a handle that moved reports a release; a plain click must not arm a report that the next
    // programmatic move (a reset, say) would send as if the user had let go.
    if (_draggedButtonIndex != kNoButton && _mouseDragged) {
        _readyToSendEvent = true;
        setValue(_touchedPosition.x(), _draggedButtonIndex, false);
    }
    _readyToSendEvent = false;
    _mouseDragged = false;
    _draggedButtonIndex = kNoButton;
}

void DSSUISlider::drag_end() {
    if (_draggedButtonIndex == kNoButton) return;
    const uint64_t index = _draggedButtonIndex;
    _draggedButtonIndex = kNoButton;
    if (m_delegate) m_delegate->dragDidEndForButtonWithIndex(this, index);
}

void DSSUISlider::paintEvent(QPaintEvent*) {
    if (_backgroundImage.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSizeF size = QSizeF(_backgroundImage.size()) / _backgroundImage.devicePixelRatio();
    painter.drawImage(QRectF(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size),
                      _backgroundImage);
}

void DSSUISlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) mouseDown(toModel(event->position()));
}

void DSSUISlider::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) mouseDragged(toModel(event->position()));
}

void DSSUISlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) mouseUp();
}
