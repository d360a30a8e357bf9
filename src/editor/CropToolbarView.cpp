#include "editor/CropToolbarView.h"

#include "controls/KXButton.h"
#include "controls/SharedBundle.h"
#include "controls/VQTextView.h"

#include <QLabel>
#include <QPainter>

namespace {

// The bracket that joins the two size fields to the lock while proportions are kept.
class LockStripes : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(72, 148, 232), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const double w = width(), h = height();
        painter.drawLine(QPointF(1, 1), QPointF(w / 2, 1));
        painter.drawLine(QPointF(w / 2, 1), QPointF(w / 2, h / 2 - 13));
        painter.drawLine(QPointF(w / 2, h / 2 + 13), QPointF(w / 2, h - 1));
        painter.drawLine(QPointF(w / 2, h - 1), QPointF(1, h - 1));
    }
};

QLabel* label(QWidget* parent, const char* text, QRect frame, int size, QColor colour, bool bold = false) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(frame);
    l->setStyleSheet(QString("color: rgb(%1, %2, %3); font: %4 %5px 'Helvetica';")
                         .arg(colour.red())
                         .arg(colour.green())
                         .arg(colour.blue())
                         .arg(bold ? "bold" : "normal")
                         .arg(size));
    return l;
}

VQTextView* sizeField(QWidget* parent, const char* name, QRect frame) {
    auto* field = new VQTextView(parent);
    field->setObjectName(name);
    field->setStyle(VQTextViewRules::kBoundedInteger);
    field->setGeometry(frame);
    return field;
}

} // namespace

CropToolbarView::CropToolbarView(QWidget* parent) : VQView(parent) {
    setObjectName("cropToolbarView");
    setType(4);
    resize(kWidth, kHeight);
    const QColor light(230, 230, 232), grey(160, 160, 164);
    _title = label(this, "Crop", QRect(16, 12, 168, 20), 15, light, true);
    label(this, "Proportions", QRect(16, 38, 168, 16), 12, grey);

    _proportionsComboBox = new KXButton(this);
    _proportionsComboBox->setObjectName("proportionsComboBox");
    _proportionsComboBox->setGeometry(16, 56, 168, 26);
    _proportionsComboBox->setDropDown(true);
    _proportionsComboBox->setAlignment(Qt::AlignLeft);
    _proportionsComboBox->initialize();

    label(this, "W", QRect(16, 96, 16, 23), 12, grey);
    _cropResolutionX = sizeField(this, "cropResolutionX", QRect(34, 96, 96, 23));
    label(this, "H", QRect(16, 126, 16, 23), 12, grey);
    _cropResolutionY = sizeField(this, "cropResolutionY", QRect(34, 126, 96, 23));
    _lockOnStripes = new LockStripes(this);
    _lockOnStripes->setObjectName("lockOnStripes");
    _lockOnStripes->setGeometry(134, 107, 20, 31);
    _lockButton = new KXButton(this);
    _lockButton->setObjectName("lockButton");
    _lockButton->setGeometry(156, 110, 24, 24);
    _lockButton->setImage(imageNamedAdditional("lock_off"));

    _applyCropButton = new KXButton(this);
    _applyCropButton->setObjectName("applyCropButton");
    _applyCropButton->setTitle("Apply Crop");
    _applyCropButton->setGeometry(16, 158 - 4, 168, 26);
    _applyCropButton->initialize();
}
