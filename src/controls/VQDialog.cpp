#include "controls/VQDialog.h"

#include "controls/KXAbstractDimmWindow.h"
#include "controls/SharedBundle.h"
#include "controls/ViewAlpha.h"
#include "platform/services/KXSLocalization.h"

#include <QEvent>
#include <cmath>

uint32_t g_CountOfDialogs = 0;

namespace {

VQDialog::Editor* g_currentEditor = nullptr;

QString localized(const char* key) {
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey(key, ""));
}

// Halves away from zero.
double nearest(double x) {
    return std::round(x);
}

QFont helvetica(int size) {
    QFont font("Helvetica");
    font.setPixelSize(size);
    return font;
}

void dim(QWidget* host, bool on) {
    if (!host) return;
    if (auto* window = dynamic_cast<KXAbstractDimmWindow*>(host->window())) window->setDimmed(on);
}

} // namespace

VQDialog::Editor* VQDialog::currentEditor() {
    return g_currentEditor;
}
void VQDialog::setCurrentEditor(Editor* editor) {
    g_currentEditor = editor;
}

VQDialog::VQDialog(int style, QObject* parent)
    : QObject(parent), _style(style), _dialogDoneButtonTitle(localized("Done")) {
    // Built only now that the style is known, so the overlay's look follows it.
    _view = new VQDialogView;
    _view->setBackgroundColor(style == kCloseStyle ? QColor(0, 0, 0, 128) : QColor(Qt::transparent));
    _view->dialogCenterView()->setType(style == kCloseStyle || style == kEditStyle ? 2 : 3);
    _view->keyEquivalent = [this](int key) {
        VQDialogButton* button = key == Qt::Key_Escape ? _destructiveButton : _okButton;
        if (!button || !button->isEnabled()) return false;
        button->click();
        return true;
    };
    _fadeIn.setSingleShot(true);
    _fadeIn.setInterval(0);
    connect(&_fadeIn, &QTimer::timeout, this, [this] {
        if (_view) ViewAlpha::setAlpha(_view, 1.0, true);
    });
    _removal.setSingleShot(true);
    _removal.setInterval(300);
    connect(&_removal, &QTimer::timeout, this, &VQDialog::hideDialogWithoutAnimation);
}

VQDialog::~VQDialog() {
    _fadeIn.stop();
    _removal.stop();
    if (_shown) hideDialogWithoutAnimation();
    if (_host) _host->removeEventFilter(this);
    delete _view.data();
}

VQDialogButton* VQDialog::destructiveButton() {
    if (!_destructiveButton && _view) {
        _destructiveButton = new VQDialogButton(_view->dialogCenterView());
        _destructiveButton->resize(100, 31);
        _destructiveButton->hide();
        connect(_destructiveButton, &QAbstractButton::clicked, this, &VQDialog::destructiveButtonClick);
    }
    return _destructiveButton;
}

VQDialogButton* VQDialog::okButton() {
    if (!_okButton && _view) {
        _okButton = new VQDialogButton(_view->dialogCenterView());
        _okButton->resize(100, 31);
        _okButton->hide();
        connect(_okButton, &QAbstractButton::clicked, this, &VQDialog::okButtonClick);
    }
    return _okButton;
}

VQButton* VQDialog::closeButton() {
    if (!_closeButton && _view) {
        _closeButton = new VQButton(_view->dialogCenterView());
        _closeButton->setImage(imageNamedAdditional("dialog_close"));
        const double y = _dialogSize.isNull() ? 176 : _dialogSize.height() - 69;
        place(_closeButton, QRectF(43, y, 27, 27));
        _closeButton->hide();
        connect(_closeButton, &QAbstractButton::clicked, this, &VQDialog::destructiveButtonClick);
    }
    return _closeButton;
}

QLabel* VQDialog::messageTextField() {
    if (!_messageTextField && _view) {
        _messageTextField = new QLabel(_view->dialogCenterView());
        _messageTextField->setFont(helvetica(14));
        _messageTextField->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        _messageTextField->setWordWrap(true);
        _messageTextField->setStyleSheet("color: white; background: transparent");
        _messageTextField->setTextInteractionFlags(Qt::NoTextInteraction);
        place(_messageTextField, QRectF(10, 10, 10, 10));
        _messageTextField->hide();
    }
    return _messageTextField;
}

void VQDialog::place(QWidget* child, QRectF frame) {
    bool known = false;
    for (auto& [widget, kept] : _frames)
        if (widget == child) kept = frame, known = true;
    if (!known) _frames.push_back({child, frame});
    const double h = _view->dialogCenterView()->height();
    child->setGeometry(
        QRectF(frame.x(), h - frame.y() - frame.height(), frame.width(), frame.height()).toRect());
}

void VQDialog::placeChildren() {
    const auto frames = _frames;
    for (const auto& [widget, frame] : frames)
        if (widget) place(widget, frame);
}

