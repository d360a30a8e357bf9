#pragma once
// The review prompt shown over the editor's content: a half-dark veil fading in, with a panel
// offering to review the program now, later or never. The answer goes to the delegate.
#include <QPointer>
#include <QPropertyAnimation>
#include <QWidget>
#ifndef Q_MOC_RUN
#include <functional>
#include <string>
#endif

class KXReviewAppViewController;

class KXReviewAppViewControllerDelegate {
  public:
    virtual ~KXReviewAppViewControllerDelegate() = default;
    virtual void modalViewControllerDidFinish(KXReviewAppViewController* controller, bool isCanceled) = 0;
};

class KXReviewAppViewController : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kReviewAddress = "https://opalene.example/review";

    explicit KXReviewAppViewController(QWidget* parent = nullptr);

    KXReviewAppViewControllerDelegate* delegate() const { return _delegate; }
    void setDelegate(KXReviewAppViewControllerDelegate* delegate) { _delegate = delegate; }
    // How the review page is opened; unset, the desktop's browser opens it.
    std::function<bool(const std::string& url)> openURL;
    QPropertyAnimation* fadeIn() const { return _fadeIn; }

    void reviewButtonClick();
    void remindMeLaterButtonClick();
    void noButtonClick();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    KXReviewAppViewControllerDelegate* _delegate = nullptr;
    QPointer<QPropertyAnimation> _fadeIn;
};
