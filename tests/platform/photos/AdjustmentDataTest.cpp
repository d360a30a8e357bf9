#include "platform/photos/AdjustmentData.h"
#include "platform/photos/ContentEditingOutput.h"

#include "support/TemporaryDirectory.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(AdjustmentData, RoundTripsThroughAFileByteForByte) {
    TemporaryDirectory dir;
    const std::string binary("\0\x01\xff{\"x\"}\n", 8);
    for (const photos::AdjustmentData& record :
         {photos::AdjustmentData("org.example.editor", "1.2", "VQExtentionAdjustData"),
          photos::AdjustmentData("", "", ""), photos::AdjustmentData("id \xc3\xa9", "0.1", binary)}) {
        const std::string path = dir.file("record.json");
        std::string error;
        ASSERT_TRUE(record.writeToFile(path, &error)) << error;
        std::optional<photos::AdjustmentData> back = photos::AdjustmentData::readFromFile(path, &error);
        ASSERT_TRUE(back.has_value()) << error;
        EXPECT_EQ(*back, record);
        EXPECT_EQ(back->data().size(), record.data().size());
    }
}

TEST(AdjustmentData, DamagedOrForeignRecordsAreRefusedWithAMessage) {
    const std::string good = photos::AdjustmentData("a", "1", "xyz").serialized();
    ASSERT_TRUE(photos::AdjustmentData::deserialize(good).has_value());
    struct Case {
        const char* what;
        std::string bytes;
        const char* message;
    };
    const Case cases[] = {
        {"empty", "", "not a JSON record"},
        {"truncated", good.substr(0, good.size() / 2), "not a JSON record"},
        {"an array", "[1,2]", "not a JSON record"},
        {"foreign kind", R"({"kind":"other","formatIdentifier":"a","formatVersion":"1","data":""})",
         "not a record"},
        {"no kind", R"({"formatIdentifier":"a","formatVersion":"1","data":""})", "not a record"},
        {"missing data", R"({"kind":"opalene.adjustment-data","formatIdentifier":"a","formatVersion":"1"})",
         "missing"},
        {"number identifier",
         R"({"kind":"opalene.adjustment-data","formatIdentifier":5,"formatVersion":"1","data":""})",
         "missing"},
        {"bad base64",
         R"({"kind":"opalene.adjustment-data","formatIdentifier":"a","formatVersion":"1","data":"%%%"})",
         "base64"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(photos::AdjustmentData::deserialize(c.bytes, &error).has_value()) << c.what;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
    }
}

TEST(AdjustmentData, FilesThatCannotBeReadOrWrittenFailWithoutHarm) {
    TemporaryDirectory dir;
    std::string error;
    EXPECT_FALSE(photos::AdjustmentData::readFromFile(dir.file("missing.json"), &error).has_value());
    EXPECT_NE(error.find("missing.json"), std::string::npos);

    writeAll(dir.file("damaged.json"), "{\"kind\": \"opalene.adj");
    error.clear();
    EXPECT_FALSE(photos::AdjustmentData::readFromFile(dir.file("damaged.json"), &error).has_value());
    EXPECT_NE(error.find("damaged"), std::string::npos);

    const photos::AdjustmentData record("a", "1", "data");
    error.clear();
    EXPECT_FALSE(record.writeToFile(dir.file("no-such-folder/record.json"), &error));
    EXPECT_FALSE(error.empty());

    // A failed write leaves an earlier record whole.
    const std::string kept = dir.file("kept.json");
    ASSERT_TRUE(photos::AdjustmentData("old", "1", "old").writeToFile(kept));
    const std::string before = readAll(kept);
    if (geteuid() != 0) { // root writes into read-only folders
        ASSERT_EQ(chmod(dir.path().c_str(), 0500), 0);
        EXPECT_FALSE(record.writeToFile(kept, &error));
        chmod(dir.path().c_str(), 0700);
        EXPECT_EQ(readAll(kept), before);
    }
}

TEST(ContentEditingOutput, NamesItsFilesAfterThePhotoInTheHostsFolder) {
    auto input = std::make_shared<photos::ContentEditingInput>();
    input->fullSizeImageURL = "/photos/Beach Day.PNG";
    input->outputDirectory = "/out";
    photos::ContentEditingOutput output(input);
    EXPECT_EQ(output.renderedContentURL(), "/out/Beach Day.jpg");
    EXPECT_EQ(output.adjustmentDataURL(), "/out/Beach Day.adjustment.json");
    EXPECT_FALSE(output.adjustmentData().has_value());
    output.setAdjustmentData(photos::AdjustmentData("a", "1", "d"));
    EXPECT_EQ(output.adjustmentData()->formatIdentifier(), "a");
}

} // namespace
