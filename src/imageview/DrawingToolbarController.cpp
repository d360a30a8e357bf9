#include "imageview/DrawingToolbarController.h"

#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/KXJRVSlider.h"
#include "controls/PanelLabel.h"
#include "engine/PostProcessesManager.h"
#include "imageview/DrawingToolbarControllerDelegate.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>

namespace {

constexpr int kPresetSide = 34;

KXButton* button(QWidget* parent, const char* title, QRect frame) {
    auto* b = new KXButton(parent);
    b->setGeometry(frame);
    b->setTitle(title);
    return b;
}

// A preset's picture: its dab on a dark tile, its size relative to the largest preset; a light
// frame when selected.
QImage presetPicture(const DrawingToolbarController::Preset& p, bool selected) {
    QImage image(kPresetSide * 2, kPresetSide * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(selected ? QPen(QColor(235, 235, 238), 1.5) : QPen(QColor(12, 12, 14), 1));
    painter.setBrush(QColor(24, 24, 26));
    painter.drawRoundedRect(QRectF(0.75, 0.75, kPresetSide - 1.5, kPresetSide - 1.5), 5, 5);
    const double r = 13.0 * p.size / 35.0;
    const QPointF c(kPresetSide / 2.0, kPresetSide / 2.0);
    QRadialGradient dab(c, r);
    const int a = int(std::round(255 * p.opacity));
    dab.setColorAt(0, QColor(255, 255, 255, a));
    dab.setColorAt(std::clamp(1 - p.softness / 100, 0.0, 0.99), QColor(255, 255, 255, a));
    dab.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(dab);
    painter.drawEllipse(c, r, r);
    return image;
}

} // namespace

const std::array<DrawingToolbarController::Preset, 12>& DrawingToolbarController::presets() {
    static const std::array<Preset, 12> table = {{{35, 4, 1.0},
                                                  {35, 90, 0.8},
                                                  {22, 90, 0.75},
                                                  {35, 5, 0.42},
                                                  {35, 100, 0.4},
                                                  {24, 100, 0.4},
                                                  {16, 4, 1.0},
                                                  {13, 90, 0.82},
                                                  {10, 90, 0.5},
                                                  {17, 5, 0.45},
                                                  {15, 100, 0.36},
                                                  {10, 100, 0.3}}};
    return table;
}

DrawingToolbarController::DrawingToolbarController(QWidget* parent) : QWidget(parent) {
    // The "JRVDrawingToolbarController" layout, built in code.
    resize(kWidth, kHeight);
    setFocusPolicy(Qt::StrongFocus);
    const QColor light(230, 230, 232), grey(160, 160, 164);
    _brushPreviewImageView = new QLabel(this);
    _brushPreviewImageView->setGeometry((kWidth - 80) / 2, 12, 80, 80);

    struct SliderRow {
        const char* title;
        KXJRVSlider** slider;
        double minimum, maximum, value;
        bool real;
    };
    const SliderRow rows[] = {{"Size", &_brushSizeSlider, 10, 200, 60, true},
                              {"Softness", &_softnessSlider, 0, 100, 100, true},
                              {"Opacity", &_opacitySlider, 0.01, 1, 1, false}};
    int y = 102;
    for (const SliderRow& row : rows) {
        panelLabel(this, QRect(16, y, 120, 16), 12, grey)->setText(row.title);
        QLabel* value = panelLabel(this, QRect(kWidth - 62, y + 18, 46, 16), 12, light, Qt::AlignRight);
        auto* slider = new KXJRVSlider(this);
        slider->setGeometry(10, y + 18, kWidth - 80, 16);
        slider->setJrvValueLabel(value);
        slider->validateSlider();
        slider->setMinValue(row.minimum);
        slider->setMaxValue(row.maximum);
        slider->setDefaultValue(row.value);
        slider->setDoubleValue(row.value);
        slider->setShowRealValue(row.real);
        slider->setShowNegativeValue(false);
        slider->setContinuous(true);
        slider->validateKnobPositionAnimated(false);
        *row.slider = slider;
        y += 44;
    }
    connect(_brushSizeSlider, &KXSlider::action, this, [this] { brushSliderValueChanged(); });
    connect(_softnessSlider, &KXSlider::action, this, [this] { softnessSliderValueChanged(); });
    connect(_opacitySlider, &KXSlider::action, this, [this] { opacitySliderValueChanged(); });

    _drawMaskButton = button(this, "Paint", QRect(16, y, 70, 24));
    _eraseMaskButton = button(this, "Erase", QRect(90, y, 70, 24));
    _movingImageButton = button(this, "Move", QRect(164, y, 70, 24));
    connect(_drawMaskButton, &QAbstractButton::clicked, this, [this] { drawMaskButtonClick(); });
    connect(_eraseMaskButton, &QAbstractButton::clicked, this, [this] { eraseMaskButtonClick(); });
    connect(_movingImageButton, &QAbstractButton::clicked, this, [this] { movingImageButtonClick(); });
    y += 30;
    _showMaskButton = button(this, "Show Mask", QRect(16, y, 70, 24));
    // Pushed buttons show it by their title's colour.
    for (KXButton* b : {_drawMaskButton, _eraseMaskButton, _movingImageButton, _showMaskButton})
        b->setSelectedButtonFontColor(QColor(110, 175, 255));
    _invertMaskButton = button(this, "Invert", QRect(90, y, 70, 24));
    _clearMaskButton = button(this, "Clear", QRect(164, y, 70, 24));
    connect(_showMaskButton, &QAbstractButton::clicked, this, [this] {
        _showMaskButton->setState(_showMaskButton->state() ? 0 : 1);
        showMaskButtonClick();
    });
    connect(_invertMaskButton, &QAbstractButton::clicked, this, [this] { invertMaskButtonClick(); });
    connect(_clearMaskButton, &QAbstractButton::clicked, this, [this] { clearMaskButtonClick(); });
    y += 34;
    for (int i = 0; i < 12; ++i) {
        auto* b = new KXButton(this);
        b->setGeometry(16 + (i % 6) * (kPresetSide + 3), y + (i / 6) * (kPresetSide + 4), kPresetSide,
                       kPresetSide);
        b->setImage(presetPicture(presets()[size_t(i)], false));
        connect(b, &QAbstractButton::clicked, this, [this, b] { presetButtonClick(b); });
        _presetButtons[size_t(i)] = b;
    }
    y += 2 * (kPresetSide + 4) + 4;
    _recentMaskButton = button(this, "Recent Mask", QRect(16, y, kWidth - 32, 24));
    connect(_recentMaskButton, &QAbstractButton::clicked, this, [this] { recentMaskDidClick(); });
    _cancelButton = button(this, "Cancel", QRect(16, kHeight - 40, 100, 24));
    _applyButton = button(this, "Apply", QRect(kWidth - 116, kHeight - 40, 100, 24));
    connect(_cancelButton, &QAbstractButton::clicked, this, [this] { cancelButtonDidClick(); });
    connect(_applyButton, &QAbstractButton::clicked, this, [this] { applyButtonClick(); });

    _recentMaskButton->setEnabled(PostProcessesManager::sharedPostProcessesManager().recentMask() != nullptr);
    pushModeButton(_drawMaskButton);
    deselectPresetButtons();
}

void DrawingToolbarController::setDelegate(DrawingToolbarControllerDelegate* delegate) {
    _delegate = delegate;
    validateAllBrushes();
}

double DrawingToolbarController::opacity() const {
    return _opacitySlider->doubleValue() * _opacitySlider->doubleValue();
}

void DrawingToolbarController::validateAllBrushes() {
    if (_delegate) {
        _delegate->brushSizeDidChange(this, _brushSizeSlider->doubleValue());
        _delegate->softnessDidChange(this, _softnessSlider->doubleValue());
        _delegate->opacityDidChange(this, opacity());
    }
    validateBrushPreview();
}

void DrawingToolbarController::brushSliderValueChanged() {
    if (_delegate) _delegate->brushSizeDidChange(this, _brushSizeSlider->doubleValue());
    validateBrushPreview();
    deselectPresetButtons();
}

void DrawingToolbarController::softnessSliderValueChanged() {
    if (_delegate) _delegate->softnessDidChange(this, _softnessSlider->doubleValue());
    validateBrushPreview();
    deselectPresetButtons();
}

void DrawingToolbarController::opacitySliderValueChanged() {
    if (_delegate) _delegate->opacityDidChange(this, opacity());
    validateBrushPreview();
    deselectPresetButtons();
}

void DrawingToolbarController::setBrushSize(double size) {
    if (size < _brushSizeSlider->minValue() || size > _brushSizeSlider->maxValue()) return;
    _brushSizeSlider->setDoubleValue(size);
    if (_delegate) _delegate->brushSizeDidChange(this, size);
    validateBrushPreview();
}

void DrawingToolbarController::presetButtonClick(KXButton* button) {
    deselectPresetButtons();
    for (size_t i = 0; i < _presetButtons.size(); ++i) {
        if (_presetButtons[i] != button) continue;
        button->setState(1);
        button->setImage(presetPicture(presets()[i], true));
        selectPresetIndex(int(i));
    }
}

void DrawingToolbarController::selectPresetIndex(int index) {
    if (index < 0 || index >= int(presets().size())) return;
    const Preset& p = presets()[size_t(index)];
    _brushSizeSlider->setDoubleValue(p.size);
    _softnessSlider->setDoubleValue(p.softness);
    _opacitySlider->setDoubleValue(std::sqrt(p.opacity));
    if (_delegate) {
        _delegate->brushSizeDidChange(this, p.size);
        _delegate->softnessDidChange(this, p.softness);
        _delegate->opacityDidChange(this, p.opacity);
    }
    validateBrushPreview();
}

void DrawingToolbarController::deselectPresetButtons() {
    for (size_t i = 0; i < _presetButtons.size(); ++i) {
        if (_presetButtons[i]->state() == 0 && !_presetButtons[i]->image().isNull()) continue;
        _presetButtons[i]->setState(0);
        _presetButtons[i]->setImage(presetPicture(presets()[i], false));
    }
}

void DrawingToolbarController::validateBrushPreview() {
    if (!_delegate) return;
    const QSize size = _brushPreviewImageView->size();
    const graphics::ImagePtr preview = _delegate->previewImageForDrawingToolbarController(
        this, size, _brushSizeSlider->doubleValue(), _softnessSlider->doubleValue(), opacity());
    _brushPreviewImageView->setPixmap(QPixmap::fromImage(ImageAdditional::toQImage(preview)));
}

void DrawingToolbarController::pushModeButton(KXButton* pushed) {
    for (KXButton* b : {_drawMaskButton, _eraseMaskButton, _movingImageButton})
        b->setState(b == pushed ? 1 : 0);
}

void DrawingToolbarController::drawMaskButtonClick() {
    if (_delegate) {
        _delegate->moveImage(this, false);
        _delegate->eraseMask(this, false);
    }
    pushModeButton(_drawMaskButton);
}

void DrawingToolbarController::eraseMaskButtonClick() {
    if (_delegate) {
        _delegate->moveImage(this, false);
        _delegate->eraseMask(this, true);
    }
    pushModeButton(_eraseMaskButton);
}

void DrawingToolbarController::movingImageButtonClick() {
    if (_delegate) _delegate->moveImage(this, true);
    pushModeButton(_movingImageButton);
}

void DrawingToolbarController::switchPaintErase() {
    if (_drawMaskButton->state())
        eraseMaskButtonClick();
    else
        drawMaskButtonClick();
}

void DrawingToolbarController::showMaskButtonClick() {
    if (_delegate) _delegate->showMask(this, _showMaskButton->state() != 0);
}

void DrawingToolbarController::showHideMask() {
    _showMaskButton->setState(_showMaskButton->state() ? 0 : 1);
    showMaskButtonClick();
}

void DrawingToolbarController::invertMaskButtonClick() {
    if (_delegate) _delegate->invertMaskForDrawingToolbarController(this);
}

void DrawingToolbarController::clearMaskButtonClick() {
    if (_delegate) _delegate->clearMaskForDrawingToolbarController(this);
}

void DrawingToolbarController::recentMaskDidClick() {
    if (_delegate)
        _delegate->applyMask(this, PostProcessesManager::sharedPostProcessesManager().recentMask());
}

void DrawingToolbarController::applyButtonClick() {
    if (!_applyButton->isEnabled()) return;
    _applyButton->setEnabled(false);
    if (_delegate) _delegate->applyButtonDidClick(this);
}

void DrawingToolbarController::cancelButtonDidClick() {
    if (!_cancelButton->isEnabled()) return;
    _cancelButton->setEnabled(false);
    if (_delegate) _delegate->cancelButtonDidClick(this);
}

void DrawingToolbarController::keyPressEvent(QKeyEvent* event) {
    const bool command = event->modifiers() & Qt::ControlModifier;
    if (command && event->key() == Qt::Key_I) {
        invertMaskButtonClick();
    } else if (command && event->key() == Qt::Key_Backspace) {
        clearMaskButtonClick();
    } else if (event->text() == "/") {
        showHideMask();
    } else if (event->text() == "[") {
        _brushSizeSlider->decrease();
        brushSliderValueChanged();
    } else if (event->text() == "]") {
        _brushSizeSlider->increase();
        brushSliderValueChanged();
    } else if (event->text() == "x") {
        switchPaintErase();
    } else {
        QWidget::keyPressEvent(event);
    }
}

void DrawingToolbarController::paintEvent(QPaintEvent*) {
    // The same dark, slightly translucent plate as the other toolbars.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(12, 12, 14), 1));
    painter.setBrush(QColor(40, 40, 43, 238));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}
