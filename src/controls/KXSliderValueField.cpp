#include "controls/KXSliderValueField.h"

#include "controls/KXSliderValueFieldDelegate.h"
#include "controls/SharedBundle.h"
#include "controls/TileDrawing.h"
#include "controls/VQTextView.h"
#include "platform/foundation/NotificationCenter.h"

#include <QPainter>
#include <cmath>

KXSliderValueField::KXSliderValueField(const QSize& size, QWidget* parent) : QWidget(parent) {
    resize(size);
    const int W = size.width(), H = size.height();
    _valueTextField = new VQTextView(this);
    // y-up (H - 12) / 2 from the bottom for a 14-point field: the same rows from the top here.
    const int y = int(std::lround((H - 12) / 2.0));
    _valueTextField->setGeometry(-3, H - y - 14, W + 6, 14);
    _valueTextField->setStyle(VQTextViewRules::kSliderValue);
    QFont font("Helvetica");
    font.setPixelSize(12);
    _valueTextField->setFont(font);
    _valueTextField->setTextColor(QColor::fromRgbF(0.682f, 0.682f, 0.682f));
    _valueTextField->setMinIntValue(-20000);
    _valueTextField->setMaxIntValue(20000);
    _valueTextField->setAlignment(Qt::AlignCenter);
    _valueTextField->setTextDelegate(this);
    foundation::NotificationCenter::defaultCenter().addObserver(
        this, VQTextView::kStartIntValueDidChange, nullptr, [this](const foundation::Notification& note) {
            const auto* object = note.object.getObject();
            if (!object || object->pointer.get() != static_cast<void*>(_valueTextField)) return;
            if (_delegate)
                _delegate->textFieldValueChangingWasFinished(
                    VQTextViewRules::integerValue(_valueTextField->text()));
        });
}

KXSliderValueField::~KXSliderValueField() {
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
    _valueTextField->setTextDelegate(nullptr);
}

QString KXSliderValueField::stringValue() const {
    return _valueTextField->text();
}

void KXSliderValueField::setStringValue(const QString& text) {
    const int64_t value = VQTextViewRules::integerValue(text);
    if (value < -20000 || value > 20000) return;
    const QSignalBlocker blocker(_valueTextField); // the slider wrote it: not a typed change
    _valueTextField->setStringValue(text);
}

void KXSliderValueField::textDidChangeInTextView(VQTextView* textView) {
    if (_delegate) _delegate->textFieldValueWasChangedTo(VQTextViewRules::integerValue(textView->text()));
}

std::optional<VQTextViewSliderParams> KXSliderValueField::getParamsDictionaryForSlider() {
    if (!_delegate) return std::nullopt;
    VQTextViewSliderParams params;
    params.showNegativeValue = _delegate->isShowNegativeValue();
    const int64_t range = int64_t(_delegate->maxValueRange());
    if (_delegate->isShowRealValue()) {
        params.minValue = int64_t(_delegate->minValue());
        params.maxValue = int64_t(_delegate->maxValue());
    } else if (params.showNegativeValue) {
        params.minValue = -range / 2;
        params.maxValue = range / 2;
    } else {
        params.minValue = 0;
        params.maxValue = range;
    }
    return params;
}

void KXSliderValueField::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QImage left = imageNamedAdditional("slider_input_left"),
                 centre = imageNamedAdditional("slider_input_center"),
                 right = imageNamedAdditional("slider_input_right");
    TileDrawing::drawThreePartImage(painter, QRectF(rect()), left, centre, right);
}
