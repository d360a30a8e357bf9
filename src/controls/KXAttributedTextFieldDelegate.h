#pragma once
class KXAttributedTextField;

class KXAttributedTextFieldDelegate {
  public:
    virtual ~KXAttributedTextFieldDelegate() = default;
    virtual void doubleClickFromTextField(KXAttributedTextField*) {}
};
