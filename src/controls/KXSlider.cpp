#include "controls/KXSlider.h"

#include "controls/KXSliderValueField.h"
#include "controls/SharedBundle.h"
#include "controls/TileDrawing.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

QString formatted(const std::string& format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format.c_str(), value);
    return QString::fromUtf8(text);
}

// A tile centred vertically (y-up and y-down agree up to rounding: measured from the bottom here).
QRectF centredTile(double x, double width, const QImage& image, int H) {
    const double h = TileDrawing::pointSize(image).height();
    const double yUp = std::lround((H - h) / 2);
    return QRectF(x, H - yUp - h, width, h);
}

} // namespace

KXSlider::KXSlider(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    _scheduledGrab.setSingleShot(true);
    _scheduledGrab.setInterval(300);
    connect(&_scheduledGrab, &QTimer::timeout, this, [this] {
        _knobSelected = true;
        update();
    });
    _repeat.setSingleShot(true);
    _repeat.setInterval(100);
    connect(&_repeat, &QTimer::timeout, this, [this] {
        if (_pausedIncreasing) return;
        if (_increaseSelected)
            step(+1);
        else if (_decreaseSelected)
            step(-1);
    });
    _knobAnimation.setDuration(250);
    _knobAnimation.setEasingCurve(QEasingCurve::InOutQuad);
    connect(&_knobAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant& x) {
        _knobDisplayX = x.toInt();
        update();
    });
}

KXSlider::~KXSlider() {
    _knobAnimation.stop();
}

void KXSlider::validateSlider() {
    _maxValueRange = 100;
    _minValue = 0;
    _maxValue = 1;
    _defaultValue = kNoDefault;
    setDoubleValue(0.5);
    const int W = width(), H = height();
    const int F = _valueTextFieldWidthNumber ? int(float(*_valueTextFieldWidthNumber)) : 0;
    delete _valueLabel;
    _valueLabel = nullptr;
    if (_valueTextFieldWidthNumber) {
        _valueLabel = new KXSliderValueField(QSize(F, H), this);
        _valueLabel->move(W - F - H, 0);
        _valueLabel->setDelegate(this);
        _valueLabel->show();
    }
    if (_decreaseButtonImageName.empty())
        _decreaseButtonImageName = "minus", _decreaseButtonImageNameSelected = "minus_on";
    else if (_decreaseButtonImageNameSelected.empty())
        _decreaseButtonImageNameSelected = _decreaseButtonImageName;
    if (_increaseButtonImageName.empty())
        _increaseButtonImageName = "plus", _increaseButtonImageNameSelected = "plus_on";
    else if (_increaseButtonImageNameSelected.empty())
        _increaseButtonImageNameSelected = _increaseButtonImageName;
    _decreaseFrame = QRect(W - F - 2 * H, 0, H, H);
    _increaseFrame = QRect(W - H, 0, H, H);
    _barFrame = QRect(0, 0, W - F - 2 * H, H);
    _knobFrame = QRect(H, 0, H, H);
    _knobDisplayX = H;
    _built = true;
    validateKnobPositionAnimated(true);
}

void KXSlider::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!_built) return;
    // Keep the value and bounds; only the frames follow the new size.
    const int W = width(), H = height();
    const int F = _valueTextFieldWidthNumber ? int(float(*_valueTextFieldWidthNumber)) : 0;
    if (_valueLabel) _valueLabel->setGeometry(W - F - H, 0, F, H);
    _decreaseFrame = QRect(W - F - 2 * H, 0, H, H);
    _increaseFrame = QRect(W - H, 0, H, H);
    _barFrame = QRect(0, 0, W - F - 2 * H, H);
    _knobFrame.setSize(QSize(H, H));
    validateKnobPositionAnimated(false);
}

double KXSlider::validateDoubleValue(double value) const {
    if (value < _minValue) return _minValue;
    if (value > _maxValue) return _maxValue;
    return value;
}

void KXSlider::setDoubleValue(double value) {
    if (value == _doubleValue) return;
    _doubleValue = validateDoubleValue(value);
    validateKnobPositionAnimated(false);
}

void KXSlider::setShowNegativeValue(bool on) {
    _isShowNegativeValue = on;
    update();
}

void KXSlider::setShowRealValue(bool on) {
    if (on == _isShowRealValue) return;
    _isShowRealValue = on;
    if (!on)
        validateSlider();
    else
        validateValueLabel();
}

