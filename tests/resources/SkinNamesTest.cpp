// The interface's skins in the built bundle: every name the interface looks up is there at 1x and
// 2x (at the size its control is laid out for, where that is fixed), and the bundle holds no skin
// nothing looks up. The looked-up names are read from the interface's sources, not copied: every
// literal handed to `imageNamedAdditional` or to a setter or getter of an image name. Names the
// code builds from parts, or keeps in a table, are listed below, and each part must still be a
// literal of the file that builds it.
#include "platform/foundation/Bundle.h"
#include "platform/imageio/ImageSource.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

// ---- Reading names from source text

struct Literal {
    std::string text;
    bool joined; // '+' is its nearest neighbour on either side: a part of a name, not a name
    int depth;   // parentheses open around it
};

char nearest(std::string_view code, size_t at, int step) {
    for (long i = long(at); i >= 0 && i < long(code.size()); i += step)
        if (!std::isspace(static_cast<unsigned char>(code[size_t(i)]))) return code[size_t(i)];
    return 0;
}

// The string literals of `code` that could be names (no spaces, escapes or punctuation), with the
// depth of parentheses each stands in.
std::vector<Literal> literalsIn(std::string_view code) {
    std::vector<Literal> literals;
    int depth = 0;
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == '\'') { // a character literal such as '"' or ')'
            i = std::min(code.find('\'', i + (i + 1 < code.size() && code[i + 1] == '\\' ? 3 : 2)),
                         code.size());
            continue;
        }
        if (c != '"') continue;
        size_t end = i + 1;
        bool plain = true;
        for (; end < code.size() && code[end] != '"'; ++end) {
            if (code[end] == '\\')
                ++end, plain = false;
            else if (!std::isalnum(static_cast<unsigned char>(code[end])) && code[end] != '_')
                plain = false;
        }
        if (plain && end > i + 1 && end < code.size()) {
            const bool joined =
                (i > 0 && nearest(code, i - 1, -1) == '+') || nearest(code, end + 1, 1) == '+';
            literals.push_back({std::string(code.substr(i + 1, end - i - 1)), joined, depth});
        }
        i = end;
    }
    return literals;
}

// The first argument of the call whose '(' is at `open`, without the parentheses.
std::string_view firstArgument(std::string_view code, size_t open) {
    int depth = 0;
    for (size_t i = open; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"' || c == '\'') {
            for (++i; i < code.size() && code[i] != c; ++i)
                if (code[i] == '\\') ++i;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')' || (c == ',' && depth == 1)) {
            if (c == ')') --depth;
            if (depth == 0 || c == ',') return code.substr(open + 1, i - open - 1);
        }
    }
    return code.substr(open + 1);
}

struct Scan {
    std::set<std::string> names; // looked up as they stand
    bool indirect = false;       // some lookup takes a name made elsewhere
};

