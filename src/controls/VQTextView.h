#pragma once
// The kit's one-line skinned text field. Every keystroke is checked against the rules of its
// style (preset name, bounded integer, search field, longer text, slider value box); committed
// integers are announced with "VQTextViewStartIntValueUserDidChange".
#include "controls/VQButton.h"
#include "controls/VQTextViewRules.h"

#include <QLineEdit>
#include <QPointer>
#include <QTimer>

class QLabel;
class VQTextViewTextDelegate;

class VQTextView : public QLineEdit {
    Q_OBJECT
  public:
    static constexpr const char* kStartIntValueDidChange = "VQTextViewStartIntValueUserDidChange";

    explicit VQTextView(QWidget* parent = nullptr);
    ~VQTextView() override;

    int32_t style() const { return _rules.style; }
    void setStyle(int32_t style);

    VQTextViewTextDelegate* textDelegate() const { return _textDelegate; }
    void setTextDelegate(VQTextViewTextDelegate* delegate) { _textDelegate = delegate; }
    const std::optional<VQTextViewSliderParams>& paramsForSliderString() const { return _rules.params; }
    void setParamsForSliderString(std::optional<VQTextViewSliderParams> params) { _rules.params = params; }

    int64_t minIntValue() const { return _minIntValue; }
    void setMinIntValue(int64_t value);
    int64_t maxIntValue() const { return _maxIntValue; }
    void setMaxIntValue(int64_t value);
    int64_t startIntValue() const { return _startIntValue; }
    void setStartIntValue(int64_t value);
    QString stringValue() const { return QString::number(_startIntValue); }
    void setStringValue(const QString& text) { setStartIntValue(VQTextViewRules::integerValue(text)); }

    void setTextColor(const QColor& colour);
    bool isCorrectedString(const QString& proposed) const {
        return _rules.isCorrectedString(proposed, text()).accept;
    }

    void clearSearchField();
    void resetTextButtonClick();
    bool isSelected() const { return _isSelected; }
    VQButton* closeButton() const { return _closeButton; }

    // Masked mode: the real text is kept apart and shown as dots.
    bool sequired() const { return _sequired; }
    void setSequired(bool on);
    const QString& originalPassword() const { return _originalPassword; }
    void setOriginalPassword(const QString& password);
    std::optional<QString> cryptedPassword() const;
    void setCryptedPassword(const QString& base64);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Applies the rules to a change of [start, start + length) into `replacement`; true when the
    // caller may let it through.
    bool allowChange(int start, int length, const QString& replacement);
    void didChangeText();
    void postStartIntValueChange();
    void commitLater();
    void endEditing();
    void layoutSearchControls();

    VQTextViewRules _rules;
    VQTextViewTextDelegate* _textDelegate = nullptr;
    int64_t _minIntValue = 1, _maxIntValue = 50000, _startIntValue = 500;
    bool _isSelected = false;
    bool _sequired = false;
    QString _originalPassword;
    QPointer<VQButton> _closeButton;
    QLabel* _magnifier = nullptr;
    QTimer _selectAll;
};
