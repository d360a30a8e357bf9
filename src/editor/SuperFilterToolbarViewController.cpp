#include "editor/SuperFilterToolbarViewController.h"

#include "controls/KXButton.h"
#include "controls/KXSlider.h"
#include "controls/SharedBundle.h"
#include "editor/HistogramSlider.h"
#include "editor/HistogramView.h"
#include "editor/SuperFilterToolbarViewControllerDelegate.h"
#include "engine/PostProcessParameter.h"
#include "engine/PostProcessesManager.h"
#include "platform/services/KXSLocalization.h"
#include "platform/services/KXStatistics.h"

#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QTransform>
#include <cmath>
#include <cstdio>

namespace {

// Parameter index, view tag (0: none), caption, and the action code each slider sends.
struct AdjustmentSlider {
    int parameter;
    int tag;
    const char* caption;
    int code;
    bool negative;
};
constexpr AdjustmentSlider kSliders[SuperFilterToolbarViewController::kSliderCount] = {
    {0, 20, "Red", 1, true},
    {1, 21, "Green", 2, true},
    {2, 22, "Blue", 3, true},
    {3, 23, "Contrast", 4, true},
    {4, 24, "Saturation", 5, true},
    {5, 25, "Hue", 6, true},
    {6, 26, "Temperature", 7, true},
    {7, 27, "Shadows", 8, false},
    {8, 28, "Shadow Width", 9, false},
    {9, 29, "Highlights", 10, false},
    {10, 30, "Highlight Width", 11, false},
    {13, 31, "Brightness", 14, true},
    {14, 0, "Sharpen", 15, false},
    {15, 0, "Sharpen Radius", 16, false},
    {16, 0, "Noise Reduction", 18, false},
    {17, 0, "Noise Radius", 19, false},
    {18, 0, "Exposure", 17, true},
};
// Rows of each group, by slider index.
const std::vector<int> kAdjustRows = {0, 1, 2, 3, 4, 5, 6, 11, 16};
const std::vector<int> kShadowsRows = {7, 8, 9, 10};
const std::vector<int> kSharpenRows = {12, 13, 14, 15};
const char* const kTabImages[4] = {"adjusters", "levels", "sharpen", "shadows"};
const char* const kTabTitles[4] = {"Adjust", "Levels", "Sharpen", "Shadows"};

constexpr int kGroupTop = 74, kRowHeight = 19;
const QRectF kLevelsFrame(23, 0, 314, 96); // y-up inside the levels group

QLabel* caption(QWidget* parent, const QString& text, QRect frame, int pixelSize = 11) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(frame);
    QFont font("Helvetica Neue");
    font.setPixelSize(pixelSize);
    l->setFont(font);
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, QColor(128, 128, 128));
    l->setPalette(palette);
    l->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    return l;
}

KXButton* button(QWidget* parent, const char* title, QRect frame) {
    auto* b = new KXButton(parent);
    b->setGeometry(frame);
    b->setTitle(title);
    return b;
}

HistogramTables& tables() {
    static HistogramTables histogram;
    return histogram;
}

} // namespace

const HistogramTables& SuperFilterToolbarViewController::histogramTables() {
    return tables();
}

