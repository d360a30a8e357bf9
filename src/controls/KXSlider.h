#pragma once
// The skinned horizontal value slider of the toolbars: a bar of three tiles, a knob, minus and
// plus images and an optional value box. It keeps its own value and bounds and sends its action
// (the `action` signal) itself. The box shows the value as a real number or as a percent of
// `maxValueRange`, centred on zero with negative display.
#include "controls/KXSliderValueFieldDelegate.h"

#include <QCursor>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>
#include <optional>
#include <string>

class KXSliderValueField;
#include <QLabel>

class KXSlider : public QWidget, public KXSliderValueFieldDelegate {
    Q_OBJECT
  public:
    // 2^63 as a double: no default set.
    static constexpr double kNoDefault = 9223372036854775808.0;

    explicit KXSlider(QWidget* parent = nullptr);
    ~KXSlider() override;

    // Rebuilds the skin for the current size and resets range 0...1, value 0.5, no default.
    virtual void validateSlider();

    double minValue() const override { return _minValue; }
    void setMinValue(double value) { _minValue = value; }
    double maxValue() const override { return _maxValue; }
    void setMaxValue(double value) { _maxValue = value; }
    double doubleValue() const { return _doubleValue; }
    double curentValue() const override { return _doubleValue; }
    void setDoubleValue(double value);
    double validateDoubleValue(double value) const;
    double defaultValue() const { return _defaultValue; }
    void setDefaultValue(double value) { _defaultValue = value; }

    bool isShowNegativeValue() const override { return _isShowNegativeValue; }
    void setShowNegativeValue(bool on);
    bool isShowRealValue() const override { return _isShowRealValue; }
    void setShowRealValue(bool on);
    bool isHiddenBackground() const { return _isHiddenBackground; }
    void setHiddenBackground(bool hidden);
    uint64_t maxValueRange() const override { return _maxValueRange; }
    void setMaxValueRange(uint64_t range) { _maxValueRange = range; }
    bool isContinuous() const { return _continuous; }
    void setContinuous(bool on) { _continuous = on; }

    void setDecreaseButtonImageName(std::string name) { _decreaseButtonImageName = std::move(name); }
    void setIncreaseButtonImageName(std::string name) { _increaseButtonImageName = std::move(name); }
    void setDecreaseButtonImageNameSelected(std::string name) {
        _decreaseButtonImageNameSelected = std::move(name);
    }
    void setIncreaseButtonImageNameSelected(std::string name) {
        _increaseButtonImageNameSelected = std::move(name);
    }
    const std::string& valueTextFieldFormat() const { return _valueTextFieldFormat; }
    void setValueTextFieldFormat(std::string format) { _valueTextFieldFormat = std::move(format); }
    std::optional<double> valueTextFieldWidthNumber() const { return _valueTextFieldWidthNumber; }
    void setValueTextFieldWidthNumber(std::optional<double> width) { _valueTextFieldWidthNumber = width; }
    void setAdjusterBarAdditionalImageName(std::string name) {
        _adjusterBarAdditionalImageName = std::move(name);
    }
    void setSelectionCursor(std::optional<QCursor> cursor) { _selectionCursor = std::move(cursor); }
    // A caption outside the slider whose text turns white while the bar is hovered.
    QLabel* delegate() const { return _caption; }
    void setDelegate(QLabel* caption) { _caption = caption; }
    KXSliderValueField* valueLabel() const { return _valueLabel; }

    // Places the knob for the value and refreshes the value box.
    void validateKnobPositionAnimated(bool animated);
    int64_t getValueInPerscentsFromValue(double value) const;
    double getValueFromPerscent(double percent) const;
    double valueForXPosition(double x) const;
    // The text the value box shows for the current value.
    QString valueText() const;

    void increase();
    void decrease();
    bool isChangingContinue() const { return _knobSelected || _increaseSelected || _decreaseSelected; }
    bool knobSelected() const { return _knobSelected; }
    bool sliderSelected() const { return _sliderSelected; }

    // Frames in the slider's own (Qt) coordinates; the knob's is its placed (final) frame.
    QRect barFrame() const { return _barFrame; }
    QRect knobFrame() const { return _knobFrame; }
    QRect decreaseFrame() const { return _decreaseFrame; }
    QRect increaseFrame() const { return _increaseFrame; }

    void textFieldValueWasChangedTo(int64_t value) override;
    void textFieldValueChangingWasFinished(int64_t value) override;

  signals:
    // The slider's action, sent to its target.
    void action(KXSlider* sender);

  protected:
    virtual void validateValueLabel();
    virtual QString knobImageName(bool grabbed) const {
        return grabbed ? "adjuster_tumb_on" : "adjuster_tumb";
    }
    virtual void paintBar(QPainter& painter);
    void setSliderBarSelected(bool selected);
    void sendAction() { emit action(this); }
    void placeKnobX(int x, bool animated);
    int knobDisplayX() const { return _knobDisplayX; }
    static int nearest(double x) { return int(std::lround(x)); }

    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    double _minValue = 0, _maxValue = 1, _doubleValue = 0.5, _defaultValue = kNoDefault;
    uint64_t _maxValueRange = 100;
    bool _isShowNegativeValue = true, _isShowRealValue = false, _isHiddenBackground = false,
         _continuous = true;
    bool _knobSelected = false, _sliderSelected = false;
    bool _increaseSelected = false, _decreaseSelected = false, _pausedIncreasing = false;
    bool _isNeedSetDoubleValueWithoutValidation = false;
    std::string _decreaseButtonImageName, _increaseButtonImageName, _decreaseButtonImageNameSelected,
        _increaseButtonImageNameSelected;
    std::string _valueTextFieldFormat = "%.f";
    std::optional<double> _valueTextFieldWidthNumber;
    std::string _adjusterBarAdditionalImageName;
    std::optional<QCursor> _selectionCursor;
    QPointer<QLabel> _caption;
    KXSliderValueField* _valueLabel = nullptr;
    QRect _barFrame, _knobFrame, _decreaseFrame, _increaseFrame;
    int _knobDisplayX = 0;
    QVariantAnimation _knobAnimation;
    QTimer _scheduledGrab, _repeat;
    bool _doubleClick = false;
    double _valueAtPress = 0;
    bool _built = false;

  private:
    void step(int direction);
};
