#pragma once
// The adjustments panel: seventeen sliders bound to the adjustment effect's parameters, the levels
// control over the photo's histogram with its gamma knob, four tabs of slider groups, and apply,
// cancel, mask brush and mask visibility. It renders nothing: each change records which adjustment
// moved (`activeSlider`) and asks the editor to render again.
#include "editor/DSSUISliderDelegate.h"
#include "editor/HistogramTables.h"

#include <QWidget>
#include <array>
#include <vector>

class HistogramSlider;
class KXButton;
class KXSlider;
class PostProcessParameter;
class QLabel;
class SuperFilterToolbarViewControllerDelegate;

class SuperFilterToolbarViewController : public QWidget, public DSSUISliderDelegate {
    Q_OBJECT
  public:
    static constexpr int kWidth = 360, kHeight = 300;
    // Slider positions in `sliders()`: the adjustment table's order.
    enum SliderIndex {
        kRedSlider,
        kGreenSlider,
        kBlueSlider,
        kContrastSlider,
        kSaturationSlider,
        kHueSlider,
        kTemperatureSlider,
        kShadowsAmountSlider,
        kShadowsWidthSlider,
        kHighlightsAmountSlider,
        kHighlightsWidthSlider,
        kBrightnessSlider,
        kSharpenAmountSlider,
        kSharpenRadiusSlider,
        kDenoiseSlider,
        kDenoiseRadiusSlider,
        kExposureSlider,
        kSliderCount
    };
    enum Tab { kAdjustTab, kLevelsTab, kSharpenTab, kShadowsTab };

    explicit SuperFilterToolbarViewController(QWidget* parent = nullptr);
    ~SuperFilterToolbarViewController() override;

    SuperFilterToolbarViewControllerDelegate* delegate() const { return _delegate; }
    void setDelegate(SuperFilterToolbarViewControllerDelegate* delegate) { _delegate = delegate; }
    // The adjustment effect's twenty parameters (owned by the effect).
    const std::vector<PostProcessParameter*>& params() const { return _params; }
    void setParams(std::vector<PostProcessParameter*> params) { _params = std::move(params); }
    PostProcessParameter* param1() const { return _param1; }
    void setParam1(PostProcessParameter* p) { _param1 = p; }
    PostProcessParameter* param2() const { return _param2; }
    void setParam2(PostProcessParameter* p) { _param2 = p; }

    void setTitle(const QString& title);
    void validateSliders();
    void restoreDefaults();
    bool filterParamsNotDefault() const;
    bool checkIsValuesChanged() const;
    void validateButtons();
    void disableApplyCancel(bool disable);
    void reloadHistogram();
    void build_histogram_table();
    // Answers the bounds it prints: the first bins from each end where a colour passes 100.
    std::pair<int, int> autoAdjustButtonClick();
    void normalizeGammaValue();
    void updatePositionOfGammaSliderWithHighBoundVal(float high, float low, int64_t mode);
    void selectTab(Tab tab);
    void applyButtonClick();
    void cancelButtonDidClick();
    void drawButtonClick();
    void hideMaskButtonClick();
    void smallSizeClick(int senderState);

    // The slider actions by their code (see `activeSlider`).
    void sliderValueChanged(int index);

    int64_t activeSlider() const { return _activeSlider; }
    float gammaSliderPositionBetweenBoundsSliders() const {
        return m_gammaSliderPositionBetweenBoundsSliders;
    }
    HistogramSlider* histogramSlider() const { return _histogramSlider; }
    KXSlider* slider(int index) const { return _sliders[size_t(index)]; }
    // The gamma knob over the levels control.
    QWidget* gammaKnob() const;
    KXButton* applyButton() const { return _applyButton; }
    KXButton* cancelButton() const { return _cancelButton; }
    KXButton* drawButton() const { return _drawButton; }
    KXButton* hideMaskButton() const { return _hideMaskButton; }
    KXButton* autoAdjustButton() const { return _autoAdjustHistogramButton; }
    KXButton* tabButton(Tab tab) const { return _tabButtons[size_t(tab)]; }
    QWidget* groupView(Tab tab) const;
    bool smallSize() const { return _smallSize; }
    static const HistogramTables& histogramTables();

    // The levels control's messages.
    void valueDidChangedForButtonWithIndex(DSSUISlider* slider, uint64_t index) override;
    void valueIsChangingForButtonAtIndex(DSSUISlider* slider, uint64_t index) override;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    void defaultDenoise();
    void defaultSharpen();
    void turnOffAllTabs(Tab except);
    // lowX and highX of the levels track in this panel's coordinates, for the bounds' values.
    std::pair<float, float> trackX(float low, float high) const;

    SuperFilterToolbarViewControllerDelegate* _delegate = nullptr;
    std::vector<PostProcessParameter*> _params;
    PostProcessParameter* _param1 = nullptr;
    PostProcessParameter* _param2 = nullptr;
    std::array<KXSlider*, kSliderCount> _sliders{};
    HistogramSlider* _histogramSlider = nullptr;
    QLabel* _filterNameTextField = nullptr;
    QLabel* _autoAdjustHistogramTitle = nullptr;
    KXButton *_applyButton = nullptr, *_cancelButton = nullptr, *_drawButton = nullptr,
             *_hideMaskButton = nullptr;
    KXButton* _autoAdjustHistogramButton = nullptr;
    std::array<KXButton*, 4> _tabButtons{};
    std::array<QWidget*, 4> _groups{};
    int64_t _activeSlider = 0;
    bool _noNeedReloadPreview = false;
    bool _smallSize = false;
    float m_gammaSliderPositionBetweenBoundsSliders = 0.5f;
    float m_gammaSliderPositionBetweenBoundsSlidersTemporary = 0.5f;
};
