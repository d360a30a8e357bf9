#pragma once
// The editing extension's principal object: the host drives one edit at a time through the
// content-editing protocol. Each edit opens the photo in a new document's editor, embedded in the
// container view; finishing applies the editor's open tool, writes the working image as a JPEG
// (quality 100) where the output says and sets the adjustment data; cancelling drops the edit.
// Every end of an edit schedules the end of the process 3 s later, unless a new edit starts.
//
// finish may be called from any thread. Off the main thread it waits while the main thread
// applies the open tool; on the main thread it applies first and carries on when the apply ends,
// without waiting. An edit that has no image, or whose JPEG cannot be written, completes with a
// null output and claims no adjustment data.
#include "platform/photos/ContentEditingController.h"

#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

class KXExtensionContainerView;
class MyDocument;
class RivorezIduvivViewController;

class PhotoEditingViewController : public QWidget, public photos::ContentEditingController {
    Q_OBJECT
  public:
    explicit PhotoEditingViewController(QWidget* parent = nullptr);
    ~PhotoEditingViewController() override;

    void viewDidLoad();

    // ---- The host's calls ----
    // Earlier edits are never resumed.
    bool canHandleAdjustmentData(const photos::AdjustmentData& data) override;
    void startContentEditingWithInput(std::shared_ptr<const photos::ContentEditingInput> input,
                                      graphics::ImagePtr placeholderImage) override;
    void finishContentEditingWithCompletionHandler(CompletionHandler completionHandler) override;
    void cancelContentEditing() override;
    bool shouldShowCancelConfirmation() const override { return _shouldProcces; }

    // ---- Own operations ----
    void clearContent();
    void closePhotoEditing();
    void showUnsupportedRawAlertWithPathExtention(const std::string& extension);
    // The editor of the latest edit, kept until the next edit replaces it.
    static RivorezIduvivViewController* mainWindowController();
    // Set from the end of an edit until the delayed exit runs; cleared when an edit starts.
    static bool needTerminateProcess();

    std::shared_ptr<const photos::ContentEditingInput> input() const;
    RivorezIduvivViewController* editor() const { return _mainWindowController; }
    KXExtensionContainerView* containerView() const { return _containerView; }
    MyDocument* document() const { return _document.get(); }
    bool shouldProcces() const { return _shouldProcces; }

    // How the process ends; tests and the host replace it.
    std::function<void(int status)> terminate;
    // The text of the refusal alert, for a photo whose extension is as written.
    static std::string unsupportedMessage(const std::string& extension);

  private:
    void openInput();
    void returnContentToEditor();
    // The editor's apply of its open tool (the effect or preset being tuned), then `done` on the
    // main thread with the working image, on every end of the apply: at once when there is nothing
    // to apply, after the result when there is, also when the render failed.
    void applyCurrentToolThen(std::function<void(graphics::ImagePtr)> done);
    void writeOutput(graphics::ImagePtr image, CompletionHandler completionHandler);

    mutable std::mutex _inputLock;
    std::shared_ptr<const photos::ContentEditingInput> _input;
    RivorezIduvivViewController* _mainWindowController = nullptr;
    KXExtensionContainerView* _containerView = nullptr;
    std::shared_ptr<MyDocument> _document;
    std::atomic<bool> _shouldProcces{false};
};