void VQDialog::addSubview(QWidget* view) {
    if (!_view || !view) return;
    VQView* centre = _view->dialogCenterView();
    if (!_dialogSize.isNull()) {
        // Resized keeping its origin: its bottom-left corner, as the panel's frame is y-up.
        const QRect old = centre->geometry();
        const QSize size = _dialogSize.toSize();
        centre->setGeometry(old.x(), old.bottom() + 1 - size.height(), size.width(), size.height());
        placeChildren();
    }
    view->setParent(centre);
    view->show();
}

void VQDialog::showInView(QWidget* host, const QString& message) {
    if (!_view || !host) return;
    _view->setGeometry(0, 0, host->width(), host->height());
    VQView* centre = _view->dialogCenterView();
    const double before = centre->width();
    QSizeF size = centre->size();
    switch (_style) {
    case kCloseStyle:
        if (!_dialogSize.isNull()) size = _dialogSize;
        closeButton()->show();
        break;
    case kContentStyle:
        if (!_dialogSize.isNull()) size = _dialogSize;
        break;
    case kEditStyle:
        size = _dialogSize.isNull() ? QSizeF(500, 245) : _dialogSize;
        dim(host, true);
        destructiveButton()->setTitle(localized("Cancel"));
        place(_destructiveButton,
              QRectF(before - 165, 55, _destructiveButton->width(), _destructiveButton->height()));
        closeButton()->show();
        okButton()->setTitle(_dialogDoneButtonTitle);
        place(_okButton, QRectF(before - 55, 55, _okButton->width(), _okButton->height()));
        messageTextField()->setFont(helvetica(16));
        place(_messageTextField, QRectF(65, size.height() - 66, size.width() - 130, 20));
        _messageTextField->setText(message);
        break;
    case kConfirmStyle: {
        size = _dialogSize.isNull() ? QSizeF(350, 200) : _dialogSize;
        dim(host, true);
        destructiveButton()->setTitle(localized("Cancel"));
        place(_destructiveButton, QRectF(65, 55, _destructiveButton->width(), _destructiveButton->height()));
        okButton()->setTitle(localized("Ok"));
        place(_okButton, QRectF(180, 55, _okButton->width(), _okButton->height()));
        const double h = size.height(), messageHeight = h - 151;
        messageTextField()->setFont(helvetica(14));
        place(_messageTextField,
              QRectF(65, nearest(h / 2 - messageHeight / 2) + 10, size.width() - 130, messageHeight));
        _messageTextField->setText(message);
        break;
    }
    default:
        break;
    }
    for (QWidget* part :
         {static_cast<QWidget*>(_destructiveButton.data()), static_cast<QWidget*>(_okButton.data()),
          static_cast<QWidget*>(_messageTextField.data())})
        if (part && (_style == kEditStyle || _style == kConfirmStyle)) part->show();

    const double vw = host->width(), vh = host->height(), w = size.width(), h = size.height();
    double y = nearest(vh / 2 - h / 2);
    if (0.7 * vh > h) y += 40;
    centre->setGeometry(QRectF(nearest(vw / 2 - w / 2), vh - y - h, w, h).toRect());
    placeChildren();

    if (_host != host) {
        if (_host) _host->removeEventFilter(this);
        _host = host;
        host->installEventFilter(this);
    }
    _view->setParent(host);
    _view->raise();
    _view->show();
    _view->setFocus();

    if (!_shown) {
        _shown = true;
        if (g_CountOfDialogs == 0 && g_currentEditor) g_currentEditor->setDisabledInteractions(true);
        ++g_CountOfDialogs;
    }
    _removal.stop();
    ViewAlpha::setAlpha(_view, 0.0);
    _fadeIn.start();
}

void VQDialog::setMessageText(const QString& text) {
    if (QLabel* field = messageTextField()) field->setText(text);
}

void VQDialog::hideDialog() {
    _fadeIn.stop();
    if (_view) ViewAlpha::setAlpha(_view, 0.0, true);
    _removal.start();
}

void VQDialog::hideDialogWithoutAnimation() {
    _fadeIn.stop();
    _removal.stop();
    dim(_host, false);
    if (_shown) {
        _shown = false;
        if (g_CountOfDialogs > 0) {
            if (g_CountOfDialogs == 1 && g_currentEditor) g_currentEditor->setDisabledInteractions(false);
            --g_CountOfDialogs;
        }
    }
    if (_view && _view->parentWidget()) {
        _view->hide();
        _view->setParent(nullptr);
    }
}

void VQDialog::setDisableControls(bool disabled) {
    okButton()->setEnabled(!disabled);
    destructiveButton()->setEnabled(!disabled);
    closeButton()->setEnabled(!disabled);
}

void VQDialog::destructiveButtonClick() {
    if (_delegate) _delegate->destructiveButtonClickInDialog(this);
}

void VQDialog::okButtonClick() {
    if (_delegate) _delegate->okButtonClickInDialog(this);
}

bool VQDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _host && event->type() == QEvent::Resize && _view && _view->parentWidget() == _host)
        _view->setGeometry(0, 0, _host->width(), _host->height());
    return QObject::eventFilter(watched, event);
}
