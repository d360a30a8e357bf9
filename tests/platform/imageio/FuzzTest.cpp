// A few seconds of libFuzzer over the whole read path, from seeds of every common format made
// here. Built only by the sanitizer preset with clang; elsewhere this test skips.
#include "platform/imageio/Fixtures.h"
#include "platform/imageio/MetadataBlocks.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace imageio;

TEST(Fuzz, ReadPathSurvivesMutatedFiles) {
#ifndef OPALENE_FUZZER_FUZZ_IMAGESOURCE
    GTEST_SKIP() << "the fuzzer is built by the sanitizer preset with clang";
#else
    test::TempFolder folder;
    const auto corpus = folder.path() / "corpus";
    std::filesystem::create_directory(corpus);
    for (const char* name : {"a.jpg", "a.png", "a.tif", "a.gif", "a.bmp", "a.ppm", "a.exr", "a.webp"}) {
        test::writeWithOIIO((corpus / name).string(), test::pattern(12, 8, 3), 12, 8, 3,
                            name == std::string("a.exr") ? OIIO::TypeDesc::HALF : OIIO::TypeDesc::UINT8);
    }
    test::writeWithOIIO((corpus / "alpha.png").string(), test::pattern(6, 4, 4), 6, 4, 4,
                        OIIO::TypeDesc::UINT16);
    {
        auto image = Exiv2::ImageFactory::open((corpus / "a.jpg").string());
        image->readMetadata();
        image->exifData()["Exif.Image.Make"] = "Opalene Optics";
        image->exifData()["Exif.Image.Orientation"] = uint16_t(6);
        image->xmpData()["Xmp.xmp.Rating"] = 3;
        image->writeMetadata();
    }
    const std::string command = std::string(OPALENE_FUZZER_FUZZ_IMAGESOURCE) +
                                " -max_total_time=4 -seed=1 -timeout=10 -rss_limit_mb=2048 -max_len=8192"
                                " -artifact_prefix=" +
                                (folder.path() / "").string() + " " + corpus.string() + " >" +
                                (folder.path() / "log").string() + " 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_EQ(status, 0) << [&] {
        const std::vector<char> log = test::readBytes((folder.path() / "log").string());
        return std::string(log.end() - std::min<ptrdiff_t>(4000, ptrdiff_t(log.size())), log.end());
    }();
#endif
}
