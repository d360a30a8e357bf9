#pragma once
// The panel shown in an in-window dialog while a look is applied at full size: a title, a bar
// with its percentage and a Cancel button. It reports the end, or the cancel, to its delegate
// once: the button is disabled by either.
#include <QWidget>

class KXButton;
class ProgressViewControllerControllerDelegate;
class QLabel;
class VQProgressBar;

class ProgressViewController : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWidth = 360, kHeight = 120;

    explicit ProgressViewController(QWidget* parent = nullptr);

    ProgressViewControllerControllerDelegate* delegate() const { return _delegate; }
    void setDelegate(ProgressViewControllerControllerDelegate* delegate) {
        _delegate = delegate;
    } // not owned

    QString title() const { return _title; }
    void setTitle(const QString& title);
    void updateProgress(long percent);
    void processFinish();
    void cancelButtonClick();

    QLabel* titleTextField() const { return _titleTextField; }
    QLabel* progressTextField() const { return _progressTextField; }
    VQProgressBar* progressIndicator() const { return _progressIndicator; }
    KXButton* cancelButton() const { return _cancelButton; }

  private:
    ProgressViewControllerControllerDelegate* _delegate = nullptr;
    QString _title;
    QLabel* _titleTextField;
    QLabel* _progressTextField;
    VQProgressBar* _progressIndicator;
    KXButton* _cancelButton;
};
