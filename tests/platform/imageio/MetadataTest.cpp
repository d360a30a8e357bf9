// Camera metadata: read in the platform's key shape, and carried whole through a save.
#include "platform/imageio/Fixtures.h"
#include "platform/imageio/ImageDestination.h"
#include "platform/imageio/ImageSource.h"
#include "platform/imageio/MetadataBlocks.h" // Exiv2, to look at the files as other programs will

#include <gtest/gtest.h>

using namespace imageio;
using foundation::Array;
using foundation::Dictionary;
using foundation::Value;

namespace {

constexpr int kWidth = 40, kHeight = 24;

// A JPEG as a camera writes it: pixels by OpenImageIO, then Exif, GPS, IPTC, XMP and an
// embedded thumbnail added with Exiv2.
std::string cameraJPEG(const test::TempFolder& folder) {
    const std::string path = folder.file("camera.jpg");
    test::writeWithOIIO(path, test::pattern(kWidth, kHeight, 3), kWidth, kHeight, 3, OIIO::TypeDesc::UINT8);
    const std::string thumb = folder.file("thumb.jpg");
    test::writeWithOIIO(thumb, test::pattern(8, 6, 3), 8, 6, 3, OIIO::TypeDesc::UINT8);

    auto image = Exiv2::ImageFactory::open(path);
    image->readMetadata();
    Exiv2::ExifData& exif = image->exifData();
    exif.clear();
    exif["Exif.Image.Make"] = "Opalene Optics";
    exif["Exif.Image.Model"] = "Model 7";
    exif["Exif.Image.Orientation"] = uint16_t(6);
    exif["Exif.Photo.DateTimeOriginal"] = "2023:05:17 14:03:21";
    exif["Exif.Photo.ExposureTime"] = Exiv2::URational(1, 250);
    exif["Exif.Photo.FNumber"] = Exiv2::URational(28, 10);
    exif["Exif.Photo.ISOSpeedRatings"] = uint16_t(400);
    exif["Exif.Photo.LensModel"] = "50mm F1.8";
    exif["Exif.Photo.BodySerialNumber"] = "SN-2231";
    exif["Exif.GPSInfo.GPSLatitudeRef"] = "N";
    Exiv2::URationalValue latitude, longitude;
    latitude.read("48/1 51/1 30/1");
    longitude.read("2/1 17/1 40/1");
    exif.add(Exiv2::ExifKey("Exif.GPSInfo.GPSLatitude"), &latitude);
    exif["Exif.GPSInfo.GPSLongitudeRef"] = "E";
    exif.add(Exiv2::ExifKey("Exif.GPSInfo.GPSLongitude"), &longitude);
    Exiv2::ExifThumb(exif).setJpegThumbnail(thumb);
    image->iptcData()["Iptc.Application2.City"] = "Paris";
    image->xmpData()["Xmp.xmp.Rating"] = 4;
    image->writeMetadata();
    return path;
}

const Value& at(const Dictionary& d, const std::string& directory, const std::string& key) {
    static const Value none;
    const Value* dir = d.count(directory) ? &d.at(directory) : nullptr;
    const Value* v = dir ? dir->find(key) : nullptr;
    return v ? *v : none;
}

std::string exifString(const Exiv2::ExifData& exif, const char* key) {
    auto it = exif.findKey(Exiv2::ExifKey(key));
    return it == exif.end() ? "" : it->toString();
}

// Re-saving the camera JPEG as the editor does: its properties, with Software set.
std::string resave(const test::TempFolder& folder, const std::string& from, const char* type,
                   const char* name) {
    auto source = ImageSource::createWithPath(from);
    Dictionary props = source->copyProperties();
    Dictionary tiff = *props["{TIFF}"].getDictionary();
    tiff["Software"] = "Opalene 0.1";
    props["{TIFF}"] = tiff;
    const std::string path = folder.file(name);
    auto destination = ImageDestination::createWithPath(path, type);
    destination->addImage(source->createImage(), props);
    EXPECT_TRUE(destination->finalize());
    return path;
}

} // namespace

TEST(Metadata, CameraTagsReadInThePlatformKeyShape) {
    test::TempFolder folder;
    auto source = ImageSource::createWithPath(cameraJPEG(folder));
    ASSERT_TRUE(source);
    const Dictionary& p = source->copyProperties();
    EXPECT_EQ(p.at("PixelWidth"), Value(kWidth));
    EXPECT_EQ(p.at("PixelHeight"), Value(kHeight));
    EXPECT_EQ(p.at("Depth"), Value(8));
    EXPECT_EQ(p.at("Orientation"), Value(6));
    EXPECT_EQ(p.at("ColorModel"), Value("RGB"));
    EXPECT_EQ(at(p, "{TIFF}", "Make"), Value("Opalene Optics"));
    EXPECT_EQ(at(p, "{TIFF}", "Model"), Value("Model 7"));
    EXPECT_EQ(at(p, "{TIFF}", "Orientation"), Value(6));
    EXPECT_EQ(at(p, "{Exif}", "DateTimeOriginal"), Value("2023:05:17 14:03:21"));
    EXPECT_NEAR(at(p, "{Exif}", "ExposureTime").getDouble().value_or(0), 0.004, 1e-6);
    EXPECT_NEAR(at(p, "{Exif}", "FNumber").getDouble().value_or(0), 2.8, 1e-5);
    EXPECT_EQ(at(p, "{Exif}", "ISOSpeedRatings"), Value(Array{Value(400)}));
    EXPECT_EQ(at(p, "{Exif}", "LensModel"), Value("50mm F1.8"));
    EXPECT_EQ(at(p, "{GPS}", "LatitudeRef"), Value("N"));
    EXPECT_NEAR(at(p, "{GPS}", "Latitude").getDouble().value_or(0), 48 + 51 / 60.0 + 30 / 3600.0, 1e-5);
    EXPECT_EQ(at(p, "{GPS}", "LongitudeRef"), Value("E"));
    EXPECT_NEAR(at(p, "{GPS}", "Longitude").getDouble().value_or(0), 2 + 17 / 60.0 + 40 / 3600.0, 1e-5);
    EXPECT_EQ(at(p, "{IPTC}", "City"), Value("Paris"));
}

