#include "controls/VQTextView.h"

#include "controls/SharedBundle.h"
#include "controls/TileDrawing.h"
#include "controls/VQButton.h"
#include "controls/VQTextViewTextDelegate.h"
#include "platform/foundation/NotificationCenter.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <algorithm>

VQTextView::VQTextView(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setContextMenuPolicy(Qt::NoContextMenu); // every insertion goes through the rules
    setAcceptDrops(false);
    setDragEnabled(false);
    setFocusPolicy(Qt::ClickFocus); // Tab does not move into the field
    _selectAll.setSingleShot(true);
    _selectAll.setInterval(0);
    connect(&_selectAll, &QTimer::timeout, this, &QLineEdit::selectAll);
    connect(this, &QLineEdit::textChanged, this, [this] { didChangeText(); });
}

VQTextView::~VQTextView() {
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
}

void VQTextView::setStyle(int32_t style) {
    _rules.style = style;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, QColor::fromRgbF(0.682f, 0.682f, 0.682f));
    palette.setColor(QPalette::Highlight, QColor::fromRgbF(0.31f, 0.31f, 0.31f));
    palette.setColor(QPalette::HighlightedText, QColor::fromRgbF(0.9f, 0.9f, 0.9f));
    setPalette(palette);
    QFont font("Helvetica");
    font.setPixelSize(13);
    setFont(font);
    if (style == VQTextViewRules::kSearch) {
        setTextMargins(25, 3, 25, 3);
        if (!_magnifier) {
            _magnifier = new QLabel(this);
            _magnifier->setAttribute(Qt::WA_TransparentForMouseEvents);
            _magnifier->setAlignment(Qt::AlignCenter);
            _magnifier->setPixmap(QPixmap::fromImage(imageNamedAdditional("search_btn")));
        }
        delete _closeButton;
        _closeButton = new VQButton(this);
        _closeButton->setImage(imageNamedAdditional("close_btn"));
        _closeButton->setCursor(Qt::ArrowCursor);
        connect(_closeButton, &QAbstractButton::clicked, this, &VQTextView::resetTextButtonClick);
        layoutSearchControls();
        _closeButton->setVisible(!text().isEmpty());
    } else if (style != VQTextViewRules::kSliderValue) {
        setTextMargins(2, 4, 2, 4);
    } else {
        setTextMargins(0, 0, 0, 0);
    }
    update();
}

void VQTextView::layoutSearchControls() {
    if (_magnifier) _magnifier->setGeometry(5, 3, 19, 19);
    if (_closeButton) _closeButton->setGeometry(width() - 25, 3, 18, 18);
}

void VQTextView::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    layoutSearchControls();
}

void VQTextView::setMinIntValue(int64_t value) {
    if (value >= _maxIntValue) return;
    _minIntValue = value;
    if (_startIntValue < value) setStartIntValue(value);
}

void VQTextView::setMaxIntValue(int64_t value) {
    if (value <= _minIntValue) return;
    _maxIntValue = value;
    if (_startIntValue > value) setStartIntValue(value);
}

void VQTextView::setStartIntValue(int64_t value) {
    if (value < _minIntValue || value > _maxIntValue) return;
    _startIntValue = value;
    setText(QString::number(value));
}

void VQTextView::setTextColor(const QColor& colour) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Text, colour);
    setPalette(palette);
}

void VQTextView::clearSearchField() {
    if (_rules.style == VQTextViewRules::kSearch) resetTextButtonClick();
}

void VQTextView::resetTextButtonClick() {
    if (text().isEmpty()) {
        didChangeText();
        return;
    }
    clear(); // textChanged runs didChangeText
}

bool VQTextView::allowChange(int start, int length, const QString& replacement) {
    const VQTextViewRules::Decision decision = _rules.shouldChange(text(), start, length, replacement);
    if (decision.endEditing) {
        endEditing();
        return false;
    }
    if (decision.forcedText) {
        setText(*decision.forcedText);
        commitLater();
    }
    if (_sequired) {
        _originalPassword.replace(start, length, replacement);
    }
    return decision.accept;
}

void VQTextView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        endEditing();
        return;
    }
    const int selStart = hasSelectedText() ? selectionStart() : cursorPosition();
    const int selLength = hasSelectedText() ? int(selectedText().size()) : 0;
    if (event->matches(QKeySequence::Paste)) {
        const QString pasted = QApplication::clipboard()->text();
        if (!pasted.isEmpty() && allowChange(selStart, selLength, pasted)) insert(pasted);
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        if (selLength > 0 && allowChange(selStart, selLength, QString())) QLineEdit::keyPressEvent(event);
        return;
    }
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
        int start = selStart, length = selLength;
        if (length == 0) {
            if (key == Qt::Key_Backspace && start > 0)
                start -= 1, length = 1;
            else if (key == Qt::Key_Delete && start < text().size())
                length = 1;
        }
        if (length == 0 || allowChange(start, length, QString())) QLineEdit::keyPressEvent(event);
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint()) {
        if (allowChange(selStart, selLength, typed)) QLineEdit::keyPressEvent(event);
        return;
    }
    QLineEdit::keyPressEvent(event); // movement and selection keys
}

