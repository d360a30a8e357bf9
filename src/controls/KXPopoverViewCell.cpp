#include "controls/KXPopoverViewCell.h"

#include "controls/SharedBundle.h"
#include "controls/VQView.h"

#include <QFontMetrics>
#include <QPixmap>

const QColor KXPopoverViewCell::kRowColour = QColor::fromRgbF(0.19f, 0.19f, 0.19f);
const QColor KXPopoverViewCell::kHoverColour = QColor::fromRgbF(1.0f, 0.73f, 0.12f);

namespace {
constexpr int kHeadIndent = 20;
}

KXPopoverViewCell::KXPopoverViewCell(const QString& categoryName, const QFont& font, QSize size,
                                     QWidget* parent)
    : QWidget(parent), _title(categoryName), _font(font), _titleHeight(QFontMetrics(font).height()),
      _titleY((size.height() - _titleHeight) / 2), _backgroundView(new VQView(this)),
      _categoryNameTextField(new QLabel(this)), _imageView(new QLabel(this)),
      _bottomSeparator(new QWidget(this)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    _backgroundView->setBackgroundColor(kRowColour);
    _categoryNameTextField->setFont(font);
    _imageView->setAlignment(Qt::AlignCenter);
    resize(size);
    deselect();
}

void KXPopoverViewCell::resizeEvent(QResizeEvent*) {
    // Parts keep their distance from the bottom edge, as they were laid out in y-up terms.
    const int h = height(), w = width();
    _backgroundView->setGeometry(0, 0, w, h);
    _categoryNameTextField->setGeometry(0, h - _titleY - _titleHeight, w, _titleHeight);
    _imageView->setGeometry(5, h - (_titleY + 1) - _titleHeight, 11, _titleHeight);
    _bottomSeparator->setGeometry(0, h - 2, w, 2);
    if (_separatorImage) _separatorImage->setGeometry(0, 0, w, _separatorImage->height());
    showTitle();
}

void KXPopoverViewCell::setSeparatorImage(const QImage& image) {
    if (!_separatorImage) {
        _separatorImage = new QLabel(_bottomSeparator);
        _separatorImage->setScaledContents(true);
    }
    _separatorImage->setPixmap(QPixmap::fromImage(image));
    const int h = image.isNull() ? 0 : int(image.height() / image.devicePixelRatio());
    _separatorImage->setGeometry(0, 0, width(), h);
}

void KXPopoverViewCell::setChecked(bool on) {
    if (on == _checked) return;
    _checked = on;
    showCheckMark();
}

void KXPopoverViewCell::showCheckMark() {
    if (!_checked) {
        _imageView->clear();
        return;
    }
    const QImage mark = imageNamedAdditional(_selected ? "check_y" : "check_b", devicePixelRatioF());
    _imageView->setPixmap(QPixmap::fromImage(mark));
}

void KXPopoverViewCell::showTitle() {
    const QFontMetrics metrics(_font);
    const int room = std::max(0, _categoryNameTextField->width() - kHeadIndent);
    _categoryNameTextField->setText(metrics.elidedText(_title, Qt::ElideRight, room));
    _categoryNameTextField->setIndent(kHeadIndent);
    _categoryNameTextField->setStyleSheet(_selected ? "color: black" : "color: white");
}

void KXPopoverViewCell::select() {
    _selected = true;
    showCheckMark();
    showTitle();
    _backgroundView->setBackgroundColor(kHoverColour);
}

void KXPopoverViewCell::deselect() {
    _selected = false;
    showCheckMark();
    showTitle();
    _backgroundView->setBackgroundColor(kRowColour);
}
