#include "controls/KXAttributedTextField.h"

#include "controls/TextGeometrics.h"
#include "controls/VQView.h"
#include "platform/services/KXSLocalization.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <cmath>

namespace {
QString localized(const QString& text) {
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey(text.toStdString(), ""));
}
} // namespace

void KXAttributedTextField::awakeFromNib() {
    if (!text().isEmpty()) setText(localized(text()));
    customInitialization();
    if (!_placeholderString.isEmpty()) _placeholderString = localized(_placeholderString);
    placeSideRules();
}

void KXAttributedTextField::customInitialization() {
    if (_initialized || text().isEmpty()) return;
    _initialized = true;
    _shadow = !_noNeedShadow;
    update();
}

void KXAttributedTextField::paintEvent(QPaintEvent* event) {
    if (_shadow) { // its painter ends before the label's own begins
        // The text again in half-transparent black, one point right and one down. Painted rather
        // than given as an effect, which would also shadow the rules inside the field.
        QPainter painter(this);
        QPalette shade = palette();
        shade.setColor(QPalette::WindowText, QColor(0, 0, 0, 128));
        const QRect box = contentsRect().adjusted(margin(), margin(), -margin(), -margin()).translated(1, 1);
        style()->drawItemText(&painter, box, int(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0), shade,
                              isEnabled(), text(), QPalette::WindowText);
    }
    QLabel::paintEvent(event);
}

void KXAttributedTextField::setStringValue(const QString& text) {
    setText(text);
    _initialized = false;
    customInitialization();
}

void KXAttributedTextField::setTextColor(const QColor& colour) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, colour);
    setPalette(palette);
}

void KXAttributedTextField::placeSideRules() {
    if (!_drawHorizontalLine || !(alignment() & Qt::AlignHCenter) || text().isEmpty()) return;
    const double textWidth =
        TextGeometrics::sizeForWidth(text(), font(), float(width()), float(height())).width();
    const double gap = std::round((width() - textWidth) / 2);
    if (gap - 2 <= 0) return;
    // One point high at floor(height / 2) counted from the bottom.
    const int y = height() - int(std::floor(height() / 2.0)) - 1;
    const int xs[2] = {0, int(textWidth + gap + 2)};
    for (int i = 0; i < 2; ++i) {
        if (!_rules[i]) _rules[i] = new VQView(this);
        _rules[i]->setBackgroundColor(_horisontalLineColor);
        _rules[i]->setGeometry(xs[i], y, int(gap - 2), 1);
        _rules[i]->show();
    }
}

void KXAttributedTextField::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    if (_textFieldDelegate) _textFieldDelegate->doubleClickFromTextField(this);
}