SuperFilterToolbarViewController::SuperFilterToolbarViewController(QWidget* parent) : QWidget(parent) {
    // The "SuperFilterToolbarView" layout, built in code.
    resize(kWidth, kHeight);
    _filterNameTextField = caption(this, QString(), QRect(16, 10, 240, 24), 15);
    QPalette light = _filterNameTextField->palette();
    light.setColor(QPalette::WindowText, QColor(230, 230, 232));
    _filterNameTextField->setPalette(light);
    QFont bold = _filterNameTextField->font();
    bold.setBold(true);
    _filterNameTextField->setFont(bold);

    for (int t = 0; t < 4; ++t) {
        KXButton* tab = button(this, kTabTitles[t], QRect(16 + t * 83, 42, 80, 22));
        tab->setImage(imageNamedAdditional(std::string(kTabImages[t]) + "_off"));
        connect(tab, &QAbstractButton::clicked, this, [this, t] { selectTab(Tab(t)); });
        _tabButtons[size_t(t)] = tab;
        auto* group = new QWidget(this);
        group->setGeometry(0, kGroupTop, kWidth, kHeight - kGroupTop - 44);
        _groups[size_t(t)] = group;
    }
    const auto addRows = [this](QWidget* group, const std::vector<int>& rows) {
        for (size_t row = 0; row < rows.size(); ++row) {
            const AdjustmentSlider& spec = kSliders[rows[row]];
            const int y = int(row) * kRowHeight;
            QLabel* title = caption(
                group,
                QString::fromStdString(services::KXSLocalization::localizedStringForKey(spec.caption, "")),
                QRect(16, y, 96, 16));
            auto* slider = new KXSlider(group);
            slider->setGeometry(112, y, kWidth - 112 - 12, 16);
            slider->setValueTextFieldWidthNumber(36);
            slider->validateSlider();
            slider->setDelegate(title);
            slider->setShowNegativeValue(spec.negative);
            const int index = rows[row];
            connect(slider, &KXSlider::action, this, [this, index] { sliderValueChanged(index); });
            _sliders[size_t(index)] = slider;
        }
    };
    addRows(_groups[kAdjustTab], kAdjustRows);
    addRows(_groups[kShadowsTab], kShadowsRows);
    addRows(_groups[kSharpenTab], kSharpenRows);
    _sliders[kHueSlider]->setMaxValueRange(360);

    QWidget* levels = _groups[kLevelsTab];
    _histogramSlider =
        new HistogramSlider(QRectF(kLevelsFrame.x(), levels->height() - 8 - kLevelsFrame.height(),
                                   kLevelsFrame.width(), kLevelsFrame.height()),
                            levels);
    _histogramSlider->setDelegate(this);
    // Below the levels control, which sits at the top of its group.
    const int belowLevels = int(kLevelsFrame.height()) + 20;
    _autoAdjustHistogramButton = button(levels, "Auto", QRect(23, belowLevels, 60, 22));
    _autoAdjustHistogramTitle =
        caption(levels, "Black, gamma and white points", QRect(92, belowLevels, 220, 22));
    connect(_autoAdjustHistogramButton, &QAbstractButton::clicked, this, [this] { autoAdjustButtonClick(); });

    _drawButton = button(this, "Paint Mask", QRect(16, kHeight - 36, 100, 24));
    _drawButton->setIconImageName("brush_icon");
    _hideMaskButton = button(this, "Mask On", QRect(122, kHeight - 36, 40, 24));
    _hideMaskButton->setCheckable(true);
    _cancelButton = button(this, "Cancel", QRect(kWidth - 16 - 170, kHeight - 36, 80, 24));
    _applyButton = button(this, "Apply", QRect(kWidth - 16 - 80, kHeight - 36, 80, 24));
    connect(_drawButton, &QAbstractButton::clicked, this, [this] { drawButtonClick(); });
    connect(_hideMaskButton, &QAbstractButton::clicked, this, [this] { hideMaskButtonClick(); });
    connect(_cancelButton, &QAbstractButton::clicked, this, [this] { cancelButtonDidClick(); });
    connect(_applyButton, &QAbstractButton::clicked, this, [this] { applyButtonClick(); });
    selectTab(kAdjustTab);
}

SuperFilterToolbarViewController::~SuperFilterToolbarViewController() {
    _histogramSlider->setDelegate(nullptr);
}

QWidget* SuperFilterToolbarViewController::gammaKnob() const {
    return _histogramSlider->thirdSlider();
}

QWidget* SuperFilterToolbarViewController::groupView(Tab tab) const {
    return _groups[size_t(tab)];
}

void SuperFilterToolbarViewController::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(12, 12, 14), 1));
    painter.setBrush(QColor(40, 40, 43, 238));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}

void SuperFilterToolbarViewController::setTitle(const QString& title) {
    setWindowTitle(title);
    _filterNameTextField->setText(title);
}