void VQTextView::inputMethodEvent(QInputMethodEvent* event) {
    const QString committed = event->commitString();
    if (!committed.isEmpty()) {
        const int selStart = hasSelectedText() ? selectionStart() : cursorPosition();
        const int selLength = hasSelectedText() ? int(selectedText().size()) : 0;
        if (!allowChange(selStart, selLength, committed)) {
            event->setCommitString(QString());
        }
    }
    QLineEdit::inputMethodEvent(event);
}

void VQTextView::endEditing() {
    if (QWidget* window = this->window()) window->setFocus(Qt::OtherFocusReason);
    clearFocus();
}

void VQTextView::didChangeText() {
    if (_sequired && !_originalPassword.isEmpty() &&
        text() != QString(_originalPassword.size(), QChar(0x25CF))) {
        const QSignalBlocker blocker(this);
        setText(QString(_originalPassword.size(), QChar(0x25CF)));
    }
    if (_closeButton) _closeButton->setVisible(!text().isEmpty());
    if (_textDelegate) _textDelegate->textDidChangeInTextView(this);
}

void VQTextView::postStartIntValueChange() {
    foundation::NotificationCenter::defaultCenter().postNotificationName(
        kStartIntValueDidChange, foundation::Value::reference(this, "VQTextView"));
}

void VQTextView::commitLater() {
    QTimer::singleShot(100, this, [this] { postStartIntValueChange(); });
}

void VQTextView::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (_textDelegate)
        if (auto params = _textDelegate->getParamsDictionaryForSlider()) _rules.params = params;
    if (_rules.style == VQTextViewRules::kBoundedInteger) {
        const int64_t value = VQTextViewRules::integerValue(text());
        const bool usable = isCorrectedString(text()) && value >= _minIntValue && value <= _maxIntValue;
        setText(QString::number(usable ? value : _minIntValue));
    }
    if (_rules.style == VQTextViewRules::kSearch) {
        _isSelected = true;
        update();
    }
    _selectAll.stop();
    _selectAll.start();
}

void VQTextView::focusOutEvent(QFocusEvent* event) {
    _selectAll.stop();
    switch (_rules.style) {
    case VQTextViewRules::kBoundedInteger: {
        const int64_t value = std::clamp(VQTextViewRules::integerValue(text()), _minIntValue, _maxIntValue);
        if (isCorrectedString(text()))
            setText(QString::number(value));
        else
            setText(QString::number(_startIntValue));
        deselect();
        if (_startIntValue != value) {
            _startIntValue = value;
            postStartIntValueChange();
        }
        break;
    }
    case VQTextViewRules::kSliderValue: {
        QString digits;
        for (QChar c : text())
            if (c == u'-' || (c >= u'0' && c <= u'9')) digits += c;
        deselect();
        const int64_t lo = _rules.params ? _rules.params->minValue : 0;
        const int64_t hi = _rules.params ? _rules.params->maxValue : 0;
        if (digits.isEmpty()) digits = QString::number(lo);
        const int64_t value = VQTextViewRules::integerValue(digits);
        if (value > hi)
            digits = QString::number(hi);
        else if (value < lo)
            digits = QString::number(lo);
        if (digits != text()) setText(digits);
        if (_startIntValue >= lo && _startIntValue <= hi) postStartIntValueChange();
        break;
    }
    default:
        deselect();
        break;
    }
    if (_rules.style == VQTextViewRules::kSearch) {
        _isSelected = false;
        update();
    }
    QLineEdit::focusOutEvent(event);
}

void VQTextView::paintEvent(QPaintEvent* event) {
    if (_rules.style != VQTextViewRules::kSliderValue) {
        QPainter painter(this);
        const bool focused = _rules.style == VQTextViewRules::kSearch && _isSelected;
        const std::string suffix = focused ? "_hl" : "";
        if (isReadOnly()) painter.setOpacity(0.6);
        TileDrawing::drawThreePartImage(
            painter, QRectF(0, 0, width(), 23), imageNamedAdditional("text_left" + suffix),
            imageNamedAdditional("text_center" + suffix), imageNamedAdditional("text_right" + suffix));
    }
    QLineEdit::paintEvent(event);
}

void VQTextView::setSequired(bool on) {
    _sequired = on;
    didChangeText();
}

void VQTextView::setOriginalPassword(const QString& password) {
    _originalPassword = password;
    const QSignalBlocker blocker(this);
    setText(QString(password.size(), QChar(0x25CF)));
}

std::optional<QString> VQTextView::cryptedPassword() const {
    if (_originalPassword.isEmpty()) return std::nullopt;
    return QString::fromLatin1(_originalPassword.toUtf8().toBase64());
}

void VQTextView::setCryptedPassword(const QString& base64) {
    setOriginalPassword(QString::fromUtf8(QByteArray::fromBase64(base64.toLatin1())));
}