bool isWordCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// A lookup's first argument, outside any nested call: its whole literals are looked-up names, and
// a lookup with none takes its name from elsewhere. Also the names held for later lookups: the
// argument of a setter `set...ImageName...(`, what is assigned to a member `_...ImageName...`,
// and what a getter `...ImageName...(...) const` returns.
Scan scanSource(std::string_view code) {
    Scan scan;
    const auto take = [&](std::string_view text, int depth) {
        bool named = false;
        for (const Literal& literal : literalsIn(text))
            if (!literal.joined && literal.depth == depth) scan.names.insert(literal.text), named = true;
        return named;
    };
    const std::string_view lookup = "imageNamedAdditional(";
    for (size_t at = code.find(lookup); at != std::string_view::npos; at = code.find(lookup, at + 1))
        if (!take(firstArgument(code, at + lookup.size() - 1), 0)) scan.indirect = true;
    for (size_t at = code.find("ImageName"); at != std::string_view::npos;
         at = code.find("ImageName", at + 1)) {
        size_t begin = at, end = at;
        while (begin > 0 && isWordCharacter(code[begin - 1]))
            --begin;
        while (end < code.size() && isWordCharacter(code[end]))
            ++end;
        const std::string_view identifier = code.substr(begin, end - begin);
        const size_t next = code.find_first_not_of(" \t\n", end);
        if (next == std::string_view::npos) break;
        const std::string_view statement =
            code.substr(next, std::min(code.find(';', next), code.size()) - next);
        if (code[next] == '(' && identifier.starts_with("set")) {
            take(firstArgument(code, next), 0);
        } else if (code[next] == '=' && code.substr(next, 2) != "==" && identifier.starts_with("_")) {
            take(statement, 0);
        } else if (code[next] == '(') {
            const size_t close = next + firstArgument(code, next).size() + 1;
            if (code.substr(code.find_first_not_of(" \t\n)", close), 5) == "const") take(statement, 0);
        }
        at = end;
    }
    return scan;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The code without its comments (an apostrophe in a comment would read as a character literal).
std::string withoutComments(std::string_view code) {
    std::string kept;
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"' || c == '\'') {
            const size_t start = i;
            for (++i; i < code.size() && code[i] != c && code[i] != '\n'; ++i)
                if (code[i] == '\\') ++i;
            kept.append(code.substr(start, i - start + 1));
        } else if (code.substr(i, 2) == "//") {
            i = std::min(code.find('\n', i), code.size()) - 1;
        } else if (code.substr(i, 2) == "/*") {
            i = std::min(code.find("*/", i + 2), code.size()) + 1;
        } else {
            kept.push_back(c);
        }
    }
    return kept;
}

std::string readCode(const fs::path& path) {
    return withoutComments(readFile(path));
}

const fs::path kSource = OPALENE_SOURCE_DIR;

// The interface's sources; the lookup's own definition is left out.
std::map<std::string, std::string> interfaceSources() {
    std::map<std::string, std::string> files;
    for (const char* folder : {"src/controls", "src/imageview", "src/editor", "src/app", "src/extension"}) {
        for (const auto& entry : fs::recursive_directory_iterator(kSource / folder)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".cpp" && ext != ".h") continue;
            const std::string relative = fs::relative(entry.path(), kSource).generic_string();
            if (entry.path().stem() == "SharedBundle") continue;
            files[relative] = readCode(entry.path());
        }
    }
    return files;
}

// ---- Names the code builds or keeps in tables

// Every combination of one part from each list, in order; each non-empty part is a literal of `file`.
struct BuiltNames {
    const char* file;
    std::vector<std::vector<std::string>> parts;
};

const BuiltNames kBuiltNames[] = {
    {"src/controls/KXSlider.cpp", {{"adjuster_bar"}, {"", "_on"}, {"_left", "_center", "_right"}}},
    {"src/controls/VQTextView.cpp", {{"text_left", "text_center", "text_right"}, {"", "_hl"}}},
    {"src/controls/VQView.cpp",
     {{"dialog_", "jrv_dialog_"},
      {"left_top", "center_top", "right_top", "left_center", "center_center", "right_center", "left_bottom",
       "center_bottom", "right_bottom"}}},
    {"src/controls/VQView.cpp",
     {{"adj_left_top", "adj_center_top", "adj_left_top_s", "adj_center_top_s", "adj_left_center",
       "adj_center_center", "adj_left_bottom", "adj_center_bottm", "drawing_left_center",
       "drawing_center_center"}}},
    {"src/editor/SuperFilterToolbarViewController.cpp",
     {{"adjusters", "levels", "sharpen", "shadows"}, {"_on", "_off"}}},
    {"src/editor/RivorezIduvivViewControllerMenus.cpp",
     {{"back_dark_grey", "back_grey", "back_medium_grey", "back_light_grey"}}},
    {"src/editor/SelectPostProcessViewController.cpp",
     {{"effect_previous", "effect_random", "effect_next", "strip_shadow_left", "strip_shadow_right"}}},
    {"src/imageview/KXImageView.cpp", {{"target_cursor", "crop_resize_cursor_l", "crop_resize_cursor_r"}}},
};

