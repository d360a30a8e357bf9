#include "app/KXWelcomeScreenWindowController.h"

#include "controls/SharedBundle.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/services/KXSLocalization.h"
#include "platform/services/KXServiceUtils.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

namespace {

QString localized(const char* key) {
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey(key, ""));
}

constexpr int kWidth = 520, kHeight = 470;

} // namespace

KXTitleBarLessWindow::KXTitleBarLessWindow(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::StrongFocus);
}

KXWelcomeScreenWindowController::KXWelcomeScreenWindowController(const std::string& dataPath)
    : validateEmail(services::KXServiceUtils::validateEmail),
      saveEmailToRemoteDatabase(services::KXServiceUtils::saveEmailToRemoteDatabase) {
    const std::string path =
        dataPath.empty() ? foundation::Bundle::pathForResource("welcome_screen_data", "plist") : dataPath;
    if (std::optional<foundation::Value> file =
            path.empty() ? std::nullopt : foundation::PropertyList::read(path))
        if (const foundation::Dictionary* root = file->getDictionary())
            if (auto pages = root->find("data"); pages != root->end())
                if (const foundation::Array* list = pages->second.getArray()) _data = *list;

    auto& defaults = foundation::UserDefaults::standardUserDefaults();
    _showWelcomeScreenOnStartup = defaults.boolForKey(kShowOnStartupKey);
    _currentPageIndex =
        defaults.objectForKey(kCurrentPageIndexKey) ? defaults.integerForKey(kCurrentPageIndexKey) + 1 : 0;
    validateCurrentPageIndex();
    defaults.setInteger(_currentPageIndex, kCurrentPageIndexKey);
    defaults.synchronize();
    loadWindow();
}

KXWelcomeScreenWindowController::~KXWelcomeScreenWindowController() {
    if (_subscription.joinable()) _subscription.join();
    delete _window;
}

