#pragma once
// The red, green and blue histograms of the photo drawn as filled curves, bin 0 at the left,
// counts rising from the bottom edge, scaled to the largest count outside bin 0.
#include <QWidget>
#include <cstdint>
#include <vector>

class HistogramView : public QWidget {
    Q_OBJECT
  public:
    using Table = std::vector<uint64_t>;

    explicit HistogramView(QWidget* parent = nullptr) : QWidget(parent) {}

    const Table& histogram() const { return _histogram; }
    void setHistogram(Table table);
    const Table& redHistogram() const { return _redHistogram; }
    void setRedHistogram(Table table) { _redHistogram = std::move(table); }
    const Table& greenHistogram() const { return _greenHistogram; }
    void setGreenHistogram(Table table) { _greenHistogram = std::move(table); }
    const Table& blueHistogram() const { return _blueHistogram; }
    void setBlueHistogram(Table table) { _blueHistogram = std::move(table); }

    // Stored clamped; the drawing does not show them.
    void setOverlayForLeftPosition(float left, float right);
    float overlayPositionLeft() const { return _overlayPositionLeft; }
    float overlayPositionRight() const { return _overlayPositionRight; }

    // Largest red, green or blue count over bins 1 to n - 1, n the luminance table's length: a
    // flood of pure black must not flatten the rest of the picture.
    uint64_t peak() const;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    Table _histogram, _redHistogram, _greenHistogram, _blueHistogram;
    float _overlayPositionLeft = 5, _overlayPositionRight = 294;
};
