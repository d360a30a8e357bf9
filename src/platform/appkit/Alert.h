#pragma once
// A message with informative text and up to three buttons that answers with a return code: the
// default button 1, the alternate 0, the other -1. Shown window-modal over a window with a
// completion that receives the code once the alert has closed, or run modally for the code.
//
// Return (or Enter) presses the default button. Escape, or closing the alert without a button,
// answers as a button titled "Cancel" if there is one, else the alternate, else the other, else
// the default button, so every showing ends with exactly one code.
#include <functional>
#include <string>

class QMessageBox;
class QWidget;

namespace appkit {

class Alert {
  public:
    static constexpr int DefaultReturn = 1;
    static constexpr int AlternateReturn = 0;
    static constexpr int OtherReturn = -1;

    // An empty title leaves that button out; an empty default title reads "OK".
    static Alert alertWithMessageText(std::string messageText, std::string defaultButton,
                                      std::string alternateButton, std::string otherButton,
                                      std::string informativeText);

    const std::string& messageText() const { return messageText_; }
    const std::string& informativeText() const { return informativeText_; }

    // The completion runs once, after the alert has closed; none runs when the window itself is
    // destroyed under the alert. Without a window the alert is application-modal.
    void beginSheetModalForWindow(QWidget* window, std::function<void(int)> completion) const;
    int runModal() const;

    // The dialog both of the above show, made anew each time (tests and the screen sheet look at
    // it). Its buttons carry their return codes; returnCodeOf reads the answer after it closed.
    QMessageBox* makeMessageBox(QWidget* parent) const;
    static int returnCodeOf(const QMessageBox& box);

  private:
    std::string messageText_, informativeText_;
    std::string defaultButton_, alternateButton_, otherButton_;
};

} // namespace appkit
