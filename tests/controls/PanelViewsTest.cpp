#include "controls/KXAttributedTextField.h"
#include "controls/KXBackgroundGradientView.h"
#include "controls/KXBackgroundView.h"
#include "controls/KXJRVTopBarView.h"
#include "controls/KXUIImageView.h"
#include "controls/SharedBundle.h"
#include "controls/TextGeometrics.h"
#include "controls/VQDropView.h"
#include "controls/VQView.h"
#include "controls/VQWindow.h"
#include "support/TestSkins.h"
#include "support/UiApplication.h"

#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

QImage filled(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

// Left half one colour, right half another: a tile stretched sideways moves the seam.
QImage halves(int w, int h, QColor left, QColor right) {
    QImage image = filled(w, h, left);
    for (int y = 0; y < h; ++y)
        for (int x = w / 2; x < w; ++x)
            image.setPixelColor(x, y, right);
    return image;
}

// A bundle of plain-coloured skins, so every tile can be told apart by its pixels.
class Panels : public ::testing::Test {
  protected:
    QApplication& app = uiApplication();
    TestSkins dir;

    void put(const std::string& name, const QImage& image) {
        ASSERT_TRUE(image.save(QString::fromStdString(dir.file(name + ".png"))));
    }
    static void mouse(QWidget& w, QEvent::Type type, QPoint at,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), w.mapToGlobal(QPointF(at)), Qt::LeftButton, buttons, modifiers);
        QApplication::sendEvent(&w, &event);
    }
};

