#include "editor/KXBatchProcessing.h"

#include "controls/ImageAdditional.h"
#include "platform/imageio/ImageDestination.h"
#include "platform/imageio/ImageSource.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr int kThumbnail = 64;

// A name in the folder that no file has yet: "name.jpg", else "name (2).jpg", ...
std::string freeName(const fs::path& folder, const std::string& stem, const std::string& extension) {
    fs::path candidate = folder / (stem + extension);
    for (int n = 2; fs::exists(candidate); ++n)
        candidate = folder / (stem + " (" + std::to_string(n) + ")" + extension);
    return candidate.string();
}

bool isPictureName(const fs::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    for (const char* known :
         {".jpg", ".jpeg", ".png", ".tif", ".tiff", ".bmp", ".jp2", ".exr", ".webp", ".heic"})
        if (extension == known) return true;
    return false;
}

} // namespace

KXBatchProcessing::KXBatchProcessing(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Batch Processing");
    resize(520, 460);
    auto* layout = new QVBoxLayout(this);
    _list = new QListWidget(this);
    _list->setIconSize(QSize(kThumbnail, kThumbnail));
    layout->addWidget(_list);
    auto* inputs = new QHBoxLayout;
    auto* add = new QPushButton("Add Photos…", this);
    auto* addFolderButton = new QPushButton("Add Folder…", this);
    auto* remove = new QPushButton("Remove", this);
    inputs->addWidget(add);
    inputs->addWidget(addFolderButton);
    inputs->addWidget(remove);
    inputs->addStretch();
    _formatMenu = new QComboBox(this);
    _formatMenu->addItems({"JPEG", "PNG", "TIFF"});
    inputs->addWidget(_formatMenu);
    layout->addLayout(inputs);
    auto* output = new QHBoxLayout;
    _outputLabel = new QLabel("No output folder", this);
    auto* chooseFolder = new QPushButton("Output Folder…", this);
    output->addWidget(_outputLabel, 1);
    output->addWidget(chooseFolder);
    layout->addLayout(output);
    _progress = new QProgressBar(this);
    _progress->setRange(0, 1);
    _progress->setValue(0);
    layout->addWidget(_progress);
    _status = new QLabel(this);
    layout->addWidget(_status);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* close = new QPushButton("Close", this);
    _processButton = new QPushButton("Process", this);
    _processButton->setDefault(true);
    buttons->addWidget(close);
    buttons->addWidget(_processButton);
    layout->addLayout(buttons);
    connect(add, &QPushButton::clicked, this, [this] { chooseInputs(); });
    connect(chooseFolder, &QPushButton::clicked, this, [this] { chooseOutput(); });
    connect(addFolderButton, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, "Add Folder");
        if (!folder.isEmpty()) addFolder(folder.toStdString());
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        std::vector<int> rows;
        for (QListWidgetItem* item : _list->selectedItems())
            rows.push_back(_list->row(item));
        removeInputs(rows);
    });
    connect(_formatMenu, &QComboBox::currentIndexChanged, this,
            [this](int index) { _format = Format(index); });
    connect(close, &QPushButton::clicked, this, [this] { this->close(); });
    connect(_processButton, &QPushButton::clicked, this, [this] {
        if (_running)
            cancel();
        else
            runBatch();
    });
}

void KXBatchProcessing::showBatchProcessingIfNeededWithCompletionHandler(std::function<void()> completion) {
    _completion = std::move(completion);
    show();
    raise();
}

void KXBatchProcessing::addInputs(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (std::find(_inputs.begin(), _inputs.end(), path) != _inputs.end()) continue;
        _inputs.push_back(path);
        auto* item = new QListWidgetItem(QString::fromStdString(fs::path(path).filename().string()), _list);
        // The list previews the selection on each photo.
        if (_imageProcessBlock) {
            KXBatchImageRequest request{path, QSize(kThumbnail, kThumbnail), true, true};
            const QImage preview = ImageAdditional::toQImage(_imageProcessBlock(request));
            if (!preview.isNull())
                item->setIcon(QIcon(QPixmap::fromImage(preview)));
            else
                item->setText(item->text() + "  (cannot be read)");
        }
    }
    _progress->setRange(0, std::max<int>(1, int(_inputs.size())));
}

void KXBatchProcessing::addFolder(const std::string& folder) {
    std::vector<std::string> paths;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.is_regular_file(error) && isPictureName(entry.path()))
            paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    addInputs(paths);
}