void SuperFilterToolbarViewController::validateSliders() {
    if (_params.size() < 20) return;
    _noNeedReloadPreview = true;
    for (int index : {kShadowsAmountSlider, kShadowsWidthSlider, kHighlightsAmountSlider,
                      kHighlightsWidthSlider, kSharpenAmountSlider, kSharpenRadiusSlider, kDenoiseSlider})
        _sliders[size_t(index)]->setShowNegativeValue(false);
    // The Part's order: red ... brightness, sharpen amount and radius, exposure, denoise, its radius.
    for (int index : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 16, 14, 15}) {
        KXSlider* slider = _sliders[size_t(index)];
        const PostProcessParameter* parameter = _params[size_t(kSliders[index].parameter)];
        slider->setMinValue(parameter->min_value());
        slider->setMaxValue(parameter->max_value());
        slider->setDoubleValue(parameter->value());
        slider->setDefaultValue(parameter->value());
        slider->setContinuous(true);
        slider->validateKnobPositionAnimated(false);
    }
    _noNeedReloadPreview = false;
}

void SuperFilterToolbarViewController::restoreDefaults() {
    if (_params.size() < 20) return;
    _noNeedReloadPreview = true;
    for (int index = 0; index <= 10; ++index)
        _sliders[size_t(index)]->setDoubleValue(_params[size_t(index)]->default_value());
    const std::pair<int, int> others[] = {{kBrightnessSlider, 13},
                                          {kSharpenAmountSlider, 14},
                                          {kSharpenRadiusSlider, 15},
                                          {kDenoiseSlider, 16},
                                          {kExposureSlider, 18}};
    for (auto [index, parameter] : others)
        _sliders[size_t(index)]->setDoubleValue(_params[size_t(parameter)]->default_value());
    disableApplyCancel(true);
    _autoAdjustHistogramButton->setEnabled(true);
    _noNeedReloadPreview = false;
}

bool SuperFilterToolbarViewController::filterParamsNotDefault() const {
    if (_params.size() < 20) return false;
    // Exact comparisons; a NaN differs from everything.
    const auto differs = [](double a, double b) { return !(a == b); };
    for (int index = 0; index <= 10; ++index)
        if (differs(_sliders[size_t(index)]->doubleValue(), _params[size_t(index)]->default_value()))
            return true;
    if (differs(_sliders[kBrightnessSlider]->doubleValue(), _params[13]->default_value())) return true;
    if (differs(_histogramSlider->valueForButtonWithIndex(0), 4.25)) return true;
    if (differs(_histogramSlider->valueForButtonWithIndex(1), double(294.0f * 0.85f))) return true;
    if (differs(_sliders[kSharpenAmountSlider]->doubleValue(), _params[14]->default_value())) return true;
    if (differs(_sliders[kSharpenRadiusSlider]->doubleValue(), _params[15]->default_value())) return true;
    if (differs(_sliders[kDenoiseSlider]->doubleValue(), _params[16]->default_value())) return true;
    if (differs(_sliders[kExposureSlider]->doubleValue(), _params[18]->default_value())) return true;
    return false;
}

bool SuperFilterToolbarViewController::checkIsValuesChanged() const {
    for (const PostProcessParameter* parameter : _params)
        if (parameter && parameter->value() != parameter->default_value()) return true;
    return false;
}

void SuperFilterToolbarViewController::validateButtons() {
    const bool changed = checkIsValuesChanged();
    if (_delegate) _delegate->changeEnabledStateForCompareButton(changed);
    for (KXButton* b : {_drawButton, _applyButton, _cancelButton, _hideMaskButton})
        b->setEnabled(changed);
    _hideMaskButton->setVisible(PostProcessesManager::sharedPostProcessesManager().mask() != nullptr);
}

void SuperFilterToolbarViewController::disableApplyCancel(bool disable) {
    if (!disable) {
        if (_delegate) _delegate->changeEnabledStateForCompareButton(true);
        _applyButton->setEnabled(true);
        _cancelButton->setEnabled(true);
        return;
    }
    if (_delegate) _delegate->changeEnabledStateForCompareButton(false);
    _applyButton->setEnabled(false);
    _cancelButton->setEnabled(false);
    validateButtons();
}

void SuperFilterToolbarViewController::reloadHistogram() {
    build_histogram_table();
    _histogramSlider->histogram_view()->update();
}

void SuperFilterToolbarViewController::build_histogram_table() {
    HistogramTables& histogram = tables();
    histogram.build(_delegate ? _delegate->imageForHistogram() : nullptr);
    const auto table = [](const HistogramTables::Table& t) {
        return HistogramView::Table(t.begin(), t.end());
    };
    HistogramView* view = _histogramSlider->histogram_view();
    view->setRedHistogram(table(histogram.red));
    view->setGreenHistogram(table(histogram.green));
    view->setBlueHistogram(table(histogram.blue));
    view->setHistogram(table(histogram.luminance));
    _histogramSlider->setDelegate(this);
}

