#include "editor/BatchImageProcessor.h"
#include "editor/KXBatchProcessing.h"

#include "controls/ImageAdditional.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "platform/imageio/ImageSource.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <OpenImageIO/imageio.h>
#include <QListWidget>
#include <QMessageBox>
#include <fstream>
#include <gtest/gtest.h>

namespace {

// A w x h TIFF whose left half is red and right half blue, stored with an EXIF orientation.
std::string twoColourTiff(const TemporaryDirectory& dir, const std::string& name, int w, int h,
                          int orientation) {
    std::vector<uint8_t> pixels(size_t(w) * h * 3, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels[(size_t(y) * w + x) * 3 + (x < w / 2 ? 0 : 2)] = 255;
    const std::string path = dir.file(name);
    auto out = OIIO::ImageOutput::create(path);
    OIIO::ImageSpec spec(w, h, 3, OIIO::TypeDesc::UINT8);
    spec.attribute("Orientation", orientation);
    EXPECT_TRUE(out && out->open(path, spec) && out->write_image(OIIO::TypeDesc::UINT8, pixels.data()) &&
                out->close());
    return path;
}

QColor at(const graphics::ImagePtr& image, int x, int y) {
    return ImageAdditional::toQImage(image).pixelColor(x, y);
}

bool reddish(QColor c) {
    return c.red() > 200 && c.blue() < 60;
}
bool bluish(QColor c) {
    return c.blue() > 200 && c.red() < 60;
}

} // namespace

TEST(BatchImageProcessor, ARotatedPhotoGivesACentredSquareOfTheUprightPicture) {
    uiApplication();
    TemporaryDirectory dir;
    // Stored 40 x 20 on its side: upright it is 20 x 40 with red on top.
    const std::string path = twoColourTiff(dir, "side.tif", 40, 20, 6);
    const graphics::ImagePtr square = BatchImageProcessor::croppedImageFromUrl(path, QSize(10, 10), true);
    ASSERT_TRUE(square);
    EXPECT_EQ(square->width(), 10);
    EXPECT_EQ(square->height(), 10);
    EXPECT_TRUE(reddish(at(square, 5, 1)));
    EXPECT_TRUE(bluish(at(square, 5, 8)));
    const graphics::ImagePtr whole = BatchImageProcessor::croppedImageFromUrl(path, QSize(20, 40), false);
    ASSERT_TRUE(whole);
    EXPECT_TRUE(reddish(at(whole, 10, 5)));
    EXPECT_TRUE(bluish(at(whole, 10, 35)));
}

TEST(BatchImageProcessor, ASmallInputIsNotEnlargedByTheThumbnail) {
    uiApplication();
    TemporaryDirectory dir;
    const std::string path = twoColourTiff(dir, "small.tif", 8, 8, 1);
    const graphics::ImagePtr out = BatchImageProcessor::croppedImageFromUrl(path, QSize(16, 16), true);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->width(), 16);
    EXPECT_TRUE(reddish(at(out, 5, 8))); // the 8 x 8 picture sits in the middle
    EXPECT_TRUE(bluish(at(out, 10, 8)));
    EXPECT_EQ(at(out, 1, 1).red(), 0); // outside it nothing is drawn
}

TEST(BatchImageProcessor, RequestsWithoutProcessingReturnTheScaledInputAndBadFilesNothing) {
    uiApplication();
    TemporaryDirectory dir;
    const std::string path = twoColourTiff(dir, "in.tif", 32, 32, 1);
    PostProcess* effect = PostProcessesManager::sharedPostProcessesManager().postProcesses().front().get();
    const KXBatchImageRequest plain{path, QSize(32, 32), false, false};
    const QImage scaled =
        ImageAdditional::toQImage(BatchImageProcessor::croppedImageFromUrl(path, QSize(32, 32), false));
    EXPECT_EQ(ImageAdditional::toQImage(BatchImageProcessor::processRequest(plain, effect, nullptr)), scaled);
    const graphics::ImagePtr processed = BatchImageProcessor::processRequest(
        KXBatchImageRequest{path, QSize(32, 32), false, true}, effect, nullptr);
    ASSERT_TRUE(processed);
    EXPECT_EQ(processed->width(), 32);
    EXPECT_NE(ImageAdditional::toQImage(processed), scaled) << effect->get_name();
    std::ofstream(dir.file("junk.jpg")) << "not a picture";
    EXPECT_FALSE(BatchImageProcessor::processRequest(
        KXBatchImageRequest{dir.file("junk.jpg"), QSize(8, 8), false, true}, effect, nullptr));
}