// Every tag stays in its own directory, the rating survives, and what the save changed is set.
class MetadataCarryOver : public testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(MetadataCarryOver, TagsStayInTheirDirectories) {
    test::TempFolder folder;
    const auto [type, name] = GetParam();
    const std::string saved = resave(folder, cameraJPEG(folder), type, name);

    auto image = Exiv2::ImageFactory::open(saved);
    image->readMetadata();
    const Exiv2::ExifData& exif = image->exifData();
    EXPECT_EQ(exifString(exif, "Exif.Image.Make"), "Opalene Optics");
    EXPECT_EQ(exifString(exif, "Exif.Photo.LensModel"), "50mm F1.8");
    EXPECT_EQ(exifString(exif, "Exif.Photo.BodySerialNumber"), "SN-2231");
    EXPECT_EQ(exifString(exif, "Exif.Image.0xa434"), ""); // the lens model, misplaced
    EXPECT_EQ(exifString(exif, "Exif.Photo.ExposureTime"), "1/250");
    EXPECT_EQ(exifString(exif, "Exif.GPSInfo.GPSLatitude"), "48/1 51/1 30/1");
    EXPECT_EQ(exifString(exif, "Exif.Image.Orientation"), "1");
    EXPECT_EQ(exifString(exif, "Exif.Photo.PixelXDimension"), std::to_string(kWidth));
    EXPECT_EQ(exifString(exif, "Exif.Image.Software"), "Opalene 0.1");
    EXPECT_EQ(Exiv2::ExifThumbC(exif).copy().size_, 0) << "the old thumbnail is dropped";
    auto rating = image->xmpData().findKey(Exiv2::XmpKey("Xmp.xmp.Rating"));
    ASSERT_NE(rating, image->xmpData().end());
    EXPECT_EQ(rating->toString(), "4");
    auto city = image->iptcData().findKey(Exiv2::IptcKey("Iptc.Application2.City"));
    ASSERT_NE(city, image->iptcData().end());
    EXPECT_EQ(city->toString(), "Paris");
}

INSTANTIATE_TEST_SUITE_P(Formats, MetadataCarryOver,
                         testing::Values(std::pair{"public.jpeg", "saved.jpg"},
                                         std::pair{"public.tiff", "saved.tif"},
                                         std::pair{"public.png", "saved.png"}),
                         [](const auto& info) { return std::string(info.param.first).substr(7); });

TEST(Metadata, SavedTIFFReadsBackWithTheSameValues) {
    test::TempFolder folder;
    auto source = ImageSource::createWithPath(resave(folder, cameraJPEG(folder), "public.tiff", "saved.tif"));
    ASSERT_TRUE(source);
    const Dictionary& p = source->copyProperties();
    EXPECT_EQ(at(p, "{TIFF}", "Model"), Value("Model 7"));
    EXPECT_EQ(at(p, "{Exif}", "LensModel"), Value("50mm F1.8"));
    EXPECT_NEAR(at(p, "{Exif}", "FNumber").getDouble().value_or(0), 2.8, 1e-5);
    EXPECT_NEAR(at(p, "{GPS}", "Latitude").getDouble().value_or(0), 48 + 51 / 60.0 + 30 / 3600.0, 1e-5);
    EXPECT_EQ(p.at("Orientation"), Value(1));
}

// Without a source's blocks (a pasted image) the dictionaries are written through the codec.
TEST(Metadata, DictionaryAloneIsWrittenWhereTheFormatHoldsIt) {
    test::TempFolder folder;
    const std::string path = folder.file("pasted.jpg");
    Dictionary props{{"{TIFF}", Dictionary{{"Make", "Opalene Optics"}, {"Orientation", 6}}},
                     {"{Exif}", Dictionary{{"FNumber", 4.0}, {"ISOSpeedRatings", Array{Value(800)}}}},
                     {"{GPS}", Dictionary{{"Latitude", 10.5}, {"LatitudeRef", "S"}}},
                     {"Orientation", 6}};
    auto destination = ImageDestination::createWithPath(path, "public.jpeg");
    destination->addImage(test::patternImage(16, 8, 8, false), props);
    ASSERT_TRUE(destination->finalize());

    auto source = ImageSource::createWithPath(path);
    const Dictionary& p = source->copyProperties();
    EXPECT_EQ(at(p, "{TIFF}", "Make"), Value("Opalene Optics"));
    EXPECT_NEAR(at(p, "{Exif}", "FNumber").getDouble().value_or(0), 4.0, 1e-6);
    EXPECT_EQ(at(p, "{Exif}", "ISOSpeedRatings"), Value(Array{Value(800)}));
    EXPECT_EQ(at(p, "{Exif}", "PixelXDimension"), Value(16));
    EXPECT_NEAR(at(p, "{GPS}", "Latitude").getDouble().value_or(0), 10.5, 1e-4);
    EXPECT_EQ(at(p, "{GPS}", "LatitudeRef"), Value("S"));
    EXPECT_EQ(p.count("Orientation") ? p.at("Orientation") : Value(1), Value(1));
}
