#pragma once
class VQDialog;

// Answers of an in-window dialog; both optional. The dialog never hides itself on an answer.
class VQDialogDelegate {
  public:
    virtual ~VQDialogDelegate() = default;
    // The destructive button, the close button or Escape.
    virtual void destructiveButtonClickInDialog(VQDialog*) {}
    // The OK button or Return.
    virtual void okButtonClickInDialog(VQDialog*) {}
};
