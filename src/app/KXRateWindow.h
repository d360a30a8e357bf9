#pragma once
// The rate-the-program window. The program never asks by itself: runWindowIfNeeded() answers
// false and shows nothing, so the save and sharing paths that call it carry on.
#include <QDialog>

class KXRateWindow : public QDialog {
    Q_OBJECT
  public:
    explicit KXRateWindow(QWidget* parent = nullptr);

    static bool runWindowIfNeeded() { return false; }
    // Shows the window modally; true when the user chose to rate (response 1).
    static bool runWindow();
    // How many times the window has been shown in this run.
    static int showCount() { return s_showCount; }

  private:
    static inline int s_showCount = 0;
};
