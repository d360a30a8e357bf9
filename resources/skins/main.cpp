// opalene_skins <bundle folder> <icon theme folder>: draws every skin the interface looks up by
// name, at 1x and 2x, into the bundle folder, and removes skins it no longer draws; and the
// application's icon at each size into "<n>x<n>/apps/opalene.png" of the icon theme folder. The
// same build writes the same pixels on any machine.
// opalene_skins --sheet <file.png>: a contact sheet of every skin at 2x, on dark and on light
// grounds, to judge them by eye (never installed).
#include "Skins.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

namespace {

QImage drawn(QSizeF size, int scale, const skins::Draw& draw) {
    QImage image((size * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    draw(painter, size);
    return image;
}

void writeAll(const skins::Write& write) {
    skins::writeLevelsSkins(write);
    skins::writeButtonSkins(write);
    skins::writeTextFieldSkins(write);
    skins::writeSliderSkins(write);
    skins::writeToolbarSkins(write);
    skins::writeCursorSkins(write);
    skins::writePanelSkins(write);
    skins::writeDialogSkins(write);
    skins::writeBrowserSkins(write);
    skins::writeCropSkins(write);
    skins::writeWindowSkins(write);
}

int writeBundle(const QString& folder) {
    int failures = 0;
    std::set<QString> written;
    writeAll([&](const std::string& name, QSizeF size, const skins::Draw& draw) {
        for (int scale : {1, 2}) {
            const QString file = QString::fromStdString(name) + (scale == 2 ? "@2x.png" : ".png");
            written.insert(file);
            if (!drawn(size, scale, draw).save(folder + "/" + file)) {
                std::fprintf(stderr, "opalene_skins: cannot write %s/%s\n", folder.toLocal8Bit().constData(),
                             file.toLocal8Bit().constData());
                ++failures;
            }
        }
    });
    // A skin no longer drawn must not linger in the bundle. Skins come in pairs, "<name>.png" and
    // "<name>@2x.png"; a lone PNG is some other artwork's and is left alone.
    QDir dir(folder);
    for (const QString& file : dir.entryList({"*@2x.png"}, QDir::Files)) {
        const QString single = file.chopped(7) + ".png";
        if (!written.count(file) && dir.exists(single)) dir.remove(file), dir.remove(single);
    }
    return failures == 0 ? 0 : 1;
}

int writeIcons(const QString& theme) {
    int failures = 0;
    for (int pixels : skins::kApplicationIconSizes) {
        const QString folder = QString("%1/%2x%2/apps").arg(theme).arg(pixels);
        if (!QDir().mkpath(folder) || !skins::applicationIcon(pixels).save(folder + "/opalene.png")) {
            std::fprintf(stderr, "opalene_skins: cannot write the icon in %s\n",
                         folder.toLocal8Bit().constData());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

// Each skin at 2x with its name, in rows, once over a dark ground and once over a light one. Tiles
// one point across are stretched to 24 so their shading shows.
int writeSheet(const QString& file) {
    struct Entry {
        QString name;
        QImage image;
    };
    constexpr int kCell = 180, kColumns = 8, kLabel = 26, kTallest = 320;
    std::vector<Entry> entries;
    writeAll([&](const std::string& name, QSizeF size, const skins::Draw& draw) {
        QImage image = drawn(size, 2, draw);
        if (image.width() <= 2) image = image.scaled(48, image.height());
        if (image.height() <= 2) image = image.scaled(image.width(), 48);
        if (image.width() > kCell - 16 || image.height() > kTallest)
            image = image.scaled(kCell - 16, kTallest, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        entries.push_back({QString::fromStdString(name), image});
    });
    int rowHeight = 0;
    std::vector<int> tops{0};
    for (size_t i = 0; i < entries.size(); ++i) {
        rowHeight = std::max(rowHeight, entries[i].image.height() + kLabel + 16);
        if ((i + 1) % kColumns == 0 || i + 1 == entries.size())
            tops.push_back(tops.back() + rowHeight), rowHeight = 0;
    }
    const int halfWidth = kColumns * kCell;
    QImage sheet(halfWidth * 2, tops.back(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&sheet);
    painter.fillRect(0, 0, halfWidth, sheet.height(), QColor(24, 24, 26));
    painter.fillRect(halfWidth, 0, halfWidth, sheet.height(), QColor(236, 236, 238));
    QFont font("Helvetica");
    font.setPixelSize(11);
    painter.setFont(font);
    for (int half = 0; half < 2; ++half) {
        painter.setPen(half == 0 ? QColor(200, 200, 204) : QColor(40, 40, 44));
        for (size_t i = 0; i < entries.size(); ++i) {
            const int x = half * halfWidth + int(i % kColumns) * kCell + 8, y = tops[i / kColumns] + 8;
            const QImage& image = entries[i].image;
            painter.drawImage(x, y, image);
            painter.drawText(QRect(x, y + image.height() + 4, kCell - 12, kLabel),
                             Qt::AlignLeft | Qt::AlignTop,
                             painter.fontMetrics().elidedText(entries[i].name, Qt::ElideMiddle, kCell - 12));
        }
    }
    painter.end();
    if (sheet.save(file)) return 0;
    std::fprintf(stderr, "opalene_skins: cannot write %s\n", file.toLocal8Bit().constData());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <bundle folder> <icon theme folder> | --sheet <file.png>\n", argv[0]);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    if (std::strcmp(argv[1], "--sheet") == 0) return writeSheet(QString::fromLocal8Bit(argv[2]));
    const int skins = writeBundle(QString::fromLocal8Bit(argv[1]));
    return writeIcons(QString::fromLocal8Bit(argv[2])) | skins;
}