// Files whose lookups take a name held by a setter, getter or assignment the scan reads, or read
// from the welcome pages' data file.
const std::set<std::string> kNamesHeldElsewhere = {"src/controls/KXButton.cpp",
                                                   "src/controls/KXBackgroundView.cpp",
                                                   "src/app/KXWelcomeScreenWindowController.cpp"};

std::vector<std::string> expand(const BuiltNames& built) {
    std::vector<std::string> names{""};
    for (const std::vector<std::string>& choices : built.parts) {
        std::vector<std::string> longer;
        for (const std::string& name : names)
            for (const std::string& part : choices)
                longer.push_back(name + part);
        names = std::move(longer);
    }
    return names;
}

std::set<std::string> welcomePageImages() {
    std::set<std::string> names;
    const nlohmann::json data =
        nlohmann::json::parse(readFile(kSource / "resources/welcome_screen_data.plist"));
    for (const auto& page : data.at("data"))
        names.insert(page.at("imageName").get<std::string>());
    return names;
}

std::set<std::string> lookedUpNames() {
    std::set<std::string> names = welcomePageImages();
    for (const auto& [file, code] : interfaceSources())
        names.merge(scanSource(code).names);
    for (const BuiltNames& built : kBuiltNames)
        for (std::string& name : expand(built))
            names.insert(std::move(name));
    return names;
}

// ---- The bundle

// Sizes in points the interface's layout fixes for a skin; 0 leaves that side free.
struct StatedSize {
    const char* name;
    double width, height;
};

const StatedSize kStatedSizes[] = {
    {"search_btn", 19, 19},          {"close_btn", 18, 18},
    {"dialog_close", 27, 27},        {"text_left", 0, 23},
    {"text_center", 0, 23},          {"text_right", 0, 23},
    {"text_left_hl", 0, 23},         {"text_center_hl", 0, 23},
    {"text_right_hl", 0, 23},        {"jrv_scroll_btn_left", 0, 7},
    {"jrv_scroll_btn_center", 0, 7}, {"jrv_scroll_btn_right", 0, 7},
    {"jrv_scroll_btn_top", 7, 0},    {"jrv_scroll_btn_center_vertical", 7, 0},
    {"jrv_scroll_btn_bottom", 7, 0},
};

// Cursors and the point of each that the pointer is at: it must lie inside the picture.
const std::pair<const char*, int> kCursorHotSpots[] = {
    {"target_cursor", 19}, {"crop_resize_cursor_l", 8}, {"crop_resize_cursor_r", 8}};

const fs::path& bundle() {
    static const fs::path path = foundation::Bundle::mainBundle().bundlePath();
    return path;
}

// The skins in the bundle: its top-level "<name>@2x.png" files (the effects' artwork has one density).
std::set<std::string> bundleSkins() {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(bundle())) {
        const std::string file = entry.path().filename().string();
        if (file.size() > 7 && file.ends_with("@2x.png")) names.insert(file.substr(0, file.size() - 7));
    }
    return names;
}

graphics::ImagePtr load(const fs::path& path) {
    auto source = imageio::ImageSource::createWithPath(path.string());
    return source ? source->createImage() : nullptr;
}

bool hasInk(const graphics::Image& image) {
    const int alpha = image.format().indexOf(graphics::Channel::A);
    if (alpha < 0) return true;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.row(y)[size_t(x) * 4 + size_t(alpha)] != 0) return true;
    return false;
}

} // namespace

