#include "controls/TextGeometrics.h"

#include <QTextLayout>
#include <algorithm>

namespace TextGeometrics {

QSizeF sizeForWidth(const QString& text, const QFont& font, float width, float height) {
    QString body = text;
    if (body.endsWith(u'\n')) body.chop(1); // the empty line after it has no height of its own
    if (text.isEmpty()) return QSizeF(0, 0);
    body.replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(body, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    double used = 0, widest = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(double(width));
        if (used + line.height() > double(height) && used > 0) break;
        line.setPosition(QPointF(0, used));
        used += line.height();
        widest = std::max(widest, line.naturalTextWidth());
    }
    layout.endLayout();
    return QSizeF(std::ceil(widest), std::min(used, double(height)));
}

} // namespace TextGeometrics
