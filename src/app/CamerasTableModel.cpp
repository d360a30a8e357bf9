#include "app/CamerasTableModel.h"

#include "platform/camera/CameraDevice.h"
#include "platform/services/KXSLocalization.h"

void CamerasTableModel::setCameras(std::vector<std::shared_ptr<camera::CameraDevice>> cameras) {
    beginResetModel();
    _cameras = std::move(cameras);
    endResetModel();
}

void CamerasTableModel::addCamera(const std::shared_ptr<camera::CameraDevice>& camera) {
    if (rowOf(camera.get()) >= 0) return;
    const int row = static_cast<int>(_cameras.size());
    beginInsertRows({}, row, row);
    _cameras.push_back(camera);
    endInsertRows();
}

void CamerasTableModel::removeCamera(const camera::CameraDevice* camera) {
    const int row = rowOf(camera);
    if (row < 0) return;
    beginRemoveRows({}, row, row);
    _cameras.erase(_cameras.begin() + row);
    endRemoveRows();
}

int CamerasTableModel::rowOf(const camera::CameraDevice* camera) const {
    for (size_t i = 0; i < _cameras.size(); ++i) {
        if (_cameras[i].get() == camera) return static_cast<int>(i);
    }
    return -1;
}

int CamerasTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(_cameras.size());
}

int CamerasTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1;
}

QVariant CamerasTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole) return {};
    return QString::fromStdString(_cameras[index.row()]->name());
}

QVariant CamerasTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section != 0) return {};
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey("Cameras", ""));
}
