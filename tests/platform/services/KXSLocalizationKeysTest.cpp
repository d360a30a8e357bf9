// Every identifier key the interface hands to the localisation has English text, so no key is
// ever shown as itself. The keys are read from the sources, so a new key without text fails here.
#include "platform/services/KXSLocalization.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

using services::KXSLocalization;

// Identifier keys in the sources: any "kString..." literal, and any "k<Capital>..." literal handed
// straight to a localisation call. The table itself is left out, or it would vouch for itself.
std::set<std::string> identifierKeysInSources() {
    const std::filesystem::path root = std::filesystem::path(OPALENE_SOURCE_DIR) / "src";
    const std::regex anyStringKey("\"(kString[A-Za-z0-9_]+)\"");
    const std::regex localizedKey("localized(?:StringForKey)?\\(\\s*\"(k[A-Z][A-Za-z0-9_]*)\"");
    std::set<std::string> keys;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::filesystem::path& path = entry.path();
        if (!entry.is_regular_file() || (path.extension() != ".cpp" && path.extension() != ".h")) continue;
        if (path.filename() == "KXSLocalization.cpp") continue;
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        const std::string source = text.str();
        for (const std::regex* pattern : {&anyStringKey, &localizedKey})
            for (std::sregex_iterator it(source.begin(), source.end(), *pattern), end; it != end; ++it)
                keys.insert((*it)[1].str());
    }
    return keys;
}

TEST(KXSLocalizationKeys, EveryIdentifierKeyInTheSourcesHasEnglishText) {
    const std::set<std::string> keys = identifierKeysInSources();
    // The scan itself works: keys that the editor's alerts and the crop error use are among them.
    for (const char* known :
         {"kStringSaveDialogText", "kStringInfoLabelHaveNotFavorites", "kCropBigSizeInfoString"})
        EXPECT_TRUE(keys.count(known)) << "the source scan missed " << known;
    for (const std::string& key : keys) {
        SCOPED_TRACE(key);
        const std::string text = KXSLocalization::localizedStringForKey(key, "");
        EXPECT_NE(text, key);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text.find("kString"), std::string::npos);
    }
}

TEST(KXSLocalizationKeys, TheSupportLinkIsAWebAddressAndUnknownKeysAnswerThemselves) {
    EXPECT_EQ(KXSLocalization::localizedStringForKey("kStringSupportLink", "").rfind("https://", 0), 0u);
    EXPECT_EQ(KXSLocalization::localizedStringForKey("kStringNoSuchKeyAnywhere", "a comment"),
              "kStringNoSuchKeyAnywhere");
    // The resize wait text is a format for the size limit in megapixels.
    EXPECT_NE(KXSLocalization::localizedStringForKey("kStringWaitingResizeAutomaticallyImage", "").find("%@"),
              std::string::npos);
}

} // namespace