std::pair<int, int> SuperFilterToolbarViewController::autoAdjustButtonClick() {
    const HistogramTables& histogram = tables();
    const auto passes = [&](int bin) {
        return histogram.red[size_t(bin)] > 100 || histogram.green[size_t(bin)] > 100 ||
               histogram.blue[size_t(bin)] > 100;
    };
    int low = 0, high = 255;
    for (int bin = 0; bin < 256; ++bin)
        if (passes(bin)) {
            low = bin;
            break;
        }
    for (int bin = 255; bin >= 0; --bin)
        if (passes(bin)) {
            high = bin;
            break;
        }
    std::printf("Auto adjust: %d, %d\n", low, high);
    return {low, high};
}

void SuperFilterToolbarViewController::normalizeGammaValue() {
    m_gammaSliderPositionBetweenBoundsSlidersTemporary =
        std::clamp(m_gammaSliderPositionBetweenBoundsSlidersTemporary, 0.05f, 0.95f);
}

std::pair<float, float> SuperFilterToolbarViewController::trackX(float low, float high) const {
    // The levels control's frame in this panel: x and width W, track of 284 points from W/2 - 142.
    const float x = float(_histogramSlider->x() + _groups[kLevelsTab]->x());
    const float W = float(_histogramSlider->width());
    const float L = W / 2 - 142;
    return {x + L + 284 * (low / 255.0f), x + L + 284 * (high / 255.0f)};
}

void SuperFilterToolbarViewController::updatePositionOfGammaSliderWithHighBoundVal(float high, float low,
                                                                                   int64_t) {
    auto [lowX, highX] = trackX(low, high);
    lowX = std::trunc(lowX);
    highX = std::trunc(highX);
    const float t = m_gammaSliderPositionBetweenBoundsSlidersTemporary;
    float g = (lowX + t * (highX - lowX)) / 0.85f;
    if (g > high / 0.85f - 10)
        g = high / 0.85f - 10;
    else if (g < low / 0.85f + 20)
        g = low / 0.85f + 20;
    if (_activeSlider == 20) return;
    // The knob lives in the levels control: from the panel's x to the control's.
    QWidget* knob = _histogramSlider->thirdSlider();
    const QRectF frame = _histogramSlider->frameOfView(knob);
    const float controlX = float(_histogramSlider->x() + _groups[kLevelsTab]->x());
    _histogramSlider->setFrameOriginOfView(knob, QPointF(g - controlX, frame.y()));
}

void SuperFilterToolbarViewController::valueIsChangingForButtonAtIndex(DSSUISlider*, uint64_t index) {
    float high = float(_histogramSlider->valueForButtonWithIndex(1));
    float low = float(_histogramSlider->valueForButtonWithIndex(0));
    if (index == 0) _activeSlider = 12;
    if (index == 1) _activeSlider = 13;
    updatePositionOfGammaSliderWithHighBoundVal(high, low, 0);
}

void SuperFilterToolbarViewController::valueDidChangedForButtonWithIndex(DSSUISlider*, uint64_t index) {
    _autoAdjustHistogramButton->setEnabled(true);
    float high = float(_histogramSlider->valueForButtonWithIndex(1));
    float low = float(_histogramSlider->valueForButtonWithIndex(0));
    const float v = float(_histogramSlider->valueForButtonWithIndex(index));
    if (index == 2) _activeSlider = 20;
    if (index == 1) _activeSlider = 13, high = v;
    if (index == 0) _activeSlider = 12, low = v;
    if (!_noNeedReloadPreview) {
        if (index == 2) {
            const auto [lowX, highX] = trackX(low, high);
            const float t = (float(int(v)) - lowX) / (highX - lowX);
            if (t != m_gammaSliderPositionBetweenBoundsSliders && std::isfinite(t)) {
                m_gammaSliderPositionBetweenBoundsSliders = std::clamp(t, 0.05f, 0.95f);
                m_gammaSliderPositionBetweenBoundsSlidersTemporary =
                    m_gammaSliderPositionBetweenBoundsSliders;
            }
            normalizeGammaValue();
        }
        updatePositionOfGammaSliderWithHighBoundVal(high, low, 0);
    }
    if (_delegate) _delegate->slidersDidChange(this);
}