void KXWelcomeScreenWindowController::loadWindow() {
    _window = new KXTitleBarLessWindow;
    _window->setObjectName("KXWelcomeScreenWindowController");
    _window->setFixedSize(kWidth, kHeight);
    _view = new QWidget(_window);
    _view->setObjectName("welcomeView");
    _view->setGeometry(0, 0, kWidth, kHeight);
    _view->setStyleSheet(
        "#welcomeView { background: rgb(34, 36, 40); border: 1px solid rgb(14, 14, 16); border-radius: 12px; "
        "}"
        "QLabel { color: rgb(220, 222, 226); font: 14px 'Helvetica'; }"
        "QLabel#noSpamTextField { color: rgb(140, 146, 153); font: 11px 'Helvetica'; }"
        "QLabel#invalidEmailTextField { color: rgb(232, 112, 96); font: 11px 'Helvetica'; }"
        "QPushButton { color: white; background: rgb(64, 66, 72); border: 1px solid rgb(20, 20, 22);"
        " border-radius: 5px; padding: 5px 14px; font: 13px 'Helvetica'; }"
        "QPushButton#continueButton { background: rgb(72, 148, 232); }"
        "QPushButton#previousPageButton, QPushButton#nextPageButton { font: 22px 'Helvetica'; padding: 2px "
        "10px 6px; }"
        "QLineEdit { color: white; background: transparent; border: none; font: 13px 'Helvetica'; }"
        "#emailFieldBackground { background: rgb(22, 24, 28); border: 1px solid rgb(70, 72, 78); "
        "border-radius: 5px; }"
        "#tickBox { background: rgb(22, 24, 28); border: 1px solid rgb(90, 92, 98); border-radius: 3px; }");
    auto* layout = new QVBoxLayout(_view);
    layout->setContentsMargins(30, 28, 30, 24);
    layout->setSpacing(14);

    _pageArea = new QWidget(_view);
    _pageArea->setObjectName("pageArea");
    auto* page = new QVBoxLayout(_pageArea);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(12);
    auto* pictureRow = new QHBoxLayout;
    auto* previous = new QPushButton("‹", _pageArea);
    previous->setObjectName("previousPageButton");
    auto* next = new QPushButton("›", _pageArea);
    next->setObjectName("nextPageButton");
    _imageView = new QLabel(_pageArea);
    _imageView->setObjectName("imageView");
    _imageView->setFixedSize(380, 217);
    _imageView->setScaledContents(true);
    pictureRow->addWidget(previous);
    pictureRow->addWidget(_imageView, 1, Qt::AlignCenter);
    pictureRow->addWidget(next);
    page->addLayout(pictureRow);
    _infoTextField = new QLabel(_pageArea);
    _infoTextField->setObjectName("infoTextField");
    _infoTextField->setWordWrap(true);
    _infoTextField->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    _infoTextField->setMinimumHeight(44);
    page->addWidget(_infoTextField);
    layout->addWidget(_pageArea);
    layout->addStretch(1);

    // The subscription row: the field on its background, the button, the busy indicator.
    auto* subscribeRow = new QHBoxLayout;
    _emailFieldBackground = new QWidget(_view);
    _emailFieldBackground->setObjectName("emailFieldBackground");
    auto* fieldLayout = new QHBoxLayout(_emailFieldBackground);
    fieldLayout->setContentsMargins(8, 3, 8, 3);
    _subscribeEmailTextField = new QLineEdit(_emailFieldBackground);
    _subscribeEmailTextField->setObjectName("subscribeEmailTextField");
    _subscribeEmailTextField->setPlaceholderText(localized("Your e-mail address"));
    fieldLayout->addWidget(_subscribeEmailTextField);
    _subscribeButton = new QPushButton(localized("Subscribe"), _view);
    _subscribeButton->setObjectName("subscribeButton");
    _progressIndicator = new QProgressBar(_view);
    _progressIndicator->setObjectName("progressIndicator");
    _progressIndicator->setRange(0, 0);
    _progressIndicator->setFixedSize(90, 10);
    _progressIndicator->setTextVisible(false);
    _progressIndicator->hide();
    subscribeRow->addWidget(_emailFieldBackground, 1);
    subscribeRow->addWidget(_subscribeButton);
    subscribeRow->addWidget(_progressIndicator);
    layout->addLayout(subscribeRow);
    _thankYouBox = new QLabel(localized("Thank you for subscribing!"), _view);
    _thankYouBox->setObjectName("thankYouBox");
    _thankYouBox->hide();
    layout->addWidget(_thankYouBox);
    _noSpamTextField =
        new QLabel(localized("News about the program only, a few times a year. No spam."), _view);
    _noSpamTextField->setObjectName("noSpamTextField");
    layout->addWidget(_noSpamTextField);
    _invalidEmailTextField = new QLabel(localized("Please enter a valid e-mail address."), _view);
    _invalidEmailTextField->setObjectName("invalidEmailTextField");
    _invalidEmailTextField->hide();
    layout->addWidget(_invalidEmailTextField);

    auto* bottom = new QHBoxLayout;
    auto* toggle = new QPushButton(_view);
    toggle->setObjectName("showOnStartupButton");
    toggle->setFlat(true);
    toggle->setStyleSheet("QPushButton { background: transparent; border: none; padding: 0; }");
    auto* toggleLayout = new QHBoxLayout(toggle);
    toggleLayout->setContentsMargins(0, 0, 0, 0);
    auto* box = new QWidget(toggle);
    box->setObjectName("tickBox");
    box->setFixedSize(16, 16);
    _tickImageView = new QLabel(box);
    _tickImageView->setObjectName("tickImageView");
    _tickImageView->setGeometry(0, 0, 16, 16);
    _tickImageView->setScaledContents(true);
    auto* toggleText = new QLabel(localized("Show at start-up"), toggle);
    toggleText->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    toggleLayout->addWidget(box);
    toggleLayout->addWidget(toggleText);
    toggle->setFixedSize(170, 22);
    auto* continueButton = new QPushButton(localized("Continue"), _view);
    continueButton->setObjectName("continueButton");
    bottom->addWidget(toggle);
    bottom->addStretch(1);
    bottom->addWidget(continueButton);
    layout->addLayout(bottom);

    connect(previous, &QPushButton::clicked, this,
            &KXWelcomeScreenWindowController::onShowPreviousPageButtonClicked);
    connect(next, &QPushButton::clicked, this, &KXWelcomeScreenWindowController::onShowNextPageButtonClicked);
    connect(toggle, &QPushButton::clicked, this,
            &KXWelcomeScreenWindowController::toggleShowOnStartupButtonClicked);
    connect(_subscribeButton, &QPushButton::clicked, this,
            &KXWelcomeScreenWindowController::subscribeButtonClicked);
    connect(continueButton, &QPushButton::clicked, this,
            &KXWelcomeScreenWindowController::continueButtonClick);

    // Set-up once the window exists.
    showCurrentPage();
    validateCheckbox();
}

