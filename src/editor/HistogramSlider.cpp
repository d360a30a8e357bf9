#include "editor/HistogramSlider.h"

#include "controls/SharedBundle.h"

#include "editor/DSSUISliderButtonView.h"
#include "editor/HistogramView.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
const QSizeF kButtonSize(12, 14);

double halfTrack(double width) {
    return double(unsigned(width - 36) >> 1);
}
} // namespace

HistogramSlider::HistogramSlider(const QRectF& frame, QWidget* parent)
    : DSSUISlider(frame, 2, kButtonSize, 0, 255, frame.width() / 2 - halfTrack(frame.width()),
                  frame.width() / 2 + halfTrack(frame.width()), parent) {
    const double W = frame.width(), H = frame.height();

    m_histogram_view = new HistogramView(this);
    m_histogram_view->resize(int(unsigned(W - 36)) + 12, int(H - 8));
    setFrameOriginOfView(m_histogram_view, QPointF(25, 4));
    m_histogram_view->lower();

    // The frame is seen through an image view over the histogram; the slider's own contents stay
    // empty.
    auto* frameView = new QLabel(this);
    frameView->setAttribute(Qt::WA_TransparentForMouseEvents);
    frameView->setAlignment(Qt::AlignCenter);
    frameView->setGeometry(rect());
    _frameImage = get_background_image_of_size(QSizeF(W - 16, H), devicePixelRatioF());
    frameView->setPixmap(QPixmap::fromImage(_frameImage));
    frameView->stackUnder(_buttonsArray.front());

    // The gamma handle is the third slider; the toolbar may put its own knob in its place.
    auto* gamma = new DSSUISliderButtonView(this);
    gamma->resize(kButtonSize.toSize());
    setFrameOriginOfView(gamma, QPointF(0, 0));
    setThirdSlider(gamma);
    setButton_image(get_button_image_of_size(kButtonSize));
    gamma->setImage(button_image());

    m_is_initialized = true;
    // The white point first: the black point's limit is measured from it.
    setValue(294, 1, false);
    setValue(5, 0, false);
    setValue((5.0 + 294.0) / 2, 2, false);
}

void HistogramSlider::setValue(double position, uint64_t index, bool animated) {
    if (!m_is_initialized || index == 2) {
        DSSUISlider::setValue(position, index, animated);
        return;
    }
    float left = 0, right = 0;
    if (index == 1) {
        right = float(position);
        left = storedPosition(0);
    } else if (index == 0) {
        left = float(position);
        right = storedPosition(1);
    }
    if (right - left < 40.0f) {
        DSSUISlider::setValue(position, index, animated);
        if (left == float(position)) left = right - 40;
        if (right == float(position)) right = left + 40;
        m_histogram_view->setOverlayForLeftPosition(left, right);
    } else {
        m_histogram_view->setOverlayForLeftPosition(left, right);
        DSSUISlider::setValue(position, index, animated);
    }
}

QImage HistogramSlider::get_background_image_of_size(QSizeF size, qreal devicePixelRatio) {
    QImage image((size * devicePixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    // Oval 10 x 10: corners of radius 5 on the rectangle inset by 3.
    path.addRoundedRect(QRectF(QPointF(0, 0), size).adjusted(3, 3, -3, -3), 5, 5);
    painter.setPen(QPen(Qt::white, 2));
    painter.drawPath(path);
    return image;
}

QImage HistogramSlider::get_button_image_of_size(QSizeF) {
    return imageNamedAdditional("levels_slider");
}

void HistogramSlider::paintEvent(QPaintEvent*) {}