TEST(SkinNameScan, ReadsWholeLiteralsOfLookupsAndNameHoldersOnly) {
    const Scan scan = scanSource(R"(
    a = imageNamedAdditional("plain");
    b = imageNamedAdditional(on ? "first" : "second", ratio);
    c = imageNamedAdditional("bar" + middle + "_end");
    button->setIconImageName("icon");
    _decreaseImageName = "minus", _decreaseImageNameSelected = "minus_on";
    QString knobImageName(bool) const { return grabbed ? "knob_on" : "knob"; }
    label->setText("not a skin");
    static constexpr const char* kExportedImageName = "file_name";
    if (_lastImageName == "compared") setTitle(iconImageName("argument"));
    other("also_not");
    imageNamedAdditional(std::string(kTable[i]) + "_off");
    view->setPixmap(imageNamedAdditional(text("caption")));
  )");
    const std::set<std::string> expected{"plain", "first",    "second",  "icon",
                                         "minus", "minus_on", "knob_on", "knob"};
    EXPECT_EQ(scan.names, expected);
    EXPECT_TRUE(scan.indirect);
    EXPECT_FALSE(scanSource(R"(x = imageNamedAdditional(')' == c ? "a" : "b");)").indirect);
    EXPECT_TRUE(scanSource(R"(x = imageNamedAdditional(name, "\"quoted\"");)").indirect);
    EXPECT_EQ(withoutComments("a(\"x\"); // it's \"y\"\n/* \"z\" */ b('\"');"), "a(\"x\"); \n b('\"');");
}

TEST(SkinNames, EveryBuiltNameIsMadeOfPartsItsFileHolds) {
    for (const BuiltNames& built : kBuiltNames) {
        std::set<std::string> literals;
        for (const Literal& literal : literalsIn(readCode(kSource / built.file)))
            literals.insert(literal.text);
        for (const std::vector<std::string>& choices : built.parts)
            for (const std::string& part : choices)
                if (!part.empty()) {
                    EXPECT_TRUE(literals.count(part)) << built.file << " no longer holds \"" << part << "\"";
                }
    }
}

TEST(SkinNames, EveryLookupOfANameMadeElsewhereIsAccountedFor) {
    std::set<std::string> accounted = kNamesHeldElsewhere;
    for (const BuiltNames& built : kBuiltNames)
        accounted.insert(built.file);
    for (const auto& [file, code] : interfaceSources())
        if (scanSource(code).indirect) {
            EXPECT_TRUE(accounted.count(file))
                << file << " looks up names it builds or keeps in a table: list them here";
        }
}

TEST(SkinNames, EveryLookedUpSkinIsInTheBundleAtBothDensities) {
    std::map<std::string, StatedSize> stated;
    for (const StatedSize& s : kStatedSizes)
        stated[s.name] = s;
    std::map<std::string, int> hotSpots(std::begin(kCursorHotSpots), std::end(kCursorHotSpots));
    for (const std::string& name : lookedUpNames()) {
        SCOPED_TRACE(name);
        const graphics::ImagePtr one = load(bundle() / (name + ".png")),
                                 two = load(bundle() / (name + "@2x.png"));
        if (!one || !two) {
            ADD_FAILURE() << "\"" << name << "\" missing at " << (one ? "2x" : two ? "1x" : "1x and 2x");
            continue;
        }
        EXPECT_EQ(two->width(), 2 * one->width());
        EXPECT_EQ(two->height(), 2 * one->height());
        EXPECT_TRUE(hasInk(*one) && hasInk(*two)) << "blank";
        if (auto s = stated.find(name); s != stated.end()) {
            if (s->second.width > 0) {
                EXPECT_EQ(one->width(), s->second.width);
            }
            if (s->second.height > 0) {
                EXPECT_EQ(one->height(), s->second.height);
            }
        }
        if (auto h = hotSpots.find(name); h != hotSpots.end()) {
            EXPECT_GT(one->width(), h->second);
            EXPECT_GT(one->height(), h->second);
        }
    }
}

TEST(SkinNames, TheBundleHoldsNoSkinNothingLooksUp) {
    const std::set<std::string> wanted = lookedUpNames();
    const std::set<std::string> present = bundleSkins();
    ASSERT_FALSE(present.empty());
    for (const std::string& name : present) {
        EXPECT_TRUE(wanted.count(name)) << "\"" << name << "\" is looked up nowhere";
    }
}
