// opalene_uisheet <photo> <folder>: renders every registered screen state of the interface on a
// photo, offscreen, one PNG per state plus index.png, so the interface can be judged by eye.
#include "UiSheetRegistry.h"
#include "platform/appkit/MainQueuePump.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

std::vector<UiSheetState>& uiSheetStates() {
    static std::vector<UiSheetState> states;
    return states;
}

static void settleEvents(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    } while (timer.elapsed() < milliseconds);
}

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    appkit::MainQueuePump mainQueue; // main-queue posts of the states run in Qt's loop
    // States choose categories, favourites and presets: never in the user's own settings, and the
    // same starting point on every run.
    QTemporaryDir settings;
    if (!std::getenv("OPALENE_CONFIG_DIR"))
        setenv("OPALENE_CONFIG_DIR", settings.filePath("config").toLocal8Bit().constData(), 1);
    if (!std::getenv("OPALENE_DATA_DIR"))
        setenv("OPALENE_DATA_DIR", settings.filePath("data").toLocal8Bit().constData(), 1);
    if (argc != 3) {
        std::fprintf(stderr, "usage: opalene_uisheet <photo> <folder>\n");
        return 2;
    }
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    reader.setAutoTransform(true);
    QImage photo = reader.read();
    if (photo.isNull()) {
        std::fprintf(stderr, "opalene_uisheet: cannot read %s: %s\n", argv[1],
                     reader.errorString().toLocal8Bit().constData());
        return 1;
    }
    photo = photo.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QDir folder(QString::fromLocal8Bit(argv[2]));
    if (!folder.mkpath(".")) {
        std::fprintf(stderr, "opalene_uisheet: cannot make %s\n", argv[2]);
        return 1;
    }

    auto& states = uiSheetStates();
    std::sort(states.begin(), states.end(),
              [](const UiSheetState& a, const UiSheetState& b) { return a.name < b.name; });
    std::vector<std::pair<QString, QImage>> shots;
    int failures = 0;
    // OPALENE_UISHEET_ONLY=<text> renders just the states whose names hold the text.
    const char* only = std::getenv("OPALENE_UISHEET_ONLY");
    for (const UiSheetState& state : states) {
        if (only && state.name.find(only) == std::string::npos) continue;
        std::unique_ptr<QWidget> widget = state.build(photo);
        if (!widget) {
            std::fprintf(stderr, "opalene_uisheet: state %s built nothing\n", state.name.c_str());
            ++failures;
            continue;
        }
        widget->show();
        settleEvents(50);
        if (state.settle) state.settle(*widget);
        settleEvents(50);
        QImage shot = widget->grab().toImage();
        const QString name = QString::fromStdString(state.name);
        if (!shot.save(folder.filePath(name + ".png"))) {
            std::fprintf(stderr, "opalene_uisheet: cannot write %s.png\n", state.name.c_str());
            ++failures;
        }
        shots.emplace_back(name, shot);
        widget.reset();
        settleEvents(10);
    }

    // Index: every state scaled into a cell with its name underneath.
    const int cell = 360, label = 22, columns = 4;
    const int rows = std::max<int>(1, (int(shots.size()) + columns - 1) / columns);
    QImage index(columns * cell, rows * (cell + label), QImage::Format_RGB32);
    index.fill(QColor(40, 40, 40));
    QPainter painter(&index);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setPen(Qt::white);
    painter.setFont(QFont("Helvetica", 12));
    for (size_t i = 0; i < shots.size(); ++i) {
        const int x = int(i % columns) * cell, y = int(i / columns) * (cell + label);
        QImage scaled =
            shots[i].second.scaled(cell - 8, cell - 8, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        painter.drawImage(x + (cell - scaled.width()) / 2, y + (cell - scaled.height()) / 2, scaled);
        painter.drawText(QRect(x, y + cell, cell, label), Qt::AlignCenter, shots[i].first);
    }
    painter.end();
    index.save(folder.filePath("index.png"));
    std::printf("opalene_uisheet: %zu states written to %s\n", shots.size(), argv[2]);
    return failures == 0 ? 0 : 1;
}