TEST(KXBatchProcessing, WritesEachReadablePhotoWithoutReplacingAnything) {
    uiApplication();
    TemporaryDirectory dir;
    const std::string good = twoColourTiff(dir, "beach.tif", 24, 16, 1);
    std::ofstream(dir.file("broken.png")) << "not a picture";
    std::filesystem::create_directories(dir.path() / "out");
    std::ofstream(dir.file("out/beach.jpg")) << "already here";
    KXBatchProcessing batch;
    int requests = 0;
    batch.setImageProcessBlock([&](const KXBatchImageRequest& request) {
        ++requests;
        return BatchImageProcessor::processRequest(request, nullptr, nullptr);
    });
    bool completed = false;
    batch.showBatchProcessingIfNeededWithCompletionHandler([&] { completed = true; });
    batch.addInputs({good, dir.file("broken.png"), good});
    EXPECT_EQ(batch.inputs().size(), 2u); // the same photo once
    EXPECT_EQ(batch.list()->count(), 2);
    EXPECT_TRUE(batch.runBatch().empty()); // no output folder yet
    batch.setOutputFolder(dir.file("out"));
    const auto results = batch.runBatch();
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].output, dir.file("out/beach (2).jpg"));
    EXPECT_TRUE(results[1].output.empty());
    EXPECT_FALSE(results[1].failure.empty());
    std::ifstream kept(dir.file("out/beach.jpg"));
    std::string text;
    std::getline(kept, text);
    EXPECT_EQ(text, "already here");
    auto written = imageio::ImageSource::createWithPath(results[0].output);
    ASSERT_TRUE(written);
    const graphics::ImagePtr image = written->createImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 24);
    EXPECT_EQ(image->height(), 16);
    EXPECT_GE(requests, 3); // previews of both, then the full run of the readable one
    batch.close();
    EXPECT_TRUE(completed);
}

TEST(BatchImageProcessor, NothingSelectedShowsTheHintAndStartsNothing) {
    uiApplication();
    QWidget window;
    window.show();
    KXBatchProcessing batch;
    EXPECT_FALSE(BatchImageProcessor::batchProcessingButtonPressed(&window, batch, nullptr, nullptr));
    EXPECT_FALSE(batch.isVisible());
    const auto* alert = window.findChild<QMessageBox*>();
    ASSERT_TRUE(alert);
    EXPECT_TRUE(alert->text().startsWith("To launch batch processing"));
    PostProcess* effect = PostProcessesManager::sharedPostProcessesManager().postProcesses().front().get();
    EXPECT_TRUE(BatchImageProcessor::batchProcessingButtonPressed(&window, batch, effect, nullptr));
    EXPECT_TRUE(batch.isVisible());
}

TEST(KXBatchProcessing, FoldersFormatsRemovalAndAStopMidway) {
    uiApplication();
    TemporaryDirectory dir;
    std::filesystem::create_directories(dir.path() / "in");
    std::filesystem::create_directories(dir.path() / "out");
    for (const char* name : {"a.tif", "b.tif", "c.tif"})
        twoColourTiff(dir, std::string("in/") + name, 12, 8, 1);
    std::ofstream(dir.file("in/notes.txt")) << "not listed";
    KXBatchProcessing batch;
    batch.setImageProcessBlock([](const KXBatchImageRequest& r) {
        return BatchImageProcessor::processRequest(r, nullptr, nullptr);
    });
    batch.addFolder(dir.file("in"));
    ASSERT_EQ(batch.inputs().size(), 3u);
    batch.removeInputs({1});
    EXPECT_EQ(batch.inputs(), (std::vector<std::string>{dir.file("in/a.tif"), dir.file("in/c.tif")}));
    batch.setOutputFolder(dir.file("out"));
    batch.setFormat(KXBatchProcessing::Format::kPNG);
    batch.photoFinished = [&](size_t done) {
        if (done == 1) batch.cancel();
    };
    const auto results = batch.runBatch();
    ASSERT_EQ(results.size(), 1u); // stopped after the first photo
    EXPECT_EQ(results[0].output, dir.file("out/a.png"));
    auto written = imageio::ImageSource::createWithPath(results[0].output);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->type(), "public.png");
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path() / "out"))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1u); // nothing half-written beside it
}
