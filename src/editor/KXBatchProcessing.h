#pragma once
// The batch window: the photos to process, the folder to write to, and a run over them that asks
// the editor for each processed image. The editor supplies one block that turns a request into an
// image and one that runs when the window is done.
#include "platform/graphics/Image.h"

#include <QDialog>
#include <QSize>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

struct KXBatchImageRequest {
    std::string imageUrl;      // the input file
    QSize imageSize;           // the size of the wanted output, in pixels
    bool isThumbnail = false;  // a preview for the list
    bool shouldProcess = true; // false: the scaled input itself
};

class KXBatchProcessing : public QDialog {
    Q_OBJECT
  public:
    using ImageProcessBlock = std::function<graphics::ImagePtr(const KXBatchImageRequest&)>;

    explicit KXBatchProcessing(QWidget* parent = nullptr);

    void setImageProcessBlock(ImageProcessBlock block) { _imageProcessBlock = std::move(block); }
    // Shows the window (once); `completion` runs when it closes.
    void showBatchProcessingIfNeededWithCompletionHandler(std::function<void()> completion);

    void addInputs(const std::vector<std::string>& paths);
    const std::vector<std::string>& inputs() const { return _inputs; }
    // Every picture file directly in the folder, by name.
    void addFolder(const std::string& folder);
    // Drops the inputs at these rows of the list.
    void removeInputs(std::vector<int> rows);
    void setOutputFolder(const std::string& folder);
    enum class Format { kJPEG, kPNG, kTIFF };
    void setFormat(Format format);
    Format format() const { return _format; }
    // Asks a running batch to stop after the photo in hand; finished outputs stay.
    void cancel() { _cancelRequested = true; }
    // Called after each photo of a run (tests and the progress display).
    std::function<void(size_t done)> photoFinished;
    const std::string& outputFolder() const { return _outputFolder; }

    struct Result {
        std::string input, output; // output empty when it failed
        std::string failure;
    };
    // Processes every input at its own size and writes it in the chosen format into the output
    // folder, never over an existing file, with the input's metadata. The window's progress bar follows;
    // events are pumped between photos.
    std::vector<Result> runBatch();

    QListWidget* list() const { return _list; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void chooseInputs();
    void chooseOutput();
    void finish();

    ImageProcessBlock _imageProcessBlock;
    std::function<void()> _completion;
    std::vector<std::string> _inputs;
    std::string _outputFolder;
    QListWidget* _list = nullptr;
    QLabel* _outputLabel = nullptr;
    QLabel* _status = nullptr;
    QProgressBar* _progress = nullptr;
    QPushButton* _processButton = nullptr;
    bool _running = false;
    bool _cancelRequested = false;
    Format _format = Format::kJPEG;
    class QComboBox* _formatMenu = nullptr;
};
