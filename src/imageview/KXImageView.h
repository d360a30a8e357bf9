#pragma once
// The editor's central view: the working photo and an effect's preview as LayerKit layers (y-up,
// the view drawing their contents as their delegate), the preview's cross-fade, the scale, the
// visible area, fits and zoom steps with their frame animation.
#include "imageview/KXImageViewDataSource.h"
#include "imageview/KXImageViewDelegate.h"
#include "imageview/KXImageViewPostProcessDelegate.h"
#include "platform/appkit/Event.h"
#include "platform/appkit/EventAdaptor.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Rect.h"
#include "platform/quartz/AnimationDelegate.h"
#include "platform/quartz/LayerDelegate.h"
#include "platform/quartz/LayerHostWidget.h"

#include <QColor>
#include <QCursor>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QMimeData;
namespace appkit {
class CursorRects;
}

class KXImageView : public quartz::LayerHostWidget,
                    public quartz::LayerDelegate,
                    public quartz::AnimationDelegate {
    Q_OBJECT
  public:
    explicit KXImageView(QWidget* parent = nullptr);
    ~KXImageView() override;

    // Layers, each made on first use.
    quartz::Layer& imageLayer();
    quartz::Layer& previewLayer();
    quartz::Layer& cropLayer();
    quartz::Layer& backgroundLayer();
    quartz::Layer& leftShadowLayer();
    quartz::Layer& rightShadowLayer();
    void setPreviewLayer(std::shared_ptr<quartz::Layer> layer);
    // The layers as they are now (null when not made); the snapshot exists only during a fade.
    quartz::Layer* existingPreviewLayer() const { return _previewLayer.get(); }
    quartz::Layer* existingCropLayer() const { return _cropLayer.get(); }
    quartz::Layer* animationLayer() const { return _animationLayer.get(); }

    // Pictures.
    void setImage(graphics::ImagePtr image);
    void setImage(graphics::ImagePtr image, bool animated);
    void setPreviewImage(graphics::ImagePtr image);
    void setPreviewImage(graphics::ImagePtr image, bool animated);
    const graphics::ImagePtr& image() const { return _image; }
    const graphics::ImagePtr& previewImage() const { return _previewImage; }
    graphics::Point previewCenter() const;
    graphics::Size correctedSize() const { return _correctedSize; }
    graphics::Size correctedPreviewSize() const { return _correctedPreviewSize; }
    double maxCropWidthHeight() const { return _maxCropWidthHeight; }

    // Scale, margins and modes.
    double scale() const { return _scale; }
    void setScale(double scale);
    double rightMargin() const { return _rightMargin; }
    void setRightMargin(double margin) { _rightMargin = margin; }
    double bottomMargin() const { return _bottomMargin; }
    void setBottomMargin(double margin) { _bottomMargin = margin; }
    bool autoCenterEnabled() const { return _autoCenterEnabled; }
    void setAutoCenterEnabled(bool enabled) { _autoCenterEnabled = enabled; }
    bool isCompareMode() const { return _isCompareMode; }
    void setIsCompareMode(bool compare) { _isCompareMode = compare; }
    int proportionsConstrain() const { return _proportionsConstrain; }
    graphics::Point proportionsConstrainAspect() const { return _proportionsConstrainAspect; }
    const std::string& proportionsConstrainText() const { return _proportionsConstrainText; }
    void setProportionsConstrainText(std::string text) { _proportionsConstrainText = std::move(text); }
    bool isDisabled() const { return _isDisabled; }
    void setDisabled(bool disabled);
    int operation() const { return _operation; }
    double rotationAngleRadians() const { return _rotationAngle; }
    const graphics::Rect& cropFrame() const { return _cropFrame; }
    // The view's bounds when it was set up: centring moves the picture by the change since.
    const graphics::Rect& previousBoundsRect() const { return _previousBoundsRect; }

    KXImageViewDelegate* delegate() const { return _delegate; }
    void setDelegate(KXImageViewDelegate* delegate) { _delegate = delegate; }
    KXImageViewDataSource* dataSource() const { return _dataSource; }
    void setDataSource(KXImageViewDataSource* dataSource) { _dataSource = dataSource; }
    KXImageViewPostProcessDelegate* postProcessDelegate() const { return _postProcessDelegate; }
    void setPostProcessDelegate(KXImageViewPostProcessDelegate* delegate) { _postProcessDelegate = delegate; }

    // The cursors made at set-up: the centre-picking target and the crop handles' arrows.
    const QCursor& customCrosshairCursor() const { return _customCrosshairCursor; }
    const QCursor& customCropLeftCursor() const { return _customCropLeftCursor; }
    const QCursor& customCropRightCursor() const { return _customCropRightCursor; }

    // Redraws.
    void commitChangesAnimated(bool animated);
    void refreshBackground();

    // Visible area, fits and zoom.
    graphics::Rect extraVisibleRect() const;
    bool canZoomToFit() const;
    bool canZoomIn() const;
    bool canZoomOut() const;
    bool canZoomToActualSize() const;
    static double contentScaleForLayer(const quartz::Layer* layer);
    void zoomToFitAnimated(bool animated);
    void zoomToFitAnimated(bool animated, std::function<void()> completionBlock);
    void zoomInAnimated(bool animated);
    void zoomOutAnimated(bool animated);
    void zoomToActualSizeAnimated(bool animated);
    void centerImageAnimated(bool animated);
    void validateCropLayerFrame();
    void handleLayerZoomSetAnimated(bool animated, const graphics::Rect& frame);
    void handleLayerZoomSetAnimated(bool animated, const graphics::Rect& frame,
                                    std::function<void()> completionBlock);

    // Compare mode: the photo in the left half of the visible area, the preview in the right.
    bool readyToEnterCompareMode() const;
    void enterCompareMode();
    void leaveCompareMode();
    void fitCompareModeAnimated(bool animated);
    void _fitImageLayerToCompareAnimated(bool animated);
    void _fitPreviewLayerToCompareAnimated(bool animated);
    // The photo over the preview in place, while the editor's button is held.
    void showQuickCompare(bool show);

    // Crop tool: the frame (view points) with four corner handles, proportions, and the pending
    // straighten and flips shown on the image layer's transform until applied.
    bool isCropOn() const { return _isCropOn; }
    void setCropToolOn(bool on);
    void setCropFrame(const graphics::Rect& frame);
    void setCropSize(graphics::Size pixels);
    graphics::Point ltCornerPosition() const { return _ltCornerPosition; }
    graphics::Point rtCornerPosition() const { return _rtCornerPosition; }
    graphics::Point rbCornerPosition() const { return _rbCornerPosition; }
    graphics::Point lbCornerPosition() const { return _lbCornerPosition; }
    graphics::Rect ltCornerRect() const { return cornerRect(_ltCornerPosition); }
    graphics::Rect rtCornerRect() const { return cornerRect(_rtCornerPosition); }
    graphics::Rect rbCornerRect() const { return cornerRect(_rbCornerPosition); }
    graphics::Rect lbCornerRect() const { return cornerRect(_lbCornerPosition); }
    void setLtCornerPosition(graphics::Point p);
    void setRtCornerPosition(graphics::Point p);
    void setRbCornerPosition(graphics::Point p);
    void setLbCornerPosition(graphics::Point p);
    bool is_crop_rect_valid(const graphics::Rect&) const { return true; }
    graphics::Size calc_constrained_size(const graphics::Rect& rect) const;
    void setProportionsConstrain(int value);
    double minimumCropSide() const;
    uint64_t cropWidthInPixels() const;
    uint64_t cropHeightInPixels() const;
    int64_t cropDragCornerIndex() const { return _cropDragCornerIndex; }
    void setCropDragCornerIndex(int64_t index) { _cropDragCornerIndex = index; }
    // Size limits after the corner `corner` was dragged (points; the far edges stay).
    void limitCropFrameAfterDrag(int64_t corner);
    // Size limits in pixels about the frame's centre, run before every crop redraw.
    void limitCropFrameInPixels();
    void updateCropFields();
    void validateCropButton();
    // Answers YES when the crop is too large to apply.
    bool isCanCrop() const;
    void rotateImageForCropToAngle(double degrees, bool animated);
    void rotateImageForCropToAngle(double degrees) { rotateImageForCropToAngle(degrees, false); }
    void rotate(double radians);
    double rotationAngle() const;
    void flipHorizontalAnimated(bool animated);
    void flipVerticalAnimated(bool animated);
    bool isFlippedHorizontal() const { return _isFlippedHorizontal; }
    bool isFlippedVertical() const { return _isFlippedVertical; }
    bool haveChanges() const { return _haveChanges; }
    void cancelChangesForRotationTab();

    // Turns: the photo is replaced at once by its turned copy while the layer turns on screen;
    // the layer is rebuilt upright after each turn and the view fits once the last one ended.
    void setRotationAngle(double degrees, graphics::Point centerPoint, bool animated);
    graphics::ImagePtr rotatedImage(const graphics::ImagePtr& image, double degrees) const;
    void animationDidStop(quartz::Animation* animation, bool finished) override;
    static void stopAnimations(quartz::Layer& root);
    void zoom();
    uint64_t countRotations() const { return _countRotations; }
    static double validateAngleForLeftRotationFromAngle(double angle);
    static double validateAngleForRightRotationFromAngle(double angle);
    double rotateLeftAnimated(bool animated);
    double rotateRightAnimated(bool animated);
    // Bakes the pending straighten, flips and the crop into the photo in one resample.
    bool applyCrop();
    // Whether a turn or flip is shown that the photo does not have yet.
    bool hasPendingTransform() const;
    // Bakes the pending turns and flips into the photo; a straightening angle's wedges are cut off.
    bool applyPendingTransform();

    // Fixed colours, made once per process.
    static const QColor& backgroundColorRef();
    static const QColor& whiteColor();
    static const QColor& blackColor();
    static const QColor& redColor();
    static const QColor& greenColor();
    static const QColor& layerBackgroundColor();
    static const QColor& clearColor();

    // Layer contents: the photo's and the preview's display pictures, made once per picture.
    bool displayLayer(quartz::Layer& layer) override;
    void drawLayer(quartz::Layer& layer, QPainter& painter) override;

    // ---- Pointer, wheel, gestures, cursors and drops (y-up events from the adaptor)
    void mouseDown(const appkit::Event& event);
    void mouseDragged(const appkit::Event& event);
    void mouseUp(const appkit::Event& event);
    void rightMouseDown(const appkit::Event& event);
    void mouseEntered(const appkit::Event& event);
    void scrollWheel(const appkit::Event& event);
    void scrollFromEvent(const appkit::Event& event);
    void magnifyWithEvent(const appkit::Event& event);
    void rotateWithEvent(const appkit::Event& event);
    void beginGestureWithEvent(const appkit::Event& event);
    void endGestureWithEvent(const appkit::Event& event);
    bool acceptsFirstResponder() const { return !_isDisabled; }
    // Zoom by a factor about the picture's centre; a zoom in never passes actual pixels.
    void zoomInAnimated(bool animated, double factor);
    void zoomOutAnimated(bool animated, double factor);
    // The quarter turn a gesture's angle snaps to: past 15 degrees the next one away from zero,
    // with the opposite sign.
    static double getValidatedRotationDegree(double degrees);
    double currentValidatedRotationDegree() const { return getValidatedRotationDegree(rotationAngle()); }
    void rotateViewAfterGesture(double degrees);
    void applyRotationByAngle(double degrees) { rotateViewAfterGesture(degrees); }
    bool needsToShowOpenHand() const { return !_previewImage && !_isCompareMode && _image; }
    void forceCustomCursorSet();
    bool forceCustomCursor() const { return _forceCustomCursor; }
    // Redraws the photo's layer 0.1 s after the last request.
    void delayedSetNeedDisplayForImageLayer();
    void resetCursorRects(appkit::CursorRects& rects);
    // The cursor the view's rectangles give at a point (y-up), none outside them.
    std::optional<QCursor> cursorRectAt(graphics::Point point);
    // Drag destination: 1 (copy) or 0 (none) as the platform numbers them.
    int draggingEntered(const QMimeData* pasteboard, bool sourceAllowsCopy);
    bool prepareForDragOperation(const QMimeData* pasteboard);
    bool performDragOperation(const QMimeData* pasteboard);
    bool isGestureProcessed() const { return _isGestureProcessed; }
    bool isZoomingProcessed() const { return _isZoomingProcessed; }
    bool isRotationProcessed() const { return _isRotationProcessed; }
    graphics::Point clickPoint() const { return _clickPoint; }
    graphics::Point startCropPoint() const { return _startCropPoint; }

  protected:
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // The photo flipped, turned about its centre to `centre`, cut to `crop` and made opaque.
    graphics::ImagePtr bakeTransform(graphics::Point centre, const graphics::Rect& crop,
                                     graphics::Rect& extent) const;
    void _initilization();
    std::shared_ptr<quartz::Layer> makeLayer(const char* name, const graphics::Rect& frame, unsigned mask);
    void insertBelow(const std::shared_ptr<quartz::Layer>& layer, const quartz::Layer* sibling);
    std::shared_ptr<quartz::Layer> snapshotOf(const quartz::Layer& layer, double opacity);
    void removeSnapshot();
    static void dropShadow(quartz::Layer& picture, bool on);
    void showPreviewAfterFit(std::shared_ptr<quartz::Layer> snapshotSource);
    void replacePreviewInCompareMode(graphics::ImagePtr image);
    void _moveImageInContent();
    void _fitRightShadow();
    void moveActiveLayer(bool animated, const graphics::Rect& frame, const char* key, double duration,
                         bool asFrame);
    void invalidateCursorRects();
    quartz::Layer* activeLayer() const { return _activeLayer.lock().get(); }
    graphics::Rect visibleRect() const;
    static graphics::Rect cornerRect(graphics::Point corner) {
        return {corner.x - 20, corner.y - 20, 40, 40};
    }
    graphics::AffineTransform pendingTransform() const;
    void setImageLayerTransformNow(const graphics::AffineTransform& transform);
    void redrawCropLayer();
    void drawCropOverlay(QPainter& painter);

    KXImageViewDelegate* _delegate = nullptr;
    KXImageViewDataSource* _dataSource = nullptr;
    KXImageViewPostProcessDelegate* _postProcessDelegate = nullptr;

    graphics::ImagePtr _image;
    quartz::Contents _imageRef;
    graphics::Size _correctedSize;
    graphics::ImagePtr _previewImage;
    quartz::Contents _previewImageRef;
    graphics::Size _correctedPreviewSize;
    double _maxCropWidthHeight = 0;

    std::shared_ptr<quartz::Layer> _imageLayer, _previewLayer, _cropLayer, _backgroundLayer, _leftShadowLayer,
        _rightShadowLayer, _animationLayer;
    std::weak_ptr<quartz::Layer> _activeLayer;

    double _scale = 0;
    double _rightMargin = 0;
    double _bottomMargin = 0;
    bool _autoCenterEnabled = false;
    bool _isCompareMode = false;
    int _operation = 0;
    graphics::Rect _previousBoundsRect;
    double _rotationAngle = 0;
    uint64_t _countRotations = 0;
    bool _haveChanges = false;
    bool _isFlippedVertical = false;
    bool _isFlippedHorizontal = false;

    bool _isCropOn = false;
    graphics::Rect _cropFrame;
    graphics::Point _ltCornerPosition, _rtCornerPosition, _rbCornerPosition, _lbCornerPosition;
    int64_t _cropDragCornerIndex = 0;
    int _proportionsConstrain = 0;
    graphics::Point _proportionsConstrainAspect;
    std::string _proportionsConstrainText;

    bool _isDisabled = false;
    QCursor _customCrosshairCursor, _customCropLeftCursor, _customCropRightCursor;
    bool _forceCustomCursor = false;

    // Each preview shown or removed makes earlier fit completions stale.
    uint64_t _previewGeneration = 0;
    // Completion blocks run on later ticks; they check this before touching the view.
    std::shared_ptr<bool> _alive = std::make_shared<bool>(true);

    // ---- Pointer and gestures
    // The pan and the frame drag keep this much of the picture or the frame inside the view.
    void moveImageLayerOrigin(graphics::Point origin);
    graphics::Point keptInside(graphics::Point origin, graphics::Size size, double margin) const;
    bool currentCursorIs(const QCursor& cursor) const;
    bool wantsCrosshair() const { return _dataSource && _dataSource->needsToShowCrosshairCursor(); }
    double bottomStrip() const { return _dataSource ? double(_dataSource->appButtomContentViewHeight()) : 0; }
    bool delegateReads(const QMimeData* pasteboard) const;
    appkit::EventAdaptor _eventAdaptor;
    appkit::CursorRects* _cursorRects = nullptr;
    graphics::Point _clickPoint, _originalOrigin, _startDragPoint, _startCropPoint;
    std::optional<QCursor> _activeCropCursor;
    // Qt reports a double click's second press apart: its drags belong to no drag.
    bool _doubleClickDown = false;
    bool _isGestureProcessed = false, _isZoomingProcessed = false, _isRotationProcessed = false;
};
