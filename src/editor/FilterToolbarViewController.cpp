#include "editor/FilterToolbarViewController.h"

#include "controls/KXButton.h"
#include "controls/KXJRVSlider.h"
#include "controls/PanelLabel.h"
#include "controls/SharedBundle.h"
#include "controls/ViewAlpha.h"
#include "editor/FilterToolbarViewControllerDelegate.h"
#include "engine/PostProcessParameter.h"
#include "engine/PostProcessesManager.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/services/KXSLocalization.h"
#include "platform/services/KXStatistics.h"

#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QTransform>

using ViewAlpha::setAlpha;

namespace {

KXButton* button(QWidget* parent, const char* title) {
    auto* b = new KXButton(parent);
    b->resize(100, 24);
    b->setTitle(title);
    return b;
}

QString localized(const char* key) {
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey(key, ""));
}

} // namespace

FilterToolbarViewController::FilterToolbarViewController(QWidget* parent) : QWidget(parent) {
    // The "JRVFilterToolbarView" layout, built in code.
    resize(kWidth, kTwoParametersHeight);
    const QColor light(230, 230, 232), grey(160, 160, 164);
    _filterNameTextField = panelLabel(this, QRect(16, 10, 190, 24), 15, light);
    _filterNameTextField->setFont([&] {
        QFont f = _filterNameTextField->font();
        f.setBold(true);
        return f;
    }());
    _smallSizeButton = new KXButton(this);
    _smallSizeButton->setGeometry(kWidth - 36, 10, 24, 24);
    _smallSizeButton->setCheckable(true);
    _smallSizeButton->setImage(imageNamedAdditional("small_size_btn"));
    connect(_smallSizeButton, &QAbstractButton::clicked, this, [this] { smallSizeClick(_smallSizeButton); });

    _firstSliderTitle = panelLabel(this, QRect(16, 44, 170, 16), 12, grey);
    _firstValueLabel = panelLabel(this, QRect(kWidth - 62, 62, 46, 16), 12, light, Qt::AlignRight);
    _firstSlider = new KXJRVSlider(this);
    _firstSlider->setGeometry(10, 62, kWidth - 80, 16);
    _firstSlider->setJrvValueLabel(_firstValueLabel);
    _firstSlider->validateSlider();
    connect(_firstSlider, &KXSlider::action, this, [this] { firstSliderValueChanged(); });

    _secondSliderTitle = panelLabel(this, QRect(16, 96, 170, 16), 12, grey);
    _secondValueLabel = panelLabel(this, QRect(kWidth - 62, 114, 46, 16), 12, light, Qt::AlignRight);
    _secondSlider = new KXJRVSlider(this);
    _secondSlider->setGeometry(10, 114, kWidth - 80, 16);
    _secondSlider->setJrvValueLabel(_secondValueLabel);
    _secondSlider->validateSlider();
    connect(_secondSlider, &KXSlider::action, this, [this] { secondSliderValueChanged(); });

    _drawButton = button(this, "Paint Mask");
    _drawButton->setIconImageName("brush_icon");
    _hideMaskButton = new KXButton(this);
    _hideMaskButton->resize(36, 24);
    _hideMaskButton->setCheckable(true);
    connect(_hideMaskButton, &QAbstractButton::clicked, this, [this] { hideMaskButtonClick(); });
    _cancelButton = button(this, "Cancel");
    _applyButton = button(this, "Apply");
    connect(_cancelButton, &QAbstractButton::clicked, this, [this] { cancelButtonDidClick(); });
    connect(_applyButton, &QAbstractButton::clicked, this, [this] { applyButtonClick(); });
    connect(_drawButton, &QAbstractButton::clicked, this, [this] { drawButtonClick(); });

    _crosshairImageView = new QLabel(this);
    _crosshairImageView->setPixmap(QPixmap::fromImage(imageNamedAdditional("crosshair_hint")));
    _crosshairImageView->setGeometry(kWidth - 60, 12, 20, 20);
    _crosshairImageView->hide();

    layoutButtons();
    updateHideMaskButtonTitle();
    foundation::NotificationCenter::defaultCenter().addObserver(
        this, PostProcessesManagerHideMaskDidChange, nullptr, [this](const foundation::Notification&) {
            _hideMaskButton->setState(PostProcessesManager::sharedPostProcessesManager().hideMask() ? 1 : 0);
            updateHideMaskButtonTitle();
        });
    QTimer::singleShot(0, this, [this] { validateSliders(); });
}

FilterToolbarViewController::~FilterToolbarViewController() {
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
}

void FilterToolbarViewController::layoutButtons() {
    const int W = width(), H = height();
    _cancelButton->move(16, H - 40);
    _applyButton->move(W - 16 - _applyButton->width(), H - 40);
    _drawButton->move(W - _maskTrailConstraint - _drawButton->width(), H - 76);
    _hideMaskButton->move(W - 16 - _hideMaskButton->width(), H - 76);
}

void FilterToolbarViewController::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutButtons();
}

void FilterToolbarViewController::paintEvent(QPaintEvent*) {
    // The panel floats over the photo: a dark, slightly translucent rounded plate.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(12, 12, 14), 1));
    painter.setBrush(QColor(40, 40, 43, 238));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}

void FilterToolbarViewController::setTitle(const QString& title) {
    setWindowTitle(title);
    if (!title.isNull()) _filterNameTextField->setText(title);
}

QString FilterToolbarViewController::nameFilter() const {
    return _filterNameTextField->text();
}