void KXSlider::setHiddenBackground(bool hidden) {
    _isHiddenBackground = hidden;
    update();
}

void KXSlider::placeKnobX(int x, bool animated) {
    _knobFrame.moveLeft(x);
    _knobAnimation.stop();
    if (animated && isVisible() && _knobDisplayX != x) {
        _knobAnimation.setStartValue(_knobDisplayX);
        _knobAnimation.setEndValue(x);
        _knobAnimation.start();
    } else {
        _knobDisplayX = x;
        update();
    }
}

void KXSlider::validateKnobPositionAnimated(bool animated) {
    if (!_built) return;
    const double span = _maxValue - _minValue;
    // An empty range has nowhere to move the knob to.
    const double fraction = span > 0 ? (validateDoubleValue(_doubleValue) - _minValue) / span : 0.0;
    placeKnobX(nearest(fraction * (_barFrame.width() - _knobFrame.width())), animated);
    if (!_isNeedSetDoubleValueWithoutValidation) validateValueLabel();
}

int64_t KXSlider::getValueInPerscentsFromValue(double value) const {
    const double span = _maxValue - _minValue;
    if (!(span > 0)) return 0;
    return int64_t(std::llround((value - _minValue) / span * double(_maxValueRange)));
}

double KXSlider::getValueFromPerscent(double percent) const {
    const double R = double(_maxValueRange);
    if (R == 0) return _minValue;
    const double halfR = double(_maxValueRange / 2);
    const double p = _isShowNegativeValue ? percent + halfR : percent;
    return _minValue + (_maxValue - _minValue) * p / R;
}

double KXSlider::valueForXPosition(double x) const {
    const double X = _barFrame.x(), K = _knobFrame.width(), B = _barFrame.width();
    if (x < X + K / 2 || B <= K) return _minValue;
    if (x > X + B - K / 2) return _maxValue;
    return _minValue + (x - X - K / 2) * (_maxValue - _minValue) / (B - K);
}

QString KXSlider::valueText() const {
    if (_isShowRealValue) return formatted(_valueTextFieldFormat, _doubleValue);
    const int64_t p = getValueInPerscentsFromValue(_doubleValue);
    if (_isShowNegativeValue) {
        const int64_t q = p - int64_t(_maxValueRange / 2);
        return q == 0 ? QString("0") : QString::asprintf("%+lld", (long long)q);
    }
    return formatted(_valueTextFieldFormat, double(p));
}

void KXSlider::validateValueLabel() {
    if (_valueLabel) _valueLabel->setStringValue(valueText());
}

void KXSlider::step(int direction) {
    const double delta = (_maxValue - _minValue) / 30;
    _doubleValue =
        direction > 0 ? std::min(_maxValue, _doubleValue + delta) : std::max(_minValue, _doubleValue - delta);
    validateKnobPositionAnimated(false);
    _repeat.start();
}

void KXSlider::increase() {
    step(+1);
}
void KXSlider::decrease() {
    step(-1);
}

void KXSlider::textFieldValueWasChangedTo(int64_t value) {
    _isNeedSetDoubleValueWithoutValidation = true;
    setDoubleValue(_isShowRealValue ? double(value) : getValueFromPerscent(double(value)));
    _isNeedSetDoubleValueWithoutValidation = false;
    sendAction();
}

void KXSlider::textFieldValueChangingWasFinished(int64_t value) {
    setDoubleValue(_isShowRealValue ? double(value) : getValueFromPerscent(double(value)));
    sendAction();
}

void KXSlider::setSliderBarSelected(bool selected) {
    if (selected == _sliderSelected) return;
    _sliderSelected = selected;
    if (_caption) {
        QPalette palette = _caption->palette();
        palette.setColor(QPalette::WindowText, selected ? QColor(Qt::white) : QColor(128, 128, 128));
        _caption->setPalette(palette);
    }
    update();
}