// The widget's own painting over a clear picture, without a window background.
QImage rendered(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace

TEST_F(Panels, PanelWithoutArtworkPaintsOnlyItsColour) {
    put("dialog_left_top", filled(10, 10, Qt::red));
    VQView view;
    EXPECT_EQ(view.type(), -1);
    view.resize(60, 40);
    view.setBackgroundColor(QColor(10, 20, 30));
    const QImage shown = view.grab().toImage();
    for (QPoint p : {QPoint(0, 0), QPoint(59, 0), QPoint(30, 20), QPoint(0, 39), QPoint(59, 39)})
        EXPECT_EQ(shown.pixelColor(p), QColor(10, 20, 30)) << p.x() << "," << p.y();
}

TEST_F(Panels, ArtworkSetsByType) {
    struct Case {
        int type;
        std::array<std::string, 9> names;
    } cases[] = {
        {1,
         {"adj_left_top", "adj_center_top", "adj_center_top", "adj_left_center", "adj_center_center",
          "adj_center_center", "adj_left_bottom", "adj_center_bottm", "adj_center_bottm"}},
        {3,
         {"jrv_dialog_left_top", "jrv_dialog_center_top", "jrv_dialog_right_top", "jrv_dialog_left_center",
          "jrv_dialog_center_center", "jrv_dialog_right_center", "jrv_dialog_left_bottom",
          "jrv_dialog_center_bottom", "jrv_dialog_right_bottom"}},
        {4,
         {"adj_left_top_s", "adj_center_top_s", "adj_center_top_s", "adj_left_center", "adj_center_center",
          "adj_center_center", "adj_left_bottom", "adj_center_bottm", "adj_center_bottm"}},
        {5,
         {"drawing_left_center", "drawing_center_center", "drawing_center_center", "drawing_left_center",
          "drawing_center_center", "drawing_center_center", "drawing_left_center", "drawing_center_center",
          "drawing_center_center"}},
        {0, {}},
        {6, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VQView::artworkNames(c.type), c.names) << c.type;
    EXPECT_EQ(VQView::artworkNames(2)[7], "dialog_center_bottom");
}

TEST_F(Panels, DialogPanelKeepsItsCornersUnstretchedAtAnySize) {
    const QColor colours[9] = {Qt::red,    Qt::green,   Qt::blue,      Qt::cyan,    Qt::magenta,
                               Qt::yellow, Qt::darkRed, Qt::darkGreen, Qt::darkBlue};
    const std::array<std::string, 9> names = VQView::artworkNames(2);
    for (int i = 0; i < 9; ++i)
        put(names[i], filled(i % 2 ? 1 : 10, i / 3 == 1 ? 1 : 10, colours[i]));
    put("dialog_left_top", halves(10, 10, Qt::red, Qt::white));
    put("dialog_right_bottom", halves(10, 10, Qt::black, Qt::darkBlue));
    for (QSize size : {QSize(300, 100), QSize(600, 400)}) {
        VQView panel;
        panel.setType(2);
        panel.resize(size);
        const QImage shown = panel.grab().toImage();
        const int w = size.width(), h = size.height();
        EXPECT_EQ(shown.pixelColor(4, 5), QColor(Qt::red));
        EXPECT_EQ(shown.pixelColor(5, 5), QColor(Qt::white));
        EXPECT_EQ(shown.pixelColor(w - 6, h - 5), QColor(Qt::black));
        EXPECT_EQ(shown.pixelColor(w - 5, h - 5), QColor(Qt::darkBlue));
        EXPECT_EQ(shown.pixelColor(w / 2, 5), QColor(Qt::green));
        EXPECT_EQ(shown.pixelColor(w / 2, h / 2), QColor(Qt::magenta));
        EXPECT_EQ(shown.pixelColor(w - 5, h / 2), QColor(Qt::yellow));
        EXPECT_EQ(shown.pixelColor(5, h - 5), QColor(Qt::darkRed));
    }
}

TEST_F(Panels, PanelSwallowsClicks) {
    QWidget host;
    struct Counter : QObject {
        int presses = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            presses += e->type() == QEvent::MouseButtonPress;
            return false;
        }
    } counter;
    host.installEventFilter(&counter);
    VQView panel(&host);
    panel.resize(50, 50);
    mouse(panel, QEvent::MouseButtonPress, {10, 10});
    EXPECT_EQ(counter.presses, 0); // never passed on to the host
}

TEST_F(Panels, BackgroundImageIsFittedFilledOrStretchedAndCentred) {
    struct Case {
        int mode;
        QSize view, image;
        QRectF expected; // y-down
    } cases[] = {
        {KXBackgroundView::kFit, {100, 100}, {200, 100}, {0, 25, 100, 50}},
        {KXBackgroundView::kFill, {100, 100}, {200, 100}, {-50, 0, 200, 100}},
        {0, {100, 100}, {200, 100}, {0, 0, 100, 100}},
        {KXBackgroundView::kFit,
         {100, 101},
         {200, 100},
         {0, 25, 100, 50}}, // 25.5 from the bottom rounds to 26
        {KXBackgroundView::kFit, {100, 100}, {50, 200}, {38, 0, 25, 100}}, // 37.5 rounds up
    };
    for (const Case& c : cases) {
        KXBackgroundView view;
        view.resize(c.view);
        view.setContentMode(c.mode);
        EXPECT_EQ(view.imageRect(QSizeF(c.image)), c.expected) << c.mode << " " << c.view.height();
    }
    KXBackgroundView view;
    view.resize(100, 100);
    view.setContentMode(KXBackgroundView::kFit);
    view.setBackgroundColor(Qt::black);
    view.setBackgroundImage(filled(200, 100, Qt::red));
    const QImage shown = view.grab().toImage();
    EXPECT_EQ(shown.pixelColor(50, 24), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(50, 25), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(50, 74), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(50, 75), QColor(Qt::black));
}

TEST_F(Panels, BackgroundLayersInOrder) {
    put("grain", [] {
        QImage tile = filled(4, 4, Qt::blue);
        for (int x = 0; x < 4; ++x)
            tile.setPixelColor(x, 3, Qt::yellow); // the tile's bottom row
        return tile;
    }());
    put("photo", filled(10, 10, Qt::green));
    KXBackgroundView view;
    view.resize(20, 10);
    view.setPatternImageName("grain");
    view.setDrawPatternToImage(true);
    QImage shown = view.grab().toImage();
    // Rows of the pattern start at the view's bottom edge.
    for (int y : {9, 5, 1})
        EXPECT_EQ(shown.pixelColor(3, y), QColor(Qt::yellow)) << y;
    for (int y : {8, 6, 0})
        EXPECT_EQ(shown.pixelColor(3, y), QColor(Qt::blue)) << y;

    view.setBackgroundColor(QColor(40, 40, 40)); // a colour replaces the pattern
    view.setDrawsSelectionFrame(true);
    view.setBackgroundImageName("photo");
    view.setContentMode(KXBackgroundView::kFit);
    shown = view.grab().toImage();
    EXPECT_EQ(shown.pixelColor(3, 9), QColor(201, 174, 110)); // the frame on the edge
    EXPECT_EQ(shown.pixelColor(3, 8), QColor(40, 40, 40));
    EXPECT_EQ(shown.pixelColor(5, 5), QColor(Qt::green)); // the named image, fitted in the middle
    EXPECT_EQ(shown.pixelColor(14, 5), QColor(Qt::green));
    EXPECT_EQ(shown.pixelColor(4, 5), QColor(40, 40, 40));
    EXPECT_FALSE(view.backgroundImage().isNull()); // loaded once and kept
}

TEST_F(Panels, ControlClickAsksForTheMenuEvenWithoutWindowDragging) {
    KXBackgroundView view;
    view.resize(50, 50);
    view.setContextMenuPolicy(Qt::CustomContextMenu);
    int menus = 0;
    QObject::connect(&view, &QWidget::customContextMenuRequested, [&](QPoint at) {
        ++menus;
        EXPECT_EQ(at, QPoint(7, 9));
    });
    mouse(view, QEvent::MouseButtonPress, {7, 9});
    EXPECT_EQ(menus, 0);
    mouse(view, QEvent::MouseButtonPress, {7, 9}, Qt::ControlModifier);
    EXPECT_EQ(menus, 1);
}

TEST_F(Panels, ContentModeChangeIsObservable) {
    KXBackgroundView view;
    std::vector<int> seen;
    QObject::connect(&view, &KXBackgroundView::contentModeChanged, [&](int mode) { seen.push_back(mode); });
    view.setContentMode(1);
    view.setContentMode(1);
    view.setContentMode(2);
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
}

TEST_F(Panels, GradientViewDarkensEachEdgeTowardsAClearMiddle) {
    KXBackgroundGradientView view;
    view.resize(200, 100);
    const QImage shown = rendered(view);
    // Each edge contributes black at 25 % fading to nothing 70 % of the way across.
    const auto expected = [](double x, double y, double w, double h) {
        const double distances[4] = {x / w, (w - x) / w, y / h, (h - y) / h};
        double clear = 1;
        for (double d : distances)
            clear *= 1 - 0.25 * std::max(0.0, 1 - d / 0.7);
        return 1 - clear;
    };
    for (QPoint p :
         {QPoint(0, 50), QPoint(199, 50), QPoint(100, 0), QPoint(100, 50), QPoint(0, 0), QPoint(160, 80)}) {
        const double alpha = shown.pixelColor(p).alphaF();
        EXPECT_NEAR(alpha, expected(p.x() + 0.5, p.y() + 0.5, 200, 100), 0.02) << p.x() << "," << p.y();
        EXPECT_EQ(shown.pixelColor(p).red(), 0);
    }
    EXPECT_GT(shown.pixelColor(0, 0).alpha(), shown.pixelColor(0, 50).alpha());
    EXPECT_GT(shown.pixelColor(0, 50).alpha(), shown.pixelColor(100, 50).alpha());
}

TEST_F(Panels, TopBarsAndWindowFromTheirBuilders) {
    put("jrv_top_bar", filled(4, 4, QColor(30, 31, 34)));
    QWidget owner;
    KXJRVTopBarView* bar = KXJRVTopBarView::topBarViewWithOwner(&owner);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->parentWidget(), &owner);
    EXPECT_NE(dynamic_cast<KXBackgroundView*>(bar), nullptr);

    VQWindow window;
    EXPECT_EQ(window.patternImage().pixelColor(0, 0), QColor(30, 31, 34));
    window.resize(40, 30);
    QImage shown = window.grab().toImage();
    EXPECT_EQ(shown.pixelColor(20, 15), QColor(30, 31, 34));
    window.setDimmed(true);
    shown = window.grab().toImage();
    EXPECT_LT(shown.pixelColor(20, 15).red(), 30); // veiled while dimmed
    window.setDimmed(false);
    EXPECT_FALSE(window.isDimmed());
}

