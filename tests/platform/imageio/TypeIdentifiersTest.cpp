#include "platform/imageio/TypeIdentifiers.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace imageio;

namespace {

bool has(const std::vector<std::string>& list, const std::string& id) {
    return std::find(list.begin(), list.end(), id) != list.end();
}

} // namespace

TEST(TypeIdentifiers, CommonTypesAreReadableAndWritableInOrder) {
    const auto& writable = destinationTypeIdentifiers();
    ASSERT_GE(writable.size(), 6u);
    EXPECT_EQ(writable[0], "public.jpeg");
    EXPECT_EQ(writable[1], "public.png");
    for (const char* id :
         {"public.tiff", "public.jpeg-2000", "com.ilm.openexr-image", "org.webmproject.webp"}) {
        EXPECT_TRUE(has(writable, id)) << id;
        EXPECT_TRUE(has(sourceTypeIdentifiers(), id)) << id;
    }
}

TEST(TypeIdentifiers, ReadOnlyTypesAreNeverWritable) {
    EXPECT_TRUE(has(sourceTypeIdentifiers(), "com.canon.cr2-raw-image"));
    EXPECT_FALSE(has(destinationTypeIdentifiers(), "com.canon.cr2-raw-image"));
    EXPECT_FALSE(has(destinationTypeIdentifiers(), "com.adobe.photoshop-image"));
}

TEST(TypeIdentifiers, ExtensionsAndNames) {
    EXPECT_EQ(extensionsForType("public.jpeg").front(), "jpg");
    EXPECT_EQ(extensionsForType("public.tiff"), (std::vector<std::string>{"tiff", "tif"}));
    EXPECT_TRUE(extensionsForType("public.nothing").empty());
    EXPECT_EQ(displayName("public.jpeg"), "JPEG image");
    EXPECT_EQ(displayName("public.nothing"), "public.nothing");
    EXPECT_EQ(typeForExtension("JPEG"), "public.jpeg");
    EXPECT_EQ(typeForExtension("exr"), "com.ilm.openexr-image");
    EXPECT_EQ(typeForExtension("nef"), "com.nikon.raw-image");
    EXPECT_EQ(typeForExtension("txt"), "");
}