void KXSlider::paintBar(QPainter& painter) {
    const std::string on = _sliderSelected ? "_on" : "";
    const QImage left = imageNamedAdditional("adjuster_bar" + on + "_left");
    const QImage centre = imageNamedAdditional("adjuster_bar" + on + "_center");
    const QImage right = imageNamedAdditional("adjuster_bar" + on + "_right");
    const int H = height(), B = _barFrame.width();
    const double lw = TileDrawing::pointSize(left).width(), rw = TileDrawing::pointSize(right).width();
    if (!left.isNull()) painter.drawImage(centredTile(0, lw, left, H), left);
    if (!right.isNull()) painter.drawImage(centredTile(B - rw, rw, right, H), right);
    if (!centre.isNull()) painter.drawImage(centredTile(lw, B - lw - rw, centre, H), centre);
    if (!_adjusterBarAdditionalImageName.empty()) {
        const QImage extra = imageNamedAdditional(_adjusterBarAdditionalImageName);
        const double h = TileDrawing::pointSize(extra).height();
        const double yUp = std::floor((H - h) / 2);
        if (!extra.isNull()) painter.drawImage(QRectF(4, H - yUp - h, B - 8, h), extra);
    }
}

void KXSlider::paintEvent(QPaintEvent*) {
    if (!_built) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!_isHiddenBackground) paintBar(painter);
    const auto drawIn = [&](const QRect& frame, const std::string& name) {
        const QImage image = imageNamedAdditional(name);
        if (image.isNull() || frame.isEmpty()) return;
        QSizeF size = TileDrawing::pointSize(image);
        size.scale(QSizeF(frame.size()), Qt::KeepAspectRatio);
        painter.drawImage(QRectF(QPointF(frame.x() + (frame.width() - size.width()) / 2,
                                         frame.y() + (frame.height() - size.height()) / 2),
                                 size),
                          image);
    };
    if (!_decreaseFrame.isEmpty())
        drawIn(_decreaseFrame,
               _decreaseSelected ? _decreaseButtonImageNameSelected : _decreaseButtonImageName);
    if (!_increaseFrame.isEmpty())
        drawIn(_increaseFrame,
               _increaseSelected ? _increaseButtonImageNameSelected : _increaseButtonImageName);
    QRect knob = _knobFrame;
    knob.moveLeft(_knobDisplayX);
    drawIn(knob, knobImageName(_knobSelected).toStdString());
}

void KXSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint point = event->position().toPoint();
    _valueAtPress = _doubleValue;
    if (_increaseFrame.contains(point) || _decreaseFrame.contains(point)) {
        // Press and hold on plus or minus steps until release.
        (_increaseFrame.contains(point) ? _increaseSelected : _decreaseSelected) = true;
        _pausedIncreasing = false;
        step(_increaseSelected ? +1 : -1);
        update();
        return;
    }
    if (_knobFrame.contains(point)) {
        _knobSelected = true;
    } else if (_barFrame.contains(point)) {
        setSliderBarSelected(true);
        _scheduledGrab.start();
    } else {
        return;
    }
    _doubleValue = validateDoubleValue(valueForXPosition(point.x()));
    validateKnobPositionAnimated(false);
}

void KXSlider::mouseDoubleClickEvent(QMouseEvent* event) {
    _doubleClick = true;
    mousePressEvent(event);
}

void KXSlider::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (!(event->buttons() & Qt::LeftButton)) {
        setSliderBarSelected(_barFrame.contains(point));
        return;
    }
    if (!_knobSelected) return;
    _doubleValue = validateDoubleValue(valueForXPosition(point.x()));
    validateKnobPositionAnimated(false);
    if (_continuous) sendAction();
    if (_selectionCursor && !QApplication::overrideCursor())
        QApplication::setOverrideCursor(*_selectionCursor);
}

void KXSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    _scheduledGrab.stop();
    const bool doubleClick = std::exchange(_doubleClick, false);
    if (_increaseSelected || _decreaseSelected) {
        _repeat.stop();
        _increaseSelected = _decreaseSelected = false;
        update();
        sendAction();
        return;
    }
    setSliderBarSelected(_barFrame.contains(event->position().toPoint()));
    if (!_knobSelected && !_sliderSelected) {
        // A bar press released off the bar still moved the value: the owner must hear of it.
        if (_doubleValue != _valueAtPress) sendAction();
        return;
    }
    if (_selectionCursor) {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        _selectionCursor.reset();
    }
    if (_knobSelected && doubleClick && _defaultValue != kNoDefault) setDoubleValue(_defaultValue);
    _knobSelected = false;
    sendAction();
    update();
}

void KXSlider::leaveEvent(QEvent* event) {
    setSliderBarSelected(false);
    QWidget::leaveEvent(event);
}
