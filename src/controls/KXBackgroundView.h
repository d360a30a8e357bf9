#pragma once
// A background: a tiled pattern or a colour, an optional selection frame, then an optional image
// fitted, filled or stretched, centred. It can drag its window; a Control-click asks for the
// context menu either way.
#include <QColor>
#include <QImage>
#include <QWidget>
#include <string>

class KXBackgroundView : public QWidget {
    Q_OBJECT
  public:
    enum ContentMode { kFit = 1, kFill = 2 }; // any other value stretches

    explicit KXBackgroundView(QWidget* parent = nullptr) : QWidget(parent) {}

    QColor backgroundColor() const { return _backgroundColor; } // invalid: none
    void setBackgroundColor(const QColor& colour);
    QImage backgroundImage() const { return _backgroundImage; }
    void setBackgroundImage(const QImage& image);
    const std::string& patternImageName() const { return _patternImageName; }
    void setPatternImageName(const std::string& name);
    // Loaded on the first paint that needs it, when no image is set.
    const std::string& backgroundImageName() const { return _backgroundImageName; }
    void setBackgroundImageName(const std::string& name) { _backgroundImageName = name; }
    bool canMoveWindow() const { return _canMoveWindow; }
    void setCanMoveWindow(bool on) { _canMoveWindow = on; }
    bool drawsSelectionFrame() const { return _drawsSelectionFrame; }
    void setDrawsSelectionFrame(bool on) {
        _drawsSelectionFrame = on;
        update();
    }
    int contentMode() const { return _contentMode; }
    void setContentMode(int mode);
    // With it the pattern's phase follows this view; without it, the window.
    bool drawPatternToImage() const { return _drawPatternToImage; }
    void setDrawPatternToImage(bool on) {
        _drawPatternToImage = on;
        update();
    }

    // Where the image is drawn, in this view's (y-down) coordinates, for an image of `image`
    // points.
    QRectF imageRect(QSizeF image) const;

  signals:
    void contentModeChanged(int mode);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent*) override { update(); }

  private:
    QColor _backgroundColor;
    QImage _backgroundImage;
    std::string _patternImageName, _backgroundImageName;
    bool _canMoveWindow = false, _drawsSelectionFrame = false, _drawPatternToImage = false;
    int _contentMode = 0;
};
