// A small picture with camera metadata saved through the options view in every type it offers,
// then read back with the image layer.
#include "ExportFixture.h"
#include "app/KXExportOptionsView.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/imageio/ImageDestination.h"
#include "platform/imageio/ImageSource.h"
#include "platform/imageio/MetadataBlocks.h"
#include "platform/imageio/TypeIdentifiers.h"
#include "platform/imageio/TypeTable.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <QComboBox>
#include <QSlider>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>

using foundation::Dictionary;
using foundation::Value;

namespace {

constexpr int kWidth = 48, kHeight = 32;

// Largest difference of a colour component the format's precision allows at the default options.
double tolerance(const std::string& type) {
    static const std::map<std::string, double> lossy = {
        {"public.jpeg", 0.06},            // quality 0.85, chroma subsampled
        {"org.webmproject.webp", 0.08},   // quality 0.85
        {"public.heic", 0.1},             // quality 0.85
        {"com.compuserve.gif", 0.06},     // 256 colours
        {"com.ilm.openexr-image", 0.003}, // half floats, linear
        {"public.radiance", 0.07},        // one shared exponent
        {"public.jpeg-2000", 1.5 / 255},
    };
    const auto it = lossy.find(type);
    return it == lossy.end() ? 0.0 : it->second;
}

double worstDifference(const graphics::Image& a, const graphics::Image& b) {
    double worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::fabs(exportfixture::component(a, x, y, c) -
                                                  exportfixture::component(b, x, y, c)));
    return worst;
}

const Value* entry(const Dictionary& props, const char* dictionary, const char* key) {
    const auto it = props.find(dictionary);
    return it == props.end() ? nullptr : it->second.find(key);
}

class ExportRoundTrip : public testing::Test {
  protected:
    void SetUp() override {
        foundation::UserDefaults::standardUserDefaults().removeObjectForKey(
            KXExportOptionsView::kPreviousExportImageTypeKey);
        // The photo as the editor holds it: opened from a camera JPEG turned on its side, with Exif,
        // IPTC and XMP, and the pixel size of the original in its Exif.
        const std::string camera = folder.file("camera.jpg");
        auto destination = imageio::ImageDestination::createWithPath(camera, "public.jpeg");
        ASSERT_TRUE(destination);
        destination->addImage(
            exportfixture::picture(kWidth, kHeight, 8),
            Dictionary{
                {"Orientation", Value(6)},
                {"{TIFF}", Value(Dictionary{{"Make", Value("Opalene Optics")}, {"Model", Value("Model 7")}})},
                {"{Exif}", Value(Dictionary{{"DateTimeOriginal", Value("2023:05:17 14:03:21")}})}});
        ASSERT_TRUE(destination->finalize());
        {
            auto image = Exiv2::ImageFactory::open(camera);
            image->readMetadata();
            image->exifData()["Exif.Photo.PixelXDimension"] = uint32_t(4000);
            image->exifData()["Exif.Image.Orientation"] = uint16_t(6);
            image->iptcData()["Iptc.Application2.Caption"] = std::string("Harbour at dawn");
            image->xmpData()["Xmp.xmp.Rating"] = 4;
            image->writeMetadata();
        }
        auto source = imageio::ImageSource::createWithPath(camera);
        ASSERT_TRUE(source);
        metadata = source->copyProperties();
        ASSERT_TRUE(metadata.count(imageio::kMetadataBlocksProperty));
    }

    // Writes the picture as the editor does after the panel: the view's type and properties.
    std::string save(KXExportOptionsView& view, const graphics::ImagePtr& image, const std::string& name) {
        const std::string path = folder.file(name + "." + imageio::extensionsForType(view.type()).front());
        auto destination = imageio::ImageDestination::createWithPath(path, view.type());
        EXPECT_TRUE(destination) << view.type();
        if (!destination) return path;
        destination->addImage(image, view.imageProperties());
        EXPECT_TRUE(destination->finalize()) << view.type();
        return path;
    }

    void choose(QComboBox* menu, int index) {
        menu->setCurrentIndex(index);
        emit menu->activated(index);
    }

    QApplication& app = uiApplication();
    TemporaryDirectory folder;
    Dictionary metadata;
};

} // namespace

TEST_F(ExportRoundTrip, EveryOfferedTypeKeepsPixelsSizeAndUprightOrientation) {
    const graphics::ImagePtr picture = exportfixture::picture(kWidth, kHeight, 8);
    for (const std::string& type : KXExportOptionsView::saveTypes()) {
        SCOPED_TRACE(type);
        auto view = KXExportOptionsView::exportOptionsViewWithMetadata(metadata, type, 8);
        ASSERT_EQ(view->type(), type);
        const std::string path = save(*view, picture, "picture");
        auto back = imageio::ImageSource::createWithPath(path);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->type(), type);
        const graphics::ImagePtr image = back->createImage();
        ASSERT_TRUE(image) << back->failureReason();
        ASSERT_EQ(image->width(), kWidth);
        ASSERT_EQ(image->height(), kHeight);
        EXPECT_LE(worstDifference(*image, *picture), tolerance(type) + 1e-6);
        const Dictionary& props = back->copyProperties();
        if (const auto it = props.find("Orientation"); it != props.end()) {
            EXPECT_EQ(it->second.getInt64(), 1);
        }
    }
}

