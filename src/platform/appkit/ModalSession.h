#pragma once
// Runs a window modally (nothing else of the application takes input) until code stops it,
// answering the code it was stopped with. Sessions nest; stopping ends the innermost. A modal
// window that is closed or destroyed without a stop ends its session with Abort, so a window
// closed by the user never leaves the program waiting.
class QWidget;

namespace appkit {

class ModalSession {
  public:
    static constexpr int Stop = -1000;
    static constexpr int Abort = -1001;

    // Shows the window and returns once the session ends. The window stays shown: the caller
    // closes it. A null window answers Abort at once.
    static int runModalForWindow(QWidget* window);

    // Ends the innermost session after the current event; nothing when no session runs.
    static void stopModal() { stopModalWithCode(Stop); }
    static void stopModalWithCode(int code);
    static void abortModal() { stopModalWithCode(Abort); }

    // The innermost session's window, or null.
    static QWidget* modalWindow();
};

} // namespace appkit
