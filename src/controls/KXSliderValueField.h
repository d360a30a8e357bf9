#pragma once
// The small skinned box beside a slider in which its value is shown and typed.
#include "controls/VQTextViewTextDelegate.h"

#include <QWidget>

class KXSliderValueFieldDelegate;
class VQTextView;

class KXSliderValueField : public QWidget, public VQTextViewTextDelegate {
    Q_OBJECT
  public:
    explicit KXSliderValueField(const QSize& size, QWidget* parent = nullptr);
    ~KXSliderValueField() override;

    KXSliderValueFieldDelegate* delegate() const { return _delegate; }
    void setDelegate(KXSliderValueFieldDelegate* delegate) { _delegate = delegate; }
    VQTextView* valueTextField() const { return _valueTextField; }
    bool isEditable() const { return _editable; }
    void setEditable(bool editable) { _editable = editable; }

    QString stringValue() const;
    // Shows the integer value of the text ("+12" as "12"); values past +-20000 leave it as it was.
    void setStringValue(const QString& text);

    void textDidChangeInTextView(VQTextView* textView) override;
    std::optional<VQTextViewSliderParams> getParamsDictionaryForSlider() override;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    VQTextView* _valueTextField = nullptr;
    KXSliderValueFieldDelegate* _delegate = nullptr;
    bool _editable = true;
};