void FilterToolbarViewController::updateSlidersParams() {
    const auto load = [](KXJRVSlider* slider, QLabel* title, PostProcessParameter* parameter) {
        slider->setMinValue(parameter->min_value());
        slider->setMaxValue(parameter->max_value());
        slider->setDoubleValue(parameter->value());
        slider->setDefaultValue(parameter->default_value());
        // A value past the bounds shows the default instead.
        if (parameter->value() > parameter->max_value() || parameter->value() < parameter->min_value())
            slider->setDoubleValue(parameter->default_value());
        title->setText(QString::fromStdString(parameter->name()));
    };
    if (_param1) {
        _firstSlider->setShowRealValue(_isFrameEffect);
        load(_firstSlider, _firstSliderTitle, _param1);
        _firstSlider->validateKnobPositionAnimated(false);
    }
    if (_param2) load(_secondSlider, _secondSliderTitle, _param2);
}

void FilterToolbarViewController::validateSlidersAnimated(bool animated) {
    const bool first = _param1 && !_smallSize, second = _param2 && !_smallSize;
    setAlpha(_firstSlider, first ? 1 : 0, animated);
    setAlpha(_firstSliderTitle, first ? 1 : 0, animated);
    setAlpha(_firstValueLabel, first ? 1 : 0, animated);
    setAlpha(_secondSlider, second ? 1 : 0, animated);
    setAlpha(_secondSliderTitle, second ? 1 : 0, animated);
    setAlpha(_secondValueLabel, second ? 1 : 0, animated);
    int height = kNoParameterHeight;
    if (_isFrameEffect)
        height = kFrameHeight;
    else if (_param1 && _param2)
        height = kTwoParametersHeight;
    else if (_param1 || _param2)
        height = kOneParameterHeight;

    PostProcessesManager& manager = PostProcessesManager::sharedPostProcessesManager();
    _hideMaskButton->setState(manager.hideMask() ? 1 : 0);
    updateHideMaskButtonTitle();
    resize(width(), height);
    if (_isFrameEffect) {
        for (KXButton* b : {_cancelButton, _drawButton, _applyButton})
            b->hide();
        setAlpha(_hideMaskButton, 0);
        setAlpha(_drawButton, 0);
        return;
    }
    for (KXButton* b : {_cancelButton, _drawButton, _applyButton})
        b->show();
    _hideMaskButton->show();
    if (!_param1 && !_param2) {
        setAlpha(_drawButton, 0, animated && !_smallSize);
        _maskTrailConstraint = 17;
        setAlpha(_hideMaskButton, 0);
    } else {
        const bool masked = manager.mask() != nullptr;
        _maskTrailConstraint = masked ? 57 : 17;
        if (_smallSize)
            setAlpha(_drawButton, 0);
        else
            setAlpha(_drawButton, 1, animated);
        setAlpha(_hideMaskButton, masked ? 1 : 0, animated);
    }
    layoutButtons();
}

void FilterToolbarViewController::setEnabledStateForButtons(bool enabled) {
    _cancelButton->setEnabled(enabled);
    _applyButton->setEnabled(enabled);
}

void FilterToolbarViewController::updateHideMaskButtonTitle() {
    _hideMaskButton->setTitle(localized(_hideMaskButton->state() == 1 ? "OFF" : "ON"));
}

void FilterToolbarViewController::applyButtonClick() {
    setEnabledStateForButtons(false);
    if (_delegate) _delegate->applyButtonDidClick(this);
}

void FilterToolbarViewController::cancelButtonDidClick() {
    setEnabledStateForButtons(false);
    if (_delegate) _delegate->cancelButtonDidClick(this);
}

void FilterToolbarViewController::removeFrameButtonDidClick() {
    if (_delegate) _delegate->frameButtonClick(this);
}

void FilterToolbarViewController::drawButtonClick() {
    if (!_drawButton->isEnabled()) return;
    _drawButton->setEnabled(false);
    services::KXStatistics::useMask();
    if (_delegate) _delegate->drawButtonDidClick(this);
}

void FilterToolbarViewController::hideMaskButtonClick() {
    PostProcessesManager::sharedPostProcessesManager().setHideMask(_hideMaskButton->state() == 1);
    if (_delegate) _delegate->hideMaskButtonDidClick(this);
}

void FilterToolbarViewController::smallSizeClick(QObject* sender) {
    const int state = _smallSizeButton->state();
    const auto turn = [this](int degrees) {
        const QImage arrow = imageNamedAdditional("small_size_btn");
        _smallSizeButton->setImage(degrees ? arrow.transformed(QTransform().rotate(degrees)) : arrow);
    };
    if (state == 1 && !_smallSize) {
        _smallSize = true;
        if (sender)
            foundation::NotificationCenter::defaultCenter().postNotificationName(
                "effectsSidebarStateWasChanged", foundation::Value(true));
        turn(180);
        validateSlidersAnimated(false);
        if (_delegate) _delegate->smallSizeClick(this);
        setAlpha(_filterNameTextField, 0, true, 0.15);
    } else if (state == 0 && _smallSize) {
        _smallSize = false;
        if (sender)
            foundation::NotificationCenter::defaultCenter().postNotificationName(
                "effectsSidebarStateWasChanged", foundation::Value(false));
        turn(0);
        validateSliders();
        if (_delegate) _delegate->smallSizeClick(this);
        setAlpha(_filterNameTextField, 1, true, 0.15);
    }
}

void FilterToolbarViewController::firstSliderValueChanged() {
    if (!_param1) return;
    _param1->setValue(_firstSlider->doubleValue());
    if (_delegate) _delegate->slidersDidChange(this);
}

void FilterToolbarViewController::secondSliderValueChanged() {
    if (!_param2) return;
    _param2->setValue(_secondSlider->doubleValue());
    if (_delegate) _delegate->slidersDidChange(this);
}