TEST_F(ExportRoundTrip, MetadataIsCarriedWholeWithTheWrittenSize) {
    const graphics::ImagePtr picture = exportfixture::picture(kWidth, kHeight, 8);
    for (const std::string& type : KXExportOptionsView::saveTypes()) {
        const imageio::TypeEntry* table = imageio::typeEntry(type);
        if (!table || !imageio::MetadataBlocks::canHold(table->format)) continue;
        SCOPED_TRACE(type);
        auto view = KXExportOptionsView::exportOptionsViewWithMetadata(metadata, type, 8);
        const std::string path = save(*view, picture, "carried");

        auto back = imageio::ImageSource::createWithPath(path);
        ASSERT_TRUE(back);
        const Dictionary& props = back->copyProperties();
        ASSERT_TRUE(entry(props, "{TIFF}", "Make"));
        EXPECT_EQ(*entry(props, "{TIFF}", "Make")->getString(), "Opalene Optics");
        EXPECT_EQ(*entry(props, "{TIFF}", "Model")->getString(), "Model 7");
        ASSERT_TRUE(entry(props, "{Exif}", "DateTimeOriginal"));
        EXPECT_EQ(*entry(props, "{Exif}", "DateTimeOriginal")->getString(), "2023:05:17 14:03:21");
        if (const auto it = props.find("Orientation"); it != props.end()) {
            EXPECT_EQ(it->second.getInt64(), 1);
        }

        auto blocks = imageio::MetadataBlocks::read(path);
        ASSERT_TRUE(blocks);
        const auto caption = blocks->iptc.findKey(Exiv2::IptcKey("Iptc.Application2.Caption"));
        ASSERT_NE(caption, blocks->iptc.end());
        EXPECT_EQ(caption->toString(), "Harbour at dawn");
        const auto rating = blocks->xmp.findKey(Exiv2::XmpKey("Xmp.xmp.Rating"));
        ASSERT_NE(rating, blocks->xmp.end());
        EXPECT_EQ(rating->toString(), "4");
        const auto width = blocks->exif.findKey(Exiv2::ExifKey("Exif.Photo.PixelXDimension"));
        ASSERT_NE(width, blocks->exif.end());
        EXPECT_EQ(width->toLong(), kWidth);
        // The TIFF compression chosen in the panel belongs to TIFF files alone.
        if (type != "public.tiff") {
            EXPECT_EQ(blocks->exif.findKey(Exiv2::ExifKey("Exif.Image.Compression")), blocks->exif.end());
        }
    }
}

TEST_F(ExportRoundTrip, JpegQualityFromTheSliderIsHonoured) {
    const graphics::ImagePtr picture = exportfixture::picture(kWidth, kHeight, 8);
    std::map<int, std::pair<uintmax_t, double>> results; // slider value: size, worst difference
    for (int step : {50, 850, 1000}) {
        auto view = KXExportOptionsView::exportOptionsViewWithMetadata({}, "public.jpeg", 8);
        view->qualitySlider()->setValue(step);
        const std::string path = save(*view, picture, "quality" + std::to_string(step));
        auto back = imageio::ImageSource::createWithPath(path);
        ASSERT_TRUE(back);
        const graphics::ImagePtr image = back->createImage();
        ASSERT_TRUE(image);
        results[step] = {std::filesystem::file_size(path), worstDifference(*image, *picture)};
    }
    EXPECT_LT(results[50].first, results[850].first);
    EXPECT_LT(results[850].first, results[1000].first);
    EXPECT_GT(results[50].second, results[1000].second);
    EXPECT_LE(results[1000].second, 0.03);
}

TEST_F(ExportRoundTrip, TiffCompressionAndDepthAreHonoured) {
    struct Case {
        int compressionItem;
        int depthItem;
        int code; // read back
        int bits;
    };
    const Case cases[] = {{0, 0, 1, 8}, {1, 1, 5, 16}, {2, 0, 8, 8}, {3, 1, 32773, 16}};
    const graphics::ImagePtr deep = exportfixture::picture(kWidth, kHeight, 16);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        auto view = KXExportOptionsView::exportOptionsViewWithMetadata(metadata, "public.tiff", 8);
        choose(view->compressionPopUpButton(), c.compressionItem);
        choose(view->depthPopUpButton(), c.depthItem);
        const std::string path = save(*view, deep, "tiff" + std::to_string(c.code));
        auto back = imageio::ImageSource::createWithPath(path);
        ASSERT_TRUE(back);
        EXPECT_EQ(entry(back->copyProperties(), "{TIFF}", "Compression")->getInt64(), c.code);
        EXPECT_EQ(back->copyProperties().at("Depth").getInt64(), c.bits);
        const graphics::ImagePtr image = back->createImage();
        ASSERT_TRUE(image);
        EXPECT_EQ(image->format().bitsPerComponent, c.bits);
        // Lossless either way: exact at 16 bits, within rounding at 8.
        EXPECT_LE(worstDifference(*image, *deep), c.bits == 16 ? 0.0 : 0.5 / 255 + 1e-6);
    }
}
