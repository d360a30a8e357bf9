#pragma once
// The outside framework's window base: a pattern background, and a dimmed state that veils it
// while a dialog is up.
#include <QImage>
#include <QMainWindow>

class KXAbstractDimmWindow : public QMainWindow {
  public:
    explicit KXAbstractDimmWindow(QWidget* parent = nullptr) : QMainWindow(parent) {}

    QImage patternImage() const { return _patternImage; }
    void setPatternImage(const QImage& image);
    bool isDimmed() const { return _dimmed; }
    void setDimmed(bool on);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage _patternImage;
    bool _dimmed = false;
};