namespace {

// An owner that reads PNG files dropped or pasted on it.
struct PngReader : controls::KXImageViewDelegate {
    bool reads = true;
    std::vector<QString> read;
    void showCropErrorWithMessage(const std::string&, const std::string&) override {}
    void setStateForCropButton(bool) override {}
    bool canReadDataFromPasteboard(const QMimeData* data) override {
        return data->hasUrls() && data->urls().value(0).toLocalFile().endsWith(".png");
    }
    bool respondsToReadDataFromPasteboard() const override { return reads; }
    void readDataFromPasteboard(const QMimeData* data) override {
        read.push_back(data->urls()[0].toLocalFile());
    }
};

std::unique_ptr<QMimeData> files(const QString& path) {
    auto data = std::make_unique<QMimeData>();
    data->setUrls({QUrl::fromLocalFile(path)});
    return data;
}

} // namespace

TEST_F(Panels, DropViewTakesOnlyWhatItsOwnerReads) {
    VQDropView view;
    view.resize(100, 100);
    PngReader owner;
    EXPECT_TRUE(view.acceptDrops());
    struct Case {
        const char* file;
        Qt::DropActions offered;
        bool hasOwner, ownerReads, taken;
    } cases[] = {
        {"/tmp/a.png", Qt::CopyAction | Qt::MoveAction, true, true, true},
        {"/tmp/notes.txt", Qt::CopyAction, true, true, false},
        {"/tmp/a.png", Qt::MoveAction, true, true, false}, // no copy offered
        {"/tmp/a.png", Qt::CopyAction, false, true, false},
        {"/tmp/a.png", Qt::CopyAction, true, false, false}, // entered, but nothing reads the drop
    };
    for (const Case& c : cases) {
        owner.reads = c.ownerReads;
        owner.read.clear();
        view.setDelegate(c.hasOwner ? &owner : nullptr);
        const auto data = files(c.file);
        QDragEnterEvent enter(QPoint(50, 50), c.offered, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &enter);
        const bool entered = c.hasOwner && (c.offered & Qt::CopyAction) && QString(c.file).endsWith(".png");
        EXPECT_EQ(enter.isAccepted(), entered) << c.file;
        if (entered) {
            EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
        }
        QDropEvent drop(QPointF(50, 50), c.offered, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &drop);
        EXPECT_EQ(drop.isAccepted(), c.taken) << c.file;
        EXPECT_EQ(owner.read.size(), c.taken ? 1u : 0u) << c.file;
    }
}

