#pragma once
// The acknowledgements window: the libraries the program is built on, as static text. Closing it
// tells the delegate, which releases it.
#include <QDialog>

class KXWindowControllerDelegate;

class AcknowledgementsWindowController : public QDialog {
    Q_OBJECT
  public:
    explicit AcknowledgementsWindowController(QWidget* parent = nullptr);

    KXWindowControllerDelegate* delegate() const { return _delegate; }
    void setDelegate(KXWindowControllerDelegate* delegate) { _delegate = delegate; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    KXWindowControllerDelegate* _delegate = nullptr;
};
