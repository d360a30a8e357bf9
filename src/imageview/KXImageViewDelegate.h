#pragma once
// What the image view tells its owner (the editor window controller). Optional methods have
// empty defaults; the view sends every one of them unconditionally.
#include "platform/graphics/Point.h"

#include <cstdint>
#include <string>

class KXImageView;
class QMimeData;

class KXImageViewDelegate {
  public:
    virtual ~KXImageViewDelegate() = default;
    virtual void showCropErrorWithMessage(const std::string& message, const std::string& infoString) = 0;
    virtual void setStateForCropButton(bool state) = 0;
    virtual void finalizeRotationGesture() {}
    virtual void cropResolutionWidth(uint64_t width, uint64_t height, KXImageView* view) {
        (void)width, (void)height, (void)view;
    }
    virtual void imageScaleDidChange(double scale, KXImageView* view) { (void)scale, (void)view; }
    virtual int64_t currentMainTool() { return 0; }
    virtual bool canReadDataFromPasteboard(const QMimeData* pasteboard) {
        (void)pasteboard;
        return false;
    }
    virtual void readDataFromPasteboardWithDraggingLocation(const QMimeData* pasteboard,
                                                            graphics::Point location) {
        (void)pasteboard, (void)location;
    }
    // A drop is performed only by a delegate that says it reads pasteboards.
    virtual bool respondsToReadDataFromPasteboard() const { return false; }
    virtual void readDataFromPasteboard(const QMimeData* pasteboard) { (void)pasteboard; }
    virtual void showBackgroundPopUpFromPoint(graphics::Point point, KXImageView* view) {
        (void)point, (void)view;
    }
    virtual void compareModeIsReady(bool ready) { (void)ready; }
};
