#pragma once
// The content table's rows: the selected camera's files, with a thumbnail column and the columns
// "Date", "Make" and "Model" read from each file's metadata ("{Exif}" DateTimeOriginal, "{TIFF}"
// Make and Model). Thumbnails and metadata are asked for only when a row is drawn, which starts
// the file's read on the camera; fileDidChange() redraws the row when it arrives.
#include <QAbstractTableModel>
#include <memory>
#include <string>
#include <vector>

namespace camera {
class CameraFile;
}

class MediaFilesTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { kThumbnailColumn, kDateColumn, kMakeColumn, kModelColumn, kColumnCount };
    static constexpr const char* kColumnIdentifiers[kColumnCount] = {"Thumbnail", "Date", "Make", "Model"};

    using QAbstractTableModel::QAbstractTableModel;

    const std::vector<std::shared_ptr<camera::CameraFile>>& files() const { return _files; }
    void setFiles(std::vector<std::shared_ptr<camera::CameraFile>> files);
    void appendFiles(const std::vector<std::shared_ptr<camera::CameraFile>>& files);
    void fileDidChange(const camera::CameraFile* file);
    std::shared_ptr<camera::CameraFile> fileAtRow(int row) const;

    // The metadata value a column shows for a file, as text; empty when the file lacks it.
    static std::string columnText(camera::CameraFile& file, Column column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<std::shared_ptr<camera::CameraFile>> _files;
};
