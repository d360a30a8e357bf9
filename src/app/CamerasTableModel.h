#pragma once
// The cameras table's rows: one per camera, showing its name.
#include <QAbstractTableModel>
#include <memory>
#include <vector>

namespace camera {
class CameraDevice;
}

class CamerasTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    using QAbstractTableModel::QAbstractTableModel;

    const std::vector<std::shared_ptr<camera::CameraDevice>>& cameras() const { return _cameras; }
    void setCameras(std::vector<std::shared_ptr<camera::CameraDevice>> cameras);
    void addCamera(const std::shared_ptr<camera::CameraDevice>& camera);
    // Does nothing for a camera not in the table.
    void removeCamera(const camera::CameraDevice* camera);
    // The row of a camera; -1 when absent.
    int rowOf(const camera::CameraDevice* camera) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<std::shared_ptr<camera::CameraDevice>> _cameras;
};
