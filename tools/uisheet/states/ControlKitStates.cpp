// Control kit pieces on a dark panel, as the editor's toolbars show them.
#include "UiSheetRegistry.h"
#include "controls/AMIndeterminateProgressIndicatorCell.h"
#include "controls/KXAttributedTextField.h"
#include "controls/KXBackgroundGradientView.h"
#include "controls/KXButton.h"
#include "controls/KXJRVSlider.h"
#include "controls/KXJRVTopBarView.h"
#include "controls/KXScroller.h"
#include "controls/KXSlider.h"
#include "controls/KXVQPopoverView.h"
#include "controls/VQDialog.h"
#include "controls/VQProgressBar.h"
#include "controls/VQTextView.h"
#include "controls/VQView.h"
#include "controls/ViewAlpha.h"

#include <QApplication>
#include <QMouseEvent>

namespace {

std::unique_ptr<QWidget> darkPanel(QSize size) {
    auto panel = std::make_unique<QWidget>();
    panel->resize(size);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, QColor(38, 38, 40));
    panel->setPalette(palette);
    return panel;
}

KXButton* button(QWidget* parent, QRect frame, const char* title) {
    auto* b = new KXButton(parent);
    b->setGeometry(frame);
    b->setTitle(title);
    return b;
}

} // namespace

OPALENE_UISHEET_STATE("buttons_states", [](const QImage&) {
    auto panel = darkPanel(QSize(360, 120));
    button(panel.get(), QRect(20, 20, 100, 24), "Apply");
    button(panel.get(), QRect(140, 20, 100, 24), "Cancel")->setEnabled(false);
    KXButton* menu = button(panel.get(), QRect(20, 70, 160, 24), "All Effects");
    menu->setDropDown(true);
    button(panel.get(), QRect(200, 70, 140, 24), "Save As...");
    return panel;
});

OPALENE_UISHEET_STATE("text_fields", [](const QImage&) {
    auto panel = darkPanel(QSize(360, 150));
    auto* name = new VQTextView(panel.get());
    name->setGeometry(20, 20, 200, 23);
    name->setStyle(VQTextViewRules::kPresetName);
    name->setText("Warm evening");
    auto* search = new VQTextView(panel.get());
    search->setGeometry(20, 60, 220, 23);
    search->setStyle(VQTextViewRules::kSearch);
    search->setText("sketch");
    auto* width = new VQTextView(panel.get());
    width->setGeometry(20, 100, 70, 23);
    width->setStyle(VQTextViewRules::kBoundedInteger);
    width->setStartIntValue(1920);
    auto* emptySearch = new VQTextView(panel.get());
    emptySearch->setGeometry(120, 100, 200, 23);
    emptySearch->setStyle(VQTextViewRules::kSearch);
    return panel;
});

OPALENE_UISHEET_STATE("sliders", [](const QImage&) {
    auto panel = darkPanel(QSize(360, 170));
    const double values[] = {0.0, 0.57, 1.0};
    for (int i = 0; i < 3; ++i) {
        auto* s = new KXSlider(panel.get());
        s->setGeometry(20, 15 + i * 30, 260, 20);
        s->setValueTextFieldWidthNumber(40);
        s->validateSlider();
        s->setDoubleValue(values[i]);
    }
    for (int i = 0; i < 2; ++i) {
        auto* caption = new QLabel(panel.get());
        caption->setGeometry(290, 110 + i * 28, 50, 16);
        caption->setStyleSheet("color: rgb(200,200,200)");
        auto* s = new KXJRVSlider(panel.get());
        s->setGeometry(20, 110 + i * 28, 260, 16);
        s->setJrvValueLabel(caption);
        s->validateSlider();
        s->setDoubleValue(i == 0 ? 0.3 : 0.85);
    }
    return panel;
});

OPALENE_UISHEET_STATE("panels", [](const QImage& photo) {
    auto window = std::make_unique<KXBackgroundView>();
    window->resize(640, 400);
    window->setPatternImageName("jrv_top_bar");
    window->setDrawPatternToImage(true);
    auto* bar = KXJRVTopBarView::topBarViewWithOwner(window.get());
    bar->setGeometry(0, 0, 640, 30);
    bar->setPatternImageName("jrv_top_bar");
    bar->setDrawsSelectionFrame(true);
    const char* captions[] = {"adjustments", "dialog", "dark dialog", "adjustments, top", "brushes"};
    for (int type = 1; type <= 5; ++type) {
        auto* panel = new VQView(window.get());
        panel->setType(type);
        panel->setGeometry(20 + (type - 1) * 122, 50, 110, 150);
        auto* caption = new KXAttributedTextField(panel);
        caption->setGeometry(0, 60, 110, 20);
        caption->setAlignment(Qt::AlignCenter);
        caption->setStyleSheet("color: rgb(220,220,222)");
        caption->setText(captions[type - 1]);
        caption->awakeFromNib();
    }
    auto* picture = new KXBackgroundView(window.get());
    picture->setGeometry(20, 220, 280, 160);
    picture->setBackgroundColor(QColor(20, 20, 22));
    picture->setContentMode(KXBackgroundView::kFit);
    picture->setBackgroundImage(photo);
    picture->setDrawsSelectionFrame(true);
    auto* shade = new KXBackgroundGradientView(picture);
    shade->setGeometry(0, 0, 280, 160);
    auto* title = new KXAttributedTextField(window.get());
    title->setGeometry(320, 230, 300, 20);
    title->setAlignment(Qt::AlignCenter);
    title->setStyleSheet("color: rgb(220,220,222)");
    title->setDrawHorizontalLine(true);
    title->setText("Presets");
    title->awakeFromNib();
    return std::unique_ptr<QWidget>(std::move(window));
});