TEST_F(Panels, ImageViewSizesItselfOnlyWhenAsked) {
    KXUIImageView view;
    view.setImage(filled(64, 48, Qt::red));
    EXPECT_NE(view.sizeHint(), QSize(64, 48));
    view.setImageResizesView(true);
    EXPECT_EQ(view.sizeHint(), QSize(64, 48));
    EXPECT_TRUE(view.mouseDownCanMoveWindow());
    view.setIsMouseDownCanMoveWindow(false);
    EXPECT_FALSE(view.mouseDownCanMoveWindow());
}

namespace {
struct DoubleClicks : KXAttributedTextFieldDelegate {
    int count = 0;
    void doubleClickFromTextField(KXAttributedTextField*) override { ++count; }
};
} // namespace

TEST_F(Panels, TitleRulesLeaveTwoPointsEachSideOfTheText) {
    KXAttributedTextField field;
    field.setAlignment(Qt::AlignCenter);
    field.setDrawHorizontalLine(true);
    field.setGeometry(0, 0, 200, 21);
    field.setText("Presets");
    field.awakeFromNib();
    const double textWidth = TextGeometrics::sizeForWidth("Presets", field.font(), 200, 21).width();
    const int gap = int(std::round((200 - textWidth) / 2));
    ASSERT_TRUE(field.leftRule() && field.rightRule());
    EXPECT_EQ(field.leftRule()->geometry(), QRect(0, 10, gap - 2, 1)); // floor(21/2) = 10 up from the bottom
    EXPECT_EQ(field.rightRule()->geometry(), QRect(int(textWidth + gap + 2), 10, gap - 2, 1));
    EXPECT_EQ(field.leftRule()->backgroundColor(), QColor::fromRgbF(0.18f, 0.18f, 0.18f));

    KXAttributedTextField wide;
    wide.setAlignment(Qt::AlignCenter);
    wide.setDrawHorizontalLine(true);
    wide.setGeometry(0, 0, 40, 21);
    wide.setText("A title far wider than its frame");
    wide.awakeFromNib();
    EXPECT_EQ(wide.leftRule(), nullptr);
    EXPECT_EQ(wide.rightRule(), nullptr);
}

TEST_F(Panels, OnlyInterfaceTextIsLocalised) {
    KXAttributedTextField field;
    field.setText("kStringNoFilterSelected");
    field.setPlaceholderString("kStringNoFilterSelected");
    field.awakeFromNib();
    EXPECT_EQ(field.text(), "Select an effect or a preset first.");
    EXPECT_EQ(field.placeholderString(), "Select an effect or a preset first.");
    field.resize(300, 20);
    field.setStyleSheet("color: white");
    KXAttributedTextField flat;
    flat.setNoNeedShadow(true);
    flat.resize(300, 20);
    flat.setStyleSheet("color: white");
    flat.setText(field.text());
    flat.awakeFromNib();
    EXPECT_NE(rendered(field), rendered(flat)); // the shadow
    // A preset or file name set later is shown as given, even when it spells a key.
    field.setStringValue("kStringNoFilterSelected");
    EXPECT_EQ(field.text(), "kStringNoFilterSelected");

    DoubleClicks delegate;
    field.setTextFieldDelegate(&delegate);
    field.resize(100, 20);
    mouse(field, QEvent::MouseButtonPress, {5, 5});
    mouse(field, QEvent::MouseButtonRelease, {5, 5});
    EXPECT_EQ(delegate.count, 0);
    mouse(field, QEvent::MouseButtonDblClick, {5, 5});
    EXPECT_EQ(delegate.count, 1);
}
