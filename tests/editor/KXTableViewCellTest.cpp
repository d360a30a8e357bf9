#include "editor/KXTableViewCell.h"

#include "controls/ImageAdditional.h"
#include "controls/ViewAlpha.h"
#include "engine/CustomPreset.h"
#include "support/StubEffects.h"
#include "support/UiApplication.h"

#include <QElapsedTimer>
#include <QLabel>
#include <gtest/gtest.h>

namespace {

graphics::ImagePtr solid(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return ImageAdditional::fromQImage(image);
}

void wait(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct Recorder : KXTableViewCellDelegate {
    std::vector<std::string> calls;
    void deleteButtonClickInTableViewCell(KXTableViewCell*) override { calls.push_back("delete"); }
    void editButtonClickInTableViewCell(KXTableViewCell*) override { calls.push_back("edit"); }
};

} // namespace

TEST(KXTableViewCell, PlaceholderUntilTheThumbnailArrivesThenACrossFade) {
    uiApplication();
    StubPixelEffect effect;
    std::unique_ptr<KXTableViewCell> cell(KXTableViewCell::makeCellWithFrame(QRect(0, 0, 180, 140), &effect));
    EXPECT_EQ(cell->nameTextField()->text(), QString::fromStdString(effect.get_name()));
    EXPECT_EQ(ViewAlpha::alpha(cell->previewImageView()), 0);
    EXPECT_EQ(ViewAlpha::alpha(cell->originalImageView()), 0.25);
    effect.setPreviewImage(solid(320, 200, Qt::red));
    EXPECT_EQ(ViewAlpha::alpha(cell->previewImageView()), 1);
    EXPECT_EQ(cell->previewImageView()->image().pixelColor(0, 0), QColor(Qt::red));
    effect.setPreviewImage(solid(320, 200, Qt::blue));
    // The old thumbnail moves to the placeholder while the new one waits a tenth of a second.
    EXPECT_EQ(ViewAlpha::alpha(cell->previewImageView()), 0);
    EXPECT_EQ(ViewAlpha::alpha(cell->originalImageView()), 1);
    EXPECT_EQ(cell->originalImageView()->image().pixelColor(0, 0), QColor(Qt::red));
    wait(200);
    EXPECT_EQ(ViewAlpha::alpha(cell->previewImageView()), 1);
    EXPECT_EQ(cell->previewImageView()->image().pixelColor(0, 0), QColor(Qt::blue));
}

TEST(KXTableViewCell, ThumbnailsCoverThePlaceholderKeepingTheirShape) {
    uiApplication();
    std::unique_ptr<KXTableViewCell> cell(KXTableViewCell::makeCellWithFrame(QRect(0, 0, 180, 140), nullptr));
    const QSize frame = cell->originalImageView()->size();
    QImage wide(400, 200, QImage::Format_ARGB32_Premultiplied);
    wide.fill(Qt::green);
    EXPECT_EQ(cell->properSizedImageForImage(wide).size(), QSize(frame.height() * 2, frame.height()));
    QImage tall(100, 300, QImage::Format_ARGB32_Premultiplied);
    tall.fill(Qt::green);
    EXPECT_EQ(cell->properSizedImageForImage(tall).size(), QSize(frame.width(), frame.width() * 3));
    EXPECT_TRUE(cell->properSizedImageForImage(QImage()).isNull());
}

TEST(KXTableViewCell, SelectionHighlightsOnceAndTheTagIsTheColumns) {
    uiApplication();
    StubPixelEffect effect;
    std::unique_ptr<KXTableViewCell> cell(KXTableViewCell::makeCellWithFrame(QRect(0, 0, 180, 140), &effect));
    cell->setSelected(true);
    EXPECT_EQ(ViewAlpha::alpha(cell->backgroundViewSelected()), 1);
    EXPECT_EQ(cell->nameTextField()->palette().color(QPalette::WindowText),
              QColor::fromRgbF(0.875f, 0.102f, 0.412f));
    cell->setSelected(true);
    EXPECT_TRUE(cell->isSelected());
    cell->setSelected(false);
    EXPECT_EQ(ViewAlpha::alpha(cell->backgroundViewSelected()), 0);
    cell->setCustomTag(205);
    EXPECT_EQ(cell->tag(), 205);
}

TEST(KXTableViewCell, OnlyPresetCellsReportDeletion) {
    uiApplication();
    Recorder recorder;
    StubPixelEffect effect;
    std::unique_ptr<KXTableViewCell> effectCell(
        KXTableViewCell::makeCellWithFrame(QRect(0, 0, 180, 140), &effect));
    effectCell->setDelegate(&recorder);
    effectCell->deleteButtonClick();
    EXPECT_TRUE(recorder.calls.empty());
    auto preset = std::make_shared<CustomPreset>(std::vector<EffectRecord>{}, "Evening");
    std::unique_ptr<KXTableViewCell> presetCell(
        KXTableViewCell::makeCellWithFrame(QRect(0, 7, 224, 140), preset));
    presetCell->setDelegate(&recorder);
    EXPECT_EQ(presetCell->nameTextField()->text(), "Evening");
    ASSERT_TRUE(presetCell->deleteButton());
    presetCell->deleteButtonClick();
    presetCell->editButtonClick();
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"delete", "edit"}));
    preset->setPreviewImage(solid(200, 100, Qt::yellow));
    EXPECT_EQ(ViewAlpha::alpha(presetCell->previewImageView()), 1);
}
