#pragma once
// The paged welcome window: each page is a picture and a text from the bundle's
// "welcome_screen_data"; the user pages both ways (wrapping), may subscribe an e-mail address,
// decides whether the screen shows at start-up, and continues. Each new window starts one page
// further than the last. With no pages the page area stays hidden.
// The meta-object compiler cannot read the standard library's concepts these pull in.
#ifndef Q_MOC_RUN
#include "platform/foundation/Value.h"

#include <functional>
#include <string>
#include <thread>
#endif

#include <QDialog>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QWidget;

// A window without title bar or frame, transparent outside what it draws, that still takes keys.
class KXTitleBarLessWindow : public QDialog {
    Q_OBJECT
  public:
    explicit KXTitleBarLessWindow(QWidget* parent = nullptr);
};

class KXWelcomeScreenWindowController : public QObject {
    Q_OBJECT
  public:
    static constexpr const char* kShowOnStartupKey = "showWelcomeScreenOnStartup";
    static constexpr const char* kCurrentPageIndexKey = "currentPageIndex";

    // Reads the pages (the bundle's file unless a path is given) and moves the stored page on by one.
    explicit KXWelcomeScreenWindowController(const std::string& dataPath = {});
    ~KXWelcomeScreenWindowController() override;

    KXTitleBarLessWindow* window() const { return _window; }
    const foundation::Array& data() const { return _data; }
    int64_t currentPageIndex() const { return _currentPageIndex; }
    bool showWelcomeScreenOnStartup() const { return _showWelcomeScreenOnStartup; }
    // Called after the window closes through Continue.
    std::function<void()> callback;
    // The address check and the subscription; the second runs on a worker thread.
    std::function<bool(const std::string&)> validateEmail;
    std::function<bool(const std::string&)> saveEmailToRemoteDatabase;

    void onShowPreviousPageButtonClicked();
    void onShowNextPageButtonClicked();
    void toggleShowOnStartupButtonClicked();
    void subscribeButtonClicked();
    void continueButtonClick();
    void validateCurrentPageIndex();
    void showCurrentPage();
    void validateCheckbox();

    QWidget* pageArea() const { return _pageArea; }
    QLabel* imageView() const { return _imageView; }
    QLabel* infoTextField() const { return _infoTextField; }
    QLabel* tickImageView() const { return _tickImageView; }
    QLineEdit* subscribeEmailTextField() const { return _subscribeEmailTextField; }
    QPushButton* subscribeButton() const { return _subscribeButton; }
    QProgressBar* progressIndicator() const { return _progressIndicator; }
    QLabel* invalidEmailTextField() const { return _invalidEmailTextField; }
    QLabel* noSpamTextField() const { return _noSpamTextField; }
    QWidget* thankYouBox() const { return _thankYouBox; }
    QWidget* emailFieldBackground() const { return _emailFieldBackground; }

  private:
    void loadWindow();
    void subscriptionDidEnd(bool saved);

    KXTitleBarLessWindow* _window = nullptr;
    foundation::Array _data;
    int64_t _currentPageIndex = 0;
    bool _showWelcomeScreenOnStartup = false;
    std::thread _subscription;

    QWidget* _view = nullptr;
    QWidget* _pageArea = nullptr;
    QLabel* _imageView = nullptr;
    QLabel* _infoTextField = nullptr;
    QLabel* _tickImageView = nullptr;
    QWidget* _emailFieldBackground = nullptr;
    QLineEdit* _subscribeEmailTextField = nullptr;
    QPushButton* _subscribeButton = nullptr;
    QProgressBar* _progressIndicator = nullptr;
    QLabel* _invalidEmailTextField = nullptr;
    QLabel* _noSpamTextField = nullptr;
    QWidget* _thankYouBox = nullptr;
};