void KXBatchProcessing::removeInputs(std::vector<int> rows) {
    if (_running) return;
    std::sort(rows.rbegin(), rows.rend());
    for (int row : rows) {
        if (row < 0 || size_t(row) >= _inputs.size()) continue;
        _inputs.erase(_inputs.begin() + row);
        delete _list->takeItem(row);
    }
    _progress->setRange(0, std::max<int>(1, int(_inputs.size())));
}

void KXBatchProcessing::setFormat(Format format) {
    _format = format;
    _formatMenu->setCurrentIndex(int(format));
}

void KXBatchProcessing::setOutputFolder(const std::string& folder) {
    _outputFolder = folder;
    _outputLabel->setText(QString::fromStdString(folder));
}

void KXBatchProcessing::chooseInputs() {
    const QStringList files = QFileDialog::getOpenFileNames(
        this, "Add Photos", QString(),
        "Images (*.jpg *.jpeg *.png *.tif *.tiff *.bmp *.jp2 *.exr *.webp *.heic)");
    std::vector<std::string> paths;
    for (const QString& file : files)
        paths.push_back(file.toStdString());
    addInputs(paths);
}

void KXBatchProcessing::chooseOutput() {
    const QString folder = QFileDialog::getExistingDirectory(this, "Output Folder");
    if (!folder.isEmpty()) setOutputFolder(folder.toStdString());
}

std::vector<KXBatchProcessing::Result> KXBatchProcessing::runBatch() {
    std::vector<Result> results;
    if (_running || !_imageProcessBlock) return results;
    std::error_code error;
    if (_outputFolder.empty() || !fs::is_directory(_outputFolder, error)) {
        _status->setText("Choose a folder to write the processed photos to.");
        return results;
    }
    _running = true;
    _cancelRequested = false;
    _processButton->setText("Stop");
    static const char* const kTypes[] = {"public.jpeg", "public.png", "public.tiff"};
    static const char* const kExtensions[] = {".jpg", ".png", ".tif"};
    int written = 0;
    for (size_t i = 0; i < _inputs.size() && !_cancelRequested; ++i) {
        Result result{_inputs[i], {}, {}};
        std::unique_ptr<imageio::ImageSource> source = imageio::ImageSource::createWithPath(_inputs[i]);
        QSize size;
        foundation::Dictionary properties;
        if (source && source->count() > 0) {
            properties = source->copyProperties();
            const graphics::ImagePtr upright = source->createThumbnail(0);
            if (upright) size = QSize(upright->width(), upright->height());
        }
        const graphics::ImagePtr image =
            size.isEmpty() ? nullptr : _imageProcessBlock(KXBatchImageRequest{_inputs[i], size, false, true});
        if (!image) {
            result.failure = "cannot be read as an image";
        } else {
            const std::string path =
                freeName(_outputFolder, fs::path(_inputs[i]).stem().string(), kExtensions[int(_format)]);
            auto destination = imageio::ImageDestination::createWithPath(path, kTypes[int(_format)]);
            properties[imageio::kLossyCompressionQuality] = foundation::Value(0.9);
            if (destination) destination->addImage(image, properties);
            if (destination && destination->finalize()) {
                result.output = path;
                ++written;
            } else {
                result.failure = "cannot be written";
            }
        }
        results.push_back(result);
        _progress->setValue(int(i + 1));
        _status->setText(QString("%1 of %2 photos written").arg(written).arg(_inputs.size()));
        if (photoFinished) photoFinished(i + 1);
        // Let the Stop button and repaints through between photos.
        QCoreApplication::processEvents();
    }
    const int failed = int(results.size()) - written;
    if (_cancelRequested)
        _status->setText(QString("Stopped: %1 of %2 photos written").arg(written).arg(_inputs.size()));
    else if (failed > 0)
        _status->setText(QString("%1 written, %2 could not be processed").arg(written).arg(failed));
    _processButton->setText("Process");
    _running = false;
    return results;
}

void KXBatchProcessing::finish() {
    if (auto completion = std::exchange(_completion, nullptr)) completion();
}

void KXBatchProcessing::closeEvent(QCloseEvent* event) {
    if (_running) {
        event->ignore(); // a photo is being written
        return;
    }
    QDialog::closeEvent(event);
    finish();
}