OPALENE_UISHEET_STATE("scrollers_and_progress", [](const QImage&) {
    auto panel = darkPanel(QSize(360, 200));
    auto* lying = new KXScroller(panel.get());
    lying->setGeometry(20, 20, 280, 18);
    lying->setKnobProportion(0.3);
    lying->setDoubleValue(0.4);
    auto* standing = new KXScroller(panel.get());
    standing->setGeometry(320, 20, 18, 160);
    standing->setKnobProportion(0.5);
    standing->setDoubleValue(1);
    auto* progress = new VQProgressBar(panel.get());
    progress->setGeometry(20, 70, 280, 8);
    progress->setDoubleValue(40);
    for (int i = 0; i < 3; ++i) {
        auto* spinner = new AMIndeterminateProgressIndicatorCell(panel.get());
        spinner->setGeometry(20 + i * 60, 110, i == 2 ? 48 : 16 + i * 16, i == 2 ? 48 : 16 + i * 16);
        spinner->setSpinning(i > 0);
        spinner->setDoubleValue(i * 0.25);
    }
    return panel;
});

namespace {

// A dark host with one dialog shown over it, already faded in.
std::unique_ptr<QWidget> dialogOver(int style, const QString& message,
                                    const std::function<void(VQDialog&)>& fill) {
    auto host = darkPanel(QSize(720, 480));
    auto* behind = button(host.get(), QRect(20, 20, 120, 24), "Apply");
    behind->setDropDown(false);
    auto* dialog = new VQDialog(style, host.get());
    if (fill) fill(*dialog);
    dialog->showInView(host.get(), message);
    ViewAlpha::setAlpha(dialog->view(), 1.0);
    return host;
}

// The list's owner in the sheet: the crop proportions as the editor offers them.
struct ProportionsOwner : QObject, KXPopoverViewDataSource, KXPopoverViewDelegate {
    using QObject::QObject;
    int kxPopoverViewTableCellHeight() override { return 20; }
    int kxPopoverViewTableViewWidth() override { return 160; }
    QStringList kxPopoverViewTableViewCellsArray() override {
        return {"Original", "Custom", "Square", "4 x 3", "3 x 2", "16 x 9", "5 x 7", "8 x 10", "A4"};
    }
    int kxPopoverViewSelectedCellIndex() override { return 2; }
    int kxPopoverViewMaxPopoverHeight() override { return 800; }
    QFont kxPopoverViewFont() override {
        QFont font("Helvetica");
        font.setPixelSize(13);
        return font;
    }
    void didSelectCellAtIndex(KXVQPopoverView*, int) override {}
    void wantsRelease(KXVQPopoverView* popover, bool) override { popover->deleteLater(); }
    bool hasBottomSeparatorAtIndex(KXVQPopoverView*, int index) override { return index == 1; }
};

} // namespace

OPALENE_UISHEET_STATE("dialog_close_style", [](const QImage&) {
    return dialogOver(VQDialog::kCloseStyle, QString(), [](VQDialog& dialog) {
        dialog.setDialogSize(QSizeF(420, 220));
        auto* text = new QLabel("Opalene\nPhoto effects editor");
        text->setAlignment(Qt::AlignCenter);
        text->setStyleSheet("color: white; font-size: 16px");
        text->setGeometry(60, 60, 300, 100);
        dialog.addSubview(text);
    });
});

OPALENE_UISHEET_STATE("dialog_content_style", [](const QImage&) {
    return dialogOver(VQDialog::kContentStyle, QString(), [](VQDialog& dialog) {
        dialog.setDialogSize(QSizeF(360, 120));
        auto* text = new QLabel("Applying the effect to the full image...");
        text->setStyleSheet("color: rgb(220,220,222); font-size: 13px");
        text->setGeometry(30, 30, 300, 20);
        dialog.addSubview(text);
        auto* progress = new VQProgressBar;
        progress->setGeometry(30, 66, 300, 8);
        progress->setDoubleValue(40);
        dialog.addSubview(progress);
    });
});

OPALENE_UISHEET_STATE("dialog_edit_style", [](const QImage&) {
    return dialogOver(VQDialog::kEditStyle, "Name of the new preset:", [](VQDialog& dialog) {
        auto* name = new VQTextView;
        name->setGeometry(65, 92, 370, 23);
        name->setStyle(VQTextViewRules::kPresetName);
        name->setText("Warm evening");
        dialog.addSubview(name);
    });
});

OPALENE_UISHEET_STATE("dialog_confirm_style", [](const QImage&) {
    return dialogOver(VQDialog::kConfirmStyle, "Delete the preset \"Warm evening\"? This cannot be undone.",
                      nullptr);
});

OPALENE_UISHEET_STATE(
    "popover_list_open",
    [](const QImage&) {
        auto host = darkPanel(QSize(420, 300));
        KXButton* proportions = button(host.get(), QRect(20, 20, 160, 24), "Square");
        proportions->setDropDown(true);
        auto* owner = new ProportionsOwner(host.get());
        // Under the button: its list is 9 x 19 + 12 = 183 high.
        auto* popover = new KXVQPopoverView(host->rect(), QPointF(20, 300 - 48 - 183), host.get());
        popover->setDataSource(owner);
        popover->setDelegate(owner);
        popover->show();
        return host;
    },
    [](QWidget& host) {
        // The pointer over the fourth row.
        auto* popover = host.findChild<KXVQPopoverView*>();
        if (!popover) return;
        QMouseEvent move(QEvent::MouseMove, QPointF(popover->rowRect(3).center()), QPointF(), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(popover->tableView(), &move);
    });