void SuperFilterToolbarViewController::defaultDenoise() {
    if (_params.size() < 20) return;
    const double standard = _params[16]->default_value();
    if (_sliders[kDenoiseSlider]->doubleValue() == standard) return;
    _sliders[kDenoiseSlider]->setDoubleValue(standard);
    _activeSlider = 18;
    if (_delegate) _delegate->slidersDidChange(this);
}

void SuperFilterToolbarViewController::defaultSharpen() {
    if (_params.size() < 20) return;
    if (_sliders[kSharpenAmountSlider]->doubleValue() == _params[14]->default_value() &&
        _sliders[kSharpenRadiusSlider]->doubleValue() == _params[15]->default_value())
        return;
    _sliders[kSharpenAmountSlider]->setDoubleValue(_params[14]->default_value());
    _activeSlider = 15;
    if (_delegate) _delegate->slidersDidChange(this);
    _sliders[kSharpenRadiusSlider]->setDoubleValue(_params[15]->default_value());
    _activeSlider = 16;
    if (_delegate) _delegate->slidersDidChange(this);
}

void SuperFilterToolbarViewController::sliderValueChanged(int index) {
    // Sharpening and noise reduction exclude each other.
    if (index == kSharpenAmountSlider || index == kSharpenRadiusSlider) defaultDenoise();
    _activeSlider = kSliders[index].code;
    if (index == kDenoiseSlider) {
        defaultSharpen();
        _activeSlider = kSliders[index].code;
        QTimer::singleShot(0, this, [this] {
            if (_delegate) _delegate->slidersDidChange(this);
        });
        return;
    }
    if (_delegate) _delegate->slidersDidChange(this);
}

void SuperFilterToolbarViewController::turnOffAllTabs(Tab except) {
    for (int t = 0; t < 4; ++t) {
        if (t == except) continue;
        _tabButtons[size_t(t)]->setImage(imageNamedAdditional(std::string(kTabImages[t]) + "_off"));
        _groups[size_t(t)]->hide();
    }
}

void SuperFilterToolbarViewController::selectTab(Tab tab) {
    turnOffAllTabs(tab);
    _tabButtons[size_t(tab)]->setImage(imageNamedAdditional(std::string(kTabImages[tab]) + "_on"));
    _groups[size_t(tab)]->show();
}

void SuperFilterToolbarViewController::applyButtonClick() {
    if (!_applyButton->isEnabled()) return;
    _applyButton->setEnabled(false);
    if (_delegate) _delegate->applyButtonDidClick(this);
}

void SuperFilterToolbarViewController::drawButtonClick() {
    if (!_drawButton->isEnabled()) return;
    _drawButton->setEnabled(false);
    services::KXStatistics::useMask();
    if (_delegate) _delegate->drawButtonDidClick(this);
}

void SuperFilterToolbarViewController::cancelButtonDidClick() {
    if (_delegate) _delegate->cancelButtonDidClick(this);
    validateButtons();
}

void SuperFilterToolbarViewController::hideMaskButtonClick() {
    const bool pushed = _hideMaskButton->state() == 1;
    PostProcessesManager::sharedPostProcessesManager().setHideMask(pushed);
    _hideMaskButton->setTitle(QString::fromStdString(
        services::KXSLocalization::localizedStringForKey(pushed ? "Mask Off" : "Mask On", "")));
    if (_delegate) _delegate->hideMaskButtonDidClick(this);
}

void SuperFilterToolbarViewController::smallSizeClick(int senderState) {
    if (senderState == 0 && !_smallSize) {
        _smallSize = true;
        validateSliders();
        if (_delegate) _delegate->smallSizeClick(this);
        _filterNameTextField->setVisible(false);
        _cancelButton->setVisible(false);
    } else if (senderState == 1 && _smallSize) {
        _smallSize = false;
        validateSliders();
        if (_delegate) _delegate->smallSizeClick(this);
        _filterNameTextField->setVisible(true);
        _cancelButton->setVisible(true);
    }
}
