#include "app/ExportController.h"
#include "ExportFixture.h"

#include "platform/imageio/ImageDestination.h"
#include "platform/imageio/ImageSource.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/resource.h>
#include <thread>

namespace fs = std::filesystem;
using foundation::Dictionary;
using foundation::Value;

namespace {

const Dictionary kProperties{{imageio::kLossyCompressionQuality, Value(0.9)},
                             {"{TIFF}", Value(Dictionary{{"Make", Value("Opalene Optics")}})}};

// A file size limit for the process while it lives: writes past it fail instead of killing.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

} // namespace

TEST(ExportController, ExportFolderIsTheTemporaryFolder) {
    ExportController controller(nullptr, {});
    EXPECT_EQ(controller.exportDefaultPath(), fs::temp_directory_path().string());
}

TEST(ExportController, NamesAreTheFirstFreeInSequence) {
    TemporaryDirectory folder;
    ExportController controller(exportfixture::picture(8, 6, 8), {}, folder.path().string());
    EXPECT_EQ(controller.uniqueExportedImagePath(), folder.file("PictavoExportedImage.jpg"));
    std::ofstream(folder.file("PictavoExportedImage.jpg")) << "x";
    EXPECT_EQ(controller.uniqueExportedImagePath(), folder.file("PictavoExportedImage 2.jpg"));
    std::ofstream(folder.file("PictavoExportedImage 2.jpg")) << "x";
    fs::create_directory(folder.file("PictavoExportedImage 3.jpg")); // a folder takes the name too
    EXPECT_EQ(controller.uniqueExportedImagePath(), folder.file("PictavoExportedImage 4.jpg"));
}

TEST(ExportController, TwoExportsInARowMakeTwoJpegsWithTheProperties) {
    TemporaryDirectory folder;
    const fs::path exports = folder.path() / "nested/exports"; // made when missing
    ExportController controller(exportfixture::picture(40, 30, 8), kProperties, exports.string());
    ExportError error;
    const auto first = controller.preparedImagePathToExport(&error);
    const auto second = controller.preparedImagePathToExport(&error);
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_EQ(*first, (exports / "PictavoExportedImage.jpg").string());
    EXPECT_EQ(*second, (exports / "PictavoExportedImage 2.jpg").string());
    for (const std::string& path : {*first, *second}) {
        auto source = imageio::ImageSource::createWithPath(path);
        ASSERT_TRUE(source);
        EXPECT_EQ(source->type(), "public.jpeg");
        EXPECT_EQ(source->copyProperties().at("PixelWidth").getInt64(), 40);
        EXPECT_EQ(*source->copyProperties().at("{TIFF}").find("Make")->getString(), "Opalene Optics");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(exports), fs::directory_iterator()),
              2); // nothing left over
}

TEST(ExportController, FailuresAnswerNothingWithTheirError) {
    TemporaryDirectory folder;
    std::ofstream(folder.file("file")) << "x";

    ExportController blocked(exportfixture::picture(8, 6, 8), {}, folder.file("file/exports"));
    ExportError error;
    EXPECT_FALSE(blocked.preparedImagePathToExport(&error));
    EXPECT_EQ(error.domain, "NSPOSIXErrorDomain");
    EXPECT_NE(error.code, 0);
    EXPECT_FALSE(error.localizedDescription.empty());

    ExportController empty(nullptr, {}, folder.path().string());
    ExportError untouched{"unchanged", 7, "unchanged"};
    EXPECT_FALSE(empty.preparedImagePathToExport(&untouched));
    EXPECT_EQ(untouched.domain, "unchanged");
    EXPECT_EQ(untouched.code, 7);

    // A disk that fills up mid-write: an I/O error and no partial file.
    ExportController large(exportfixture::picture(400, 300, 8), {}, folder.path().string());
    std::optional<std::string> written;
    {
        FileSizeLimit limit(2048);
        written = large.preparedImagePathToExport(&error);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(error.domain, "NSOSStatusErrorDomain");
    EXPECT_EQ(error.code, ExportController::kIOError);
    EXPECT_FALSE(fs::exists(folder.file("PictavoExportedImage.jpg")));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()),
              1); // "file" alone
}

TEST(ExportController, ExportsToApplicationsAnswerTheOpeningsResult) {
    TemporaryDirectory folder;
    const fs::path opened = folder.path() / "opened.txt";
    const fs::path program = folder.path() / "record";
    std::ofstream(program) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << opened.string() << ".tmp' && mv '"
                           << opened.string() << ".tmp' '" << opened.string() << "'\n";
    fs::permissions(program, fs::perms::owner_all);
    fs::create_directories(folder.path() / "data/applications");
    std::ofstream(folder.path() / "data/applications/com.apple.Aperture.desktop")
        << "[Desktop Entry]\nExec=" << program.string() << " %f\n";
    // Applications found only in the test's folder.
    const ScopedEnvironment applications{{"XDG_DATA_HOME", (folder.path() / "data").string()},
                                         {"XDG_DATA_DIRS", (folder.path() / "data" / "none").string()}};

    ExportController controller(exportfixture::picture(8, 6, 8), {}, (folder.path() / "exports").string());
    std::string description = "unchanged";
    ASSERT_TRUE(controller.exportToAperture(&description));
    for (int i = 0; i < 500 && !fs::exists(opened); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(opened);
    std::string received((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(received, (folder.path() / "exports/PictavoExportedImage.jpg").string());
    EXPECT_EQ(description, "unchanged");

    // No such application: the file is made, the hand-over fails and says so, for either one.
    EXPECT_FALSE(controller.exportToIPhoto(&description));
    EXPECT_TRUE(fs::exists(folder.path() / "exports/PictavoExportedImage 2.jpg"));
    fs::remove(folder.path() / "data/applications/com.apple.Aperture.desktop");
    EXPECT_FALSE(controller.exportToAperture(&description));
    EXPECT_TRUE(fs::exists(folder.path() / "exports/PictavoExportedImage 3.jpg"));

    ExportController blocked(exportfixture::picture(8, 6, 8), {}, (opened / "exports").string());
    description.clear();
    EXPECT_FALSE(blocked.exportToAperture(&description));
    EXPECT_FALSE(description.empty());
}
