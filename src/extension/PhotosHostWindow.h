#pragma once
// The photo library's part, played on the desktop: a window that runs the editing extension on
// one photo, with Cancel and Done below it. Done asks the extension to finish from a worker
// thread (as the library does) and, when an output comes back with its JPEG written, stores the
// adjustment data beside it. Cancel (or closing the window) asks first when the extension says an
// edit is under way, then cancels. Stored adjustment data is offered to the extension; a damaged
// record is reported and the photo is edited afresh. The extension ends the program; the exit
// status says what happened.
#include "platform/photos/ContentEditingOutput.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

class KXButton;
class PhotoEditingViewController;

class PhotosHostWindow : public QWidget {
    Q_OBJECT
  public:
    enum ExitStatus : int { kSaved = 0, kRefused = 1, kBadArguments = 2, kCancelled = 3, kFailed = 4 };

    PhotosHostWindow(std::string photo, std::string outputDirectory,
                     std::optional<std::string> adjustmentDataPath = std::nullopt);
    ~PhotosHostWindow() override;

    // Hands the extension its input; problems with stored adjustment data are in warnings().
    void start();
    void done();
    void cancel();

    PhotoEditingViewController* extension() const { return _extension; }
    KXButton* doneButton() const { return _doneButton; }
    KXButton* cancelButton() const { return _cancelButton; }
    const std::vector<std::string>& warnings() const { return _warnings; }
    // The last finish's output, null when it failed or none came yet.
    const std::shared_ptr<photos::ContentEditingOutput>& output() const { return _output; }
    int exitStatus() const { return _exitStatus; }

    // Called with the exit status when the extension ends the process; tests replace it.
    std::function<void(int status)> terminate;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void finished(std::shared_ptr<photos::ContentEditingOutput> output);
    void cancelConfirmed();
    void warn(std::string message);
    void layoutBar();

    std::string _photo, _outputDirectory;
    std::optional<std::string> _adjustmentDataPath;
    PhotoEditingViewController* _extension = nullptr;
    QWidget* _bar = nullptr;
    KXButton* _doneButton = nullptr;
    KXButton* _cancelButton = nullptr;
    std::thread _finisher;
    std::shared_ptr<photos::ContentEditingOutput> _output;
    std::vector<std::string> _warnings;
    int _exitStatus = kCancelled;
    bool _ended = false;
};
