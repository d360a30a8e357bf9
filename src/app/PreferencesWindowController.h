#pragma once
// The preferences window: the preview quality and what a double click on the image does, each
// stored in the user defaults as soon as it is chosen. Closing it tells the delegate, which
// releases it and applies a changed quality.
#include <QDialog>

class KXWindowControllerDelegate;
class QComboBox;

class PreferencesWindowController : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* kPreviewQualityKey = "k_Preview_Quality";
    static constexpr const char* kDoubleClickActionKey = "k_Double_Click_Action";

    explicit PreferencesWindowController(QWidget* parent = nullptr);

    KXWindowControllerDelegate* delegate() const { return _delegate; }
    void setDelegate(KXWindowControllerDelegate* delegate) { _delegate = delegate; }

    QComboBox* previewQualityComboBox() const { return _previewQualityComboBox; }
    QComboBox* doubleClickActionComboBox() const { return _doubleClickActionComboBox; }

    // Shows the stored values again; one the editor does not recognise shows as its fallback.
    void windowDidLoad();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    KXWindowControllerDelegate* _delegate = nullptr;
    QComboBox* _previewQualityComboBox = nullptr;
    QComboBox* _doubleClickActionComboBox = nullptr;
    bool _loading = false;
};
