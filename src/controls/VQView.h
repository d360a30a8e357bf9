#pragma once
// A skinned panel: an optional colour, then the nine-part artwork of its type stretched over it.
// It swallows mouse clicks so nothing behind it reacts.
#include <QColor>
#include <QWidget>
#include <array>
#include <string>

class VQView : public QWidget {
  public:
    explicit VQView(QWidget* parent = nullptr);

    int type() const { return _type; }
    void setType(int type);
    // An invalid colour paints none.
    QColor backgroundColor() const { return _backgroundColor; }
    void setBackgroundColor(const QColor& colour);

    // The nine artwork names of a type in reading order; empty names for a type without artwork.
    static std::array<std::string, 9> artworkNames(int type);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    int _type = -1;
    QColor _backgroundColor;
};
