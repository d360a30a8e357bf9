#pragma once
// The panel beside the photo while an effect is selected: the effect's name, one or two sliders
// bound to its first and second parameters, Apply, Cancel, the mask brush, the mask visibility
// button and a toggle that collapses the panel. It changes the parameters itself and asks its
// delegate, the editor, to render again. Frame effects show the slider alone.
#include <QWidget>

class FilterToolbarViewControllerDelegate;
class KXButton;
class KXJRVSlider;
class PostProcessParameter;
class QLabel;

class FilterToolbarViewController : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWidth = 250;
    // Panel heights: frame effect, two parameters, one, none.
    static constexpr int kFrameHeight = 125, kTwoParametersHeight = 235, kOneParameterHeight = 200,
                         kNoParameterHeight = 130;

    explicit FilterToolbarViewController(QWidget* parent = nullptr);
    ~FilterToolbarViewController() override;

    FilterToolbarViewControllerDelegate* delegate() const { return _delegate; }
    void setDelegate(FilterToolbarViewControllerDelegate* delegate) { _delegate = delegate; }
    // The selected effect's parameters, owned by the effect (which lives as long as the catalogue).
    PostProcessParameter* param1() const { return _param1; }
    void setParam1(PostProcessParameter* parameter) { _param1 = parameter; }
    PostProcessParameter* param2() const { return _param2; }
    void setParam2(PostProcessParameter* parameter) { _param2 = parameter; }
    bool isFrameEffect() const { return _isFrameEffect; }
    void setFrameEffect(bool frame) { _isFrameEffect = frame; }

    void setTitle(const QString& title);
    QString nameFilter() const;

    void updateSlidersParams();
    void validateSliders() { validateSlidersAnimated(true); }
    void validateSlidersAnimated(bool animated);
    void setEnabledStateForButtons(bool enabled);
    void updateHideMaskButtonTitle();

    // Button and slider actions, as the controls send them.
    void applyButtonClick();
    void cancelButtonDidClick();
    void removeFrameButtonDidClick();
    void drawButtonClick();
    void hideMaskButtonClick();
    void smallSizeClick(QObject* sender);
    void firstSliderValueChanged();
    void secondSliderValueChanged();

    bool smallSize() const { return _smallSize; }
    KXJRVSlider* firstSlider() const { return _firstSlider; }
    KXJRVSlider* secondSlider() const { return _secondSlider; }
    QLabel* firstSliderTitle() const { return _firstSliderTitle; }
    QLabel* secondSliderTitle() const { return _secondSliderTitle; }
    KXButton* applyButton() const { return _applyButton; }
    KXButton* cancelButton() const { return _cancelButton; }
    KXButton* drawButton() const { return _drawButton; }
    KXButton* hideMaskButton() const { return _hideMaskButton; }
    KXButton* smallSizeButton() const { return _smallSizeButton; }
    QLabel* crosshairImageView() const { return _crosshairImageView; }
    // The draw button's distance from the trailing edge: room for the mask button or not.
    int maskTrailConstraint() const { return _maskTrailConstraint; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void layoutButtons();

    FilterToolbarViewControllerDelegate* _delegate = nullptr;
    PostProcessParameter* _param1 = nullptr;
    PostProcessParameter* _param2 = nullptr;
    bool _isFrameEffect = false;
    bool _smallSize = false;
    int _maskTrailConstraint = 17;
    QLabel* _filterNameTextField = nullptr;
    QLabel* _firstSliderTitle = nullptr;
    QLabel* _secondSliderTitle = nullptr;
    QLabel* _firstValueLabel = nullptr;
    QLabel* _secondValueLabel = nullptr;
    KXJRVSlider* _firstSlider = nullptr;
    KXJRVSlider* _secondSlider = nullptr;
    KXButton* _applyButton = nullptr;
    KXButton* _cancelButton = nullptr;
    KXButton* _drawButton = nullptr;
    KXButton* _hideMaskButton = nullptr;
    KXButton* _smallSizeButton = nullptr;
    QLabel* _crosshairImageView = nullptr;
};
