#pragma once
// One row of the popover list: a background, the title indented past the check mark, the check
// mark on the current row and an optional separator under it. Hovered, the row turns amber with
// black text.
#include <QFont>
#include <QLabel>
#include <QWidget>

class VQView;

class KXPopoverViewCell : public QWidget {
  public:
    static const QColor kRowColour, kHoverColour;

    // `size` is the row's size before the list places it.
    KXPopoverViewCell(const QString& categoryName, const QFont& font, QSize size, QWidget* parent = nullptr);

    bool checked() const { return _checked; }
    void setChecked(bool on);
    bool selected() const { return _selected; } // hovered
    void select();
    void deselect();

    VQView* backgroundView() const { return _backgroundView; }
    QLabel* categoryNameTextField() const { return _categoryNameTextField; }
    QLabel* imageView() const { return _imageView; }
    QWidget* bottomSeparator() const { return _bottomSeparator; }
    // Puts the separator picture into the row's separator strip.
    void setSeparatorImage(const QImage& image);

  protected:
    void resizeEvent(QResizeEvent*) override;

  private:
    void showTitle();
    void showCheckMark();

    QString _title;
    QFont _font;
    int _titleHeight, _titleY; // y counted up from the bottom, as laid out for the first size
    bool _checked = false, _selected = false;
    VQView* _backgroundView;
    QLabel* _categoryNameTextField;
    QLabel* _imageView;
    QWidget* _bottomSeparator;
    QLabel* _separatorImage = nullptr;
};
