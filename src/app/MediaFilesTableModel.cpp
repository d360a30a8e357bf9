#include "app/MediaFilesTableModel.h"

#include "app/CGImageRefToNSImageTransformer.h"
#include "platform/camera/CameraFile.h"
#include "platform/services/KXSLocalization.h"

#include <QIcon>

void MediaFilesTableModel::setFiles(std::vector<std::shared_ptr<camera::CameraFile>> files) {
    beginResetModel();
    _files = std::move(files);
    endResetModel();
}

void MediaFilesTableModel::appendFiles(const std::vector<std::shared_ptr<camera::CameraFile>>& files) {
    if (files.empty()) return;
    const int first = static_cast<int>(_files.size());
    beginInsertRows({}, first, first + static_cast<int>(files.size()) - 1);
    _files.insert(_files.end(), files.begin(), files.end());
    endInsertRows();
}

void MediaFilesTableModel::fileDidChange(const camera::CameraFile* file) {
    for (size_t row = 0; row < _files.size(); ++row) {
        if (_files[row].get() != file) continue;
        emit dataChanged(index(static_cast<int>(row), 0), index(static_cast<int>(row), kColumnCount - 1));
        return;
    }
}

std::shared_ptr<camera::CameraFile> MediaFilesTableModel::fileAtRow(int row) const {
    return row >= 0 && row < rowCount() ? _files[row] : nullptr;
}

std::string MediaFilesTableModel::columnText(camera::CameraFile& file, Column column) {
    if (column == kThumbnailColumn || column >= kColumnCount) return {};
    const char* group = column == kDateColumn ? "{Exif}" : "{TIFF}";
    const char* key = column == kDateColumn ? "DateTimeOriginal" : column == kMakeColumn ? "Make" : "Model";
    const foundation::Dictionary& metadata = file.metadataIfAvailable();
    auto found = metadata.find(group);
    const foundation::Value* value = found == metadata.end() ? nullptr : found->second.find(key);
    const std::string* text = value ? value->getString() : nullptr;
    return text ? *text : std::string();
}

int MediaFilesTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(_files.size());
}

int MediaFilesTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant MediaFilesTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    camera::CameraFile& file = *_files[index.row()];
    const auto column = static_cast<Column>(index.column());
    if (column == kThumbnailColumn && role == Qt::DecorationRole) {
        QPixmap picture = CGImageRefToNSImageTransformer::transformedValue(file.thumbnailIfAvailable());
        // As an icon the cell scales the picture down to fit, keeping its proportions.
        return picture.isNull() ? QVariant() : QVariant(QIcon(picture));
    }
    if (column != kThumbnailColumn && (role == Qt::DisplayRole || role == Qt::ToolTipRole)) {
        return QString::fromStdString(columnText(file, column));
    }
    return {};
}

QVariant MediaFilesTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section <= kThumbnailColumn ||
        section >= kColumnCount)
        return {};
    return QString::fromStdString(
        services::KXSLocalization::localizedStringForKey(kColumnIdentifiers[section], ""));
}
