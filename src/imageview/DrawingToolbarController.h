#pragma once
// The painter-mode toolbar: brush size, softness and opacity sliders over a live dab preview,
// paint / erase / hand modes, show-mask, invert, clear, twelve brush presets, the recent mask,
// apply and cancel. It keeps no painting state: every change goes to its delegate.
// Opacity: the slider shows the square root of what is sent (a preset sends its table value and
// puts the slider at its root), so one slider position always means one opacity.
#include <QWidget>
#include <array>

class DrawingToolbarControllerDelegate;
class KXButton;
class KXJRVSlider;
class QLabel;

class DrawingToolbarController : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWidth = 250, kHeight = 452;
    struct Preset {
        double size, softness, opacity;
    };
    static const std::array<Preset, 12>& presets();

    explicit DrawingToolbarController(QWidget* parent = nullptr);

    DrawingToolbarControllerDelegate* delegate() const { return _delegate; }
    // Sends every brush value at once, as the toolbar starts.
    void setDelegate(DrawingToolbarControllerDelegate* delegate);

    void validateAllBrushes();
    void brushSliderValueChanged();
    void softnessSliderValueChanged();
    void opacitySliderValueChanged();
    // Within the size slider's range only: sets it and sends it (presets stay selected).
    void setBrushSize(double size);
    void presetButtonClick(KXButton* button);
    void selectPresetIndex(int index);
    void deselectPresetButtons();
    void validateBrushPreview();
    void drawMaskButtonClick();
    void eraseMaskButtonClick();
    void movingImageButtonClick();
    void switchPaintErase();
    void showMaskButtonClick();
    void showHideMask();
    void invertMaskButtonClick();
    void clearMaskButtonClick();
    void recentMaskDidClick();
    void applyButtonClick();
    void cancelButtonDidClick();

    KXJRVSlider* brushSizeSlider() const { return _brushSizeSlider; }
    KXJRVSlider* softnessSlider() const { return _softnessSlider; }
    KXJRVSlider* opacitySlider() const { return _opacitySlider; }
    KXButton* drawMaskButton() const { return _drawMaskButton; }
    KXButton* eraseMaskButton() const { return _eraseMaskButton; }
    KXButton* movingImageButton() const { return _movingImageButton; }
    KXButton* showMaskButton() const { return _showMaskButton; }
    KXButton* presetButton(int index) const { return _presetButtons[size_t(index)]; }
    KXButton* recentMaskButton() const { return _recentMaskButton; }
    KXButton* applyButton() const { return _applyButton; }
    KXButton* cancelButton() const { return _cancelButton; }
    QLabel* brushPreviewImageView() const { return _brushPreviewImageView; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void pushModeButton(KXButton* pushed);
    // The opacity the slider stands for.
    double opacity() const;

    DrawingToolbarControllerDelegate* _delegate = nullptr;
    KXJRVSlider *_brushSizeSlider, *_softnessSlider, *_opacitySlider;
    KXButton *_drawMaskButton, *_eraseMaskButton, *_movingImageButton, *_showMaskButton;
    KXButton *_invertMaskButton, *_clearMaskButton, *_recentMaskButton, *_applyButton, *_cancelButton;
    std::array<KXButton*, 12> _presetButtons{};
    QLabel* _brushPreviewImageView;
};
