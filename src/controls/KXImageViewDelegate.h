#pragma once
// What the image view and the kit's drop view ask of their owner (the editor). The pasteboard is
// the drag's or the clipboard's data. Optional methods have default bodies; a drop is performed
// only by an owner that says it reads pasteboards.
#include <QPointF>
#include <cstdint>
#include <string>

class QMimeData;
class QWidget;

// In its own namespace: the image view's delegate of the same name is another interface, and
// both meet in the editor.
namespace controls {

class KXImageViewDelegate {
  public:
    virtual ~KXImageViewDelegate() = default;
    virtual void showCropErrorWithMessage(const std::string& message, const std::string& infoString) = 0;
    virtual void setStateForCropButton(bool enabled) = 0;
    virtual void finalizeRotationGesture() {}
    virtual void cropResolutionWidth(uint64_t, uint64_t, QWidget*) {}
    virtual void imageScaleDidChange(double, QWidget*) {}
    virtual int64_t currentMainTool() { return 0; }
    virtual bool canReadDataFromPasteboard(const QMimeData*) { return false; }
    virtual void readDataFromPasteboardWithDraggingLocation(const QMimeData*, QPointF) {}
    virtual bool respondsToReadDataFromPasteboard() const { return false; }
    virtual void readDataFromPasteboard(const QMimeData*) {}
    virtual void showBackgroundPopUpFromPoint(QPointF, QWidget*) {}
    virtual void compareModeIsReady(bool) {}
};

} // namespace controls
