#pragma once
// A modal dialog drawn inside a window: an overlay over a host widget with a skinned centre
// panel holding a message, buttons or the caller's own content. While any dialog is open the
// current editor's interaction is off; the two question styles dim the window.
//
// Each dialog counts once in the open-dialog count however often it is hidden, and a dialog
// destroyed while open leaves the count as if it had been hidden. The overlay belongs to the
// dialog: a host destroyed first takes the overlay with it and the dialog carries on without one.
#include "controls/VQDialogButton.h"
#include "controls/VQDialogDelegate.h"
#include "controls/VQDialogView.h"

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QSizeF>
#include <QTimer>
#include <cstdint>

// Open dialogs in the whole program.
extern uint32_t g_CountOfDialogs;

class VQDialog : public QObject {
    Q_OBJECT
  public:
    // What a dialog asks of the editor it covers.
    class Editor {
      public:
        virtual ~Editor() = default;
        virtual void setDisabledInteractions(bool disabled) = 0;
    };
    // The one editor of the process, set by the application's document controller or by the
    // extension; null when there is none.
    static Editor* currentEditor();
    static void setCurrentEditor(Editor* editor);

    enum Style { kCloseStyle = 0, kContentStyle = 1, kEditStyle = 2, kConfirmStyle = 3 };

    explicit VQDialog(int style, QObject* parent = nullptr);
    ~VQDialog() override;

    int style() const { return _style; }
    VQDialogDelegate* delegate() const { return _delegate; }
    void setDelegate(VQDialogDelegate* delegate) { _delegate = delegate; } // not owned
    QSizeF dialogSize() const { return _dialogSize; }
    void setDialogSize(QSizeF size) { _dialogSize = size; }
    QString dialogDoneButtonTitle() const { return _dialogDoneButtonTitle; }
    void setDialogDoneButtonTitle(const QString& title) { _dialogDoneButtonTitle = title; }

    VQDialogView* view() const { return _view; }
    VQView* dialogCenterView() const { return _view ? _view->dialogCenterView() : nullptr; }
    // Made on first use, inside the centre panel, hidden until laid out or added.
    VQDialogButton* okButton();
    VQDialogButton* destructiveButton();
    VQButton* closeButton();
    QLabel* messageTextField();
    // The destructive button if made, without making it.
    VQDialogButton* destrurctiveButton() const { return _destructiveButton; }

    // Caller content for the centre panel, which first takes `dialogSize` when one is set.
    void addSubview(QWidget* view);
    void showInView(QWidget* host, const QString& message = QString());
    void setMessageText(const QString& text);
    void hideDialog();
    void hideDialogWithoutAnimation();
    void setDisableControls(bool disabled);
    bool isShown() const { return _shown; }

    void destructiveButtonClick();
    void okButtonClick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Places a child of the centre panel by its y-up frame.
    void place(QWidget* child, QRectF frame);
    void placeChildren();

    int _style;
    VQDialogDelegate* _delegate = nullptr;
    QSizeF _dialogSize{0, 0}; // zero: the style's own
    QString _dialogDoneButtonTitle;
    QPointer<VQDialogView> _view;
    QPointer<QWidget> _host;
    QPointer<VQDialogButton> _okButton, _destructiveButton;
    QPointer<VQButton> _closeButton;
    QPointer<QLabel> _messageTextField;
    // Children laid out by y-up frames, kept so a resized panel keeps them at the bottom-left.
    std::vector<std::pair<QPointer<QWidget>, QRectF>> _frames;
    bool _shown = false;
    QTimer _fadeIn, _removal;
};