void KXWelcomeScreenWindowController::validateCurrentPageIndex() {
    const int64_t count = int64_t(_data.size());
    if (_currentPageIndex >= count) _currentPageIndex = 0;
    if (_currentPageIndex < 0) _currentPageIndex = count - 1;
}

void KXWelcomeScreenWindowController::showCurrentPage() {
    // With no page to show the page area stays hidden: a missing file does not end the program.
    if (_currentPageIndex < 0 || _currentPageIndex >= int64_t(_data.size())) {
        std::fprintf(stderr, "Page index is greater than number of pages\n");
        _pageArea->hide();
        return;
    }
    const foundation::Value& page = _data[size_t(_currentPageIndex)];
    const foundation::Dictionary* fields = page.getDictionary();
    auto text = [fields](const char* key) -> std::string {
        if (!fields) return "";
        auto found = fields->find(key);
        const std::string* value = found == fields->end() ? nullptr : found->second.getString();
        return value ? *value : std::string();
    };
    _infoTextField->setText(QString::fromStdString(text("text")));
    _imageView->setPixmap(QPixmap::fromImage(imageNamedAdditional(text("imageName"))));
    _pageArea->show();
}

void KXWelcomeScreenWindowController::onShowPreviousPageButtonClicked() {
    --_currentPageIndex;
    validateCurrentPageIndex();
    showCurrentPage();
}

void KXWelcomeScreenWindowController::onShowNextPageButtonClicked() {
    ++_currentPageIndex;
    validateCurrentPageIndex();
    showCurrentPage();
}

void KXWelcomeScreenWindowController::toggleShowOnStartupButtonClicked() {
    _showWelcomeScreenOnStartup = !_showWelcomeScreenOnStartup;
    validateCheckbox();
}

void KXWelcomeScreenWindowController::validateCheckbox() {
    _tickImageView->setPixmap(_showWelcomeScreenOnStartup
                                  ? QPixmap::fromImage(imageNamedAdditional("ws_checkbox_tick"))
                                  : QPixmap());
}

void KXWelcomeScreenWindowController::subscribeButtonClicked() {
    if (_subscription.joinable()) return; // one subscription at a time
    _subscribeButton->hide();
    _noSpamTextField->hide();
    _progressIndicator->show();
    QTimer::singleShot(250, this, [this] {
        const std::string address = _subscribeEmailTextField->text().trimmed().toStdString();
        if (!validateEmail || !validateEmail(address)) {
            _subscribeButton->show();
            _progressIndicator->hide();
            _invalidEmailTextField->show();
            return;
        }
        _invalidEmailTextField->hide();
        // The network call would freeze the window: it runs on a worker and reports back here.
        _subscription = std::thread([this, address, save = saveEmailToRemoteDatabase] {
            const bool saved = save && save(address);
            QMetaObject::invokeMethod(
                this, [this, saved] { subscriptionDidEnd(saved); }, Qt::QueuedConnection);
        });
    });
}

void KXWelcomeScreenWindowController::subscriptionDidEnd(bool saved) {
    if (_subscription.joinable()) _subscription.join();
    if (!saved) {
        _subscribeButton->show();
        _progressIndicator->hide();
        return;
    }
    _progressIndicator->hide();
    _subscribeEmailTextField->hide();
    _emailFieldBackground->hide();
    _thankYouBox->show();
}

void KXWelcomeScreenWindowController::continueButtonClick() {
    auto& defaults = foundation::UserDefaults::standardUserDefaults();
    defaults.setBool(_showWelcomeScreenOnStartup, kShowOnStartupKey);
    defaults.synchronize();
    _window->done(QDialog::Accepted);
    if (callback) callback();
}
