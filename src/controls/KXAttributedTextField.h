#pragma once
// A label with a soft shadow whose interface text is localised once it is placed; centred titles
// can carry a thin rule on each side. Text set later from code (names of files and presets among
// them) is shown exactly as given.
#include "controls/KXAttributedTextFieldDelegate.h"

#include <QLabel>

class VQView;

class KXAttributedTextField : public QLabel {
  public:
    explicit KXAttributedTextField(QWidget* parent = nullptr) : QLabel(parent) {}

    KXAttributedTextFieldDelegate* textFieldDelegate() const { return _textFieldDelegate; }
    void setTextFieldDelegate(KXAttributedTextFieldDelegate* delegate) {
        _textFieldDelegate = delegate;
    } // not owned
    bool drawHorizontalLine() const { return _drawHorizontalLine; }
    void setDrawHorizontalLine(bool on) { _drawHorizontalLine = on; }
    QColor horisontalLineColor() const { return _horisontalLineColor; }
    void setHorisontalLineColor(const QColor& colour) { _horisontalLineColor = colour; }
    bool noNeedShadow() const { return _noNeedShadow; }
    void setNoNeedShadow(bool on) { _noNeedShadow = on; }
    QString placeholderString() const { return _placeholderString; }
    void setPlaceholderString(const QString& text) { _placeholderString = text; }

    // Set-up once an interface builder has given the text, placeholder and frame: the text and the
    // placeholder are localised as interface texts, then the side rules are placed.
    void awakeFromNib();
    void setStringValue(const QString& text);
    void setTextColor(const QColor& colour);

    // The rules, when shown (left, right); null otherwise.
    VQView* leftRule() const { return _rules[0]; }
    VQView* rightRule() const { return _rules[1]; }

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void customInitialization();
    void placeSideRules();

    KXAttributedTextFieldDelegate* _textFieldDelegate = nullptr;
    bool _drawHorizontalLine = false, _noNeedShadow = false, _initialized = false, _shadow = false;
    QColor _horisontalLineColor = QColor::fromRgbF(0.18f, 0.18f, 0.18f);
    QString _placeholderString;
    VQView* _rules[2] = {nullptr, nullptr};
};
