// The pictures the effects load, checked in the built bundle: every name they look up resolves
// (with its variants), every picture is opaque 8-bit RGB in the orientation the lookup expects,
// and each meets what its effect's formula needs of it.
#include "platform/foundation/Bundle.h"
#include "platform/imageio/ImageSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using foundation::Bundle;

namespace {

// How an effect finds a picture: by file name in the shared resources bundle (sketch papers,
// tone gradient, brushes), as a blend texture (name, "_v", "_small", "_small_v" by name and
// type) or as an overlay (name and "_small", type "jpg" or else "png").
enum class Lookup { ByFileName, BlendTexture, Overlay };

struct Resource {
    const char* name;
    Lookup lookup;
};

const Resource kResources[] = {
    {"Scpaper-crs_2x.jpg", Lookup::ByFileName},
    {"Scpaper-obl_2x.jpg", Lookup::ByFileName},
    {"Scpaper-vert2_2x.jpg", Lookup::ByFileName},
    {"Scpaper-crs1_2x.jpg", Lookup::ByFileName},
    {"Scpaper-obl1_2x.jpg", Lookup::ByFileName},
    {"Scpaper-vert21_2x.jpg", Lookup::ByFileName},
    {"gradient.png", Lookup::ByFileName},
    {"Scetch_black.jpg", Lookup::ByFileName},
    {"pf_old_paper.jpg", Lookup::ByFileName},
    {"brushStroke1.png", Lookup::ByFileName},
    {"brushStroke2.png", Lookup::ByFileName},
    {"brushStroke3.png", Lookup::ByFileName},
    {"brushStroke4.png", Lookup::ByFileName},
    {"Crosspro-3.jpg", Lookup::BlendTexture},
    {"pf_render_palette1.jpg", Lookup::BlendTexture},
    {"pf_ancient_canvas1.jpg", Lookup::BlendTexture},
    {"pf_oldtv1.jpg", Lookup::BlendTexture},
    {"Crosspro-5.jpg", Lookup::BlendTexture},
    {"pf_color_sunlight_spots.jpg", Lookup::BlendTexture},
    {"pf_vintage_2.jpg", Lookup::BlendTexture},
    {"grunge_rays", Lookup::Overlay},
    {"retro_1_overlayer", Lookup::Overlay},
    {"paloroid_overlayer", Lookup::Overlay},
    {"retro_3_overlayer", Lookup::Overlay},
    {"red_poster_paper", Lookup::Overlay},
    {"wall_texture", Lookup::Overlay},
    {"retro_2_overlayer", Lookup::Overlay},
    {"red", Lookup::Overlay},
    {"lomo_overlayer", Lookup::Overlay},
    {"horror", Lookup::Overlay},
    {"Vignette2", Lookup::Overlay},
};

enum class Shape { Any, Landscape, Portrait };

struct File {
    std::string label; // what the effect asks for
    std::string path;  // where the bundle answers; empty when it has nothing
    Shape shape;
};

std::string byNameAndType(const std::string& name) {
    for (const char* type : {"jpg", "png"})
        if (std::string path = Bundle::pathForResource(name, type); !path.empty()) return path;
    return {};
}

std::vector<File> filesOf(const Resource& r) {
    const std::string name = r.name;
    switch (r.lookup) {
    case Lookup::ByFileName:
        return {{name, Bundle::sharedBundle().pathForResourceOfType(name, ""), Shape::Any}};
    case Lookup::BlendTexture: {
        const std::string base = name.substr(0, name.find('.')), type = name.substr(name.find('.') + 1);
        std::vector<File> files;
        for (const char* suffix : {"", "_small"}) {
            const std::string n = base + suffix;
            files.push_back({n + "." + type, Bundle::pathForResource(n, type), Shape::Landscape});
            files.push_back({n + "_v." + type, Bundle::pathForResource(n + "_v", type), Shape::Portrait});
        }
        return files;
    }
    case Lookup::Overlay:
        return {{name, byNameAndType(name), Shape::Landscape},
                {name + "_small", byNameAndType(name + "_small"), Shape::Landscape}};
    }
    return {};
}

// A decoded picture with the statistics the constraints are written in (8-bit values).
class Picture {
  public:
    explicit Picture(const std::string& path) {
        auto source = imageio::ImageSource::createWithPath(path);
        if (source) image_ = source->createImage();
        if (image_) {
            for (int c = 0; c < 3; ++c)
                index_[c] = image_->format().indexOf(graphics::Channel(c));
        }
    }
    bool valid() const { return image_ != nullptr; }
    const graphics::Image& image() const { return *image_; }
    int width() const { return image_->width(); }
    int height() const { return image_->height(); }
    // Channel 0, 1, 2 (red, green, blue) or kLuma, the mean of the three.
    static constexpr int kLuma = 3;
    double at(int x, int y, int c) const {
        const uint8_t* p = image_->row(y) + size_t(x) * 4;
        if (c == kLuma) return (p[index_[0]] + p[index_[1]] + p[index_[2]]) / 3.0;
        return p[index_[c]];
    }
    // Mean over the part of the picture between fractions (x0, y0) and (x1, y1) of its size.
    double mean(int c, double x0 = 0, double y0 = 0, double x1 = 1, double y1 = 1) const {
        double sum = 0;
        size_t n = 0;
        for (int y = int(y0 * height()); y < std::max(int(y1 * height()), int(y0 * height()) + 1); ++y)
            for (int x = int(x0 * width()); x < std::max(int(x1 * width()), int(x0 * width()) + 1); ++x)
                sum += at(x, y, c), ++n;
        return sum / double(n);
    }
    // The mean of the four corner patches (each 5% of the sides).
    double corners(int c) const {
        return (mean(c, 0, 0, 0.05, 0.05) + mean(c, 0.95, 0, 1, 0.05) + mean(c, 0, 0.95, 0.05, 1) +
                mean(c, 0.95, 0.95, 1, 1)) /
               4;
    }
    double centre(int c) const { return mean(c, 0.4, 0.4, 0.6, 0.6); }
    // The value that a share of all pixels lie at or below.
    double percentile(int c, double share) const {
        std::array<size_t, 256> histogram{};
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x)
                ++histogram[size_t(std::lround(at(x, y, c)))];
        const double wanted = share * double(width()) * double(height());
        double seen = 0;
        for (int v = 0; v < 256; ++v)
            if ((seen += double(histogram[size_t(v)])) >= wanted && seen > 0) return v;
        return 255;
    }
    // Mean difference between column a and column b (wrapping).
    double columnDifference(int a, int b) const {
        double sum = 0;
        for (int y = 0; y < height(); ++y)
            sum += std::fabs(at(a % width(), y, kLuma) - at(b % width(), y, kLuma));
        return sum / height();
    }
    double rowDifference(int a, int b) const {
        double sum = 0;
        for (int x = 0; x < width(); ++x)
            sum += std::fabs(at(x, a % height(), kLuma) - at(x, b % height(), kLuma));
        return sum / width();
    }
    size_t count(const std::function<bool(int x, int y)>& test) const {
        size_t n = 0;
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x)
                n += test(x, y) ? 1 : 0;
        return n;
    }

  private:
    graphics::ImagePtr image_;
    int index_[3] = {0, 1, 2};
};

constexpr int R = 0, G = 1, B = 2, L = Picture::kLuma;

std::string locate(const std::string& file) {
    if (std::string path = Bundle::sharedBundle().pathForResourceOfType(file, ""); !path.empty()) return path;
    const auto dot = file.find('.');
    return dot == std::string::npos ? byNameAndType(file)
                                    : Bundle::pathForResource(file.substr(0, dot), file.substr(dot + 1));
}

} // namespace

TEST(BundleArtwork, EveryNameTheEffectsLookUpResolves) {
    std::vector<std::string> missing;
    for (const Resource& r : kResources)
        for (const File& f : filesOf(r))
            if (f.path.empty()) missing.push_back(f.label);
    EXPECT_TRUE(missing.empty()) << "missing: " << ::testing::PrintToString(missing);
}

TEST(BundleArtwork, EveryPictureIsOpaqueEightBitRgbInItsOrientation) {
    for (const Resource& r : kResources) {
        for (const File& f : filesOf(r)) {
            if (f.path.empty()) continue; // reported by the test above
            SCOPED_TRACE(f.label);
            auto source = imageio::ImageSource::createWithPath(f.path);
            ASSERT_TRUE(source);
            const foundation::Dictionary& p = source->copyProperties();
            ASSERT_TRUE(p.count("PixelWidth") && p.count("PixelHeight"));
            EXPECT_EQ(p.at("Depth").getInt64().value_or(0), 8);
            EXPECT_FALSE(p.count("HasAlpha") && p.at("HasAlpha").getBool().value_or(false));
            const int64_t w = p.at("PixelWidth").getInt64().value_or(0),
                          h = p.at("PixelHeight").getInt64().value_or(0);
            EXPECT_GE(std::min(w, h), 2); // bilinear sampling reads two texels each way
            if (f.shape == Shape::Landscape) {
                EXPECT_GT(w, h);
            } else if (f.shape == Shape::Portrait) {
                EXPECT_LT(w, h);
            }
        }
    }
}

TEST(BundleArtwork, NoKernelSourceReroutesAnEffect) {
    const char* classes[] = {"PP_SketchA",          "PP_SketchB",
                             "PP_SketchC",          "PP_SketchD",
                             "PP_SketchE",          "PP_SketchF",
                             "PP_ComixHalftone",    "PP_ColorHalftone",
                             "PP_GrayHalftone",     "PP_SmartPosterize",
                             "PP_Mosaic",           "PP_GaussianBlur",
                             "PP_Sharpen",          "PP_Denoise",
                             "PP_Oilify",           "PP_3DEffect",
                             "PP_ImageFilter",      "PP_OV_Frame",
                             "PP_Bloom1",           "PP_ColorModify",
                             "PP_ColorTemperature", "PP_CS"};
    for (const char* c : classes)
        EXPECT_EQ(Bundle::pathForResource(c, "cifilter"), "") << c;
}

// What each picture's effect needs of it, in 8-bit values.
struct Constraint {
    const char* file;
    const char* need;
    std::function<void(const Picture&)> check;
};

void PrintTo(const Constraint& c, std::ostream* os) {
    *os << c.file << ": " << c.need;
}

class ArtworkConstraint : public ::testing::TestWithParam<Constraint> {};

TEST_P(ArtworkConstraint, Holds) {
    const std::string path = locate(GetParam().file);
    ASSERT_FALSE(path.empty()) << GetParam().file;
    const Picture picture(path);
    ASSERT_TRUE(picture.valid()) << path;
    GetParam().check(picture);
}

namespace {

// Sketch tiles repeat across the picture: the last column runs on into the first, the last row
// into the first, about as smoothly as neighbouring columns and rows do (a cut stroke differs
// as much as two unrelated columns).
void seamless(const Picture& p) {
    const int w = p.width(), h = p.height();
    double neighbours = 0;
    for (int x = 8; x < w - 8; x += w / 16)
        neighbours += p.columnDifference(x, x + 1) / 16;
    EXPECT_LT(p.columnDifference(w - 1, 0), neighbours * 1.5 + 1);
    double rowNeighbours = 0;
    for (int y = 8; y < h - 8; y += h / 16)
        rowNeighbours += p.rowDifference(y, y + 1) / 16;
    EXPECT_LT(p.rowDifference(h - 1, 0), rowNeighbours * 1.5 + 1);
}

// An overlay is stretched over the whole photo: a thin line running along one of its sides reads
// as a fault of the picture's edge. Near each side (within 4% of it), no band of 8 columns (rows)
// parallel to it may hold a thin dark line for a quarter of its length: a pixel darker than both
// pixels three away across the line by more than 6 levels.
void noLineAlongASide(const Picture& p) {
    const int w = p.width(), h = p.height();
    const auto dark = [&](int x0, int y0, int dx, int dy) {
        const int xa = std::clamp(x0 - 3 * dx, 0, w - 1), ya = std::clamp(y0 - 3 * dy, 0, h - 1);
        const int xb = std::clamp(x0 + 3 * dx, 0, w - 1), yb = std::clamp(y0 + 3 * dy, 0, h - 1);
        return p.at(x0, y0, L) < std::min(p.at(xa, ya, L), p.at(xb, yb, L)) - 6;
    };
    // Rows (columns) along which some pixel of the band [across, across + 8) is dark.
    const auto covered = [&](int across, int along, int n, bool columns) {
        int count = 0;
        for (int a = 0; a < along; ++a) {
            bool any = false;
            for (int k = across; k < std::min(across + 8, n) && !any; ++k)
                any = columns ? dark(k, a, 1, 0) : dark(a, k, 0, 1);
            count += any;
        }
        return count;
    };
    for (const bool columns : {true, false}) {
        const int n = columns ? w : h, along = columns ? h : w, margin = std::max(8, n / 25);
        for (int start = 0; start + 8 <= margin; start += 4) {
            EXPECT_LT(covered(start, along, n, columns), along / 4)
                << (columns ? "column " : "row ") << start;
            EXPECT_LT(covered(n - 8 - start, along, n, columns), along / 4)
                << (columns ? "column " : "row ") << n - 8 - start;
        }
    }
}

// Graphite hatching: white paper (at least 250, or the pen effect greys it) under strokes dark
// enough to show as lines; `darkest` is how dark the darkest percent must get.
std::function<void(const Picture&)> hatching(double paperShare, double darkest) {
    return [=](const Picture& p) {
        seamless(p);
        for (int c : {R, G, B})
            EXPECT_GE(p.percentile(c, 1 - paperShare), 250) << "paper, channel " << c;
        EXPECT_LE(p.percentile(L, 0.01), darkest);
    };
}

// The dense, medium and light tone bands: each lighter than the one before.
void lighterThan(const Picture& p, const char* darker) {
    EXPECT_GT(p.mean(L), Picture(locate(darker)).mean(L) + 5);
}

const Constraint kConstraints[] = {
    {"Scpaper-crs_2x.jpg", "dense seamless graphite hatching on white", hatching(0.1, 120)},
    {"Scpaper-obl_2x.jpg", "medium seamless graphite hatching on white, lighter than the dense",
     [](const Picture& p) {
         hatching(0.3, 150)(p);
         lighterThan(p, "Scpaper-crs_2x.jpg");
     }},
    {"Scpaper-vert2_2x.jpg", "light seamless hatching, mostly white, lighter than the medium",
     [](const Picture& p) {
         hatching(0.6, 190)(p);
         lighterThan(p, "Scpaper-obl_2x.jpg");
     }},
    {"Scpaper-crs1_2x.jpg", "dense seamless colour-pencil strokes, light enough to tint",
     [](const Picture& p) {
         hatching(0.1, 200)(p);
         EXPECT_GE(p.percentile(L, 0.001), 60);
     }},
    {"Scpaper-obl1_2x.jpg", "medium seamless colour-pencil strokes",
     [](const Picture& p) {
         hatching(0.3, 230)(p);
         lighterThan(p, "Scpaper-crs1_2x.jpg");
     }},
    {"Scpaper-vert21_2x.jpg", "light seamless colour-pencil strokes",
     [](const Picture& p) {
         hatching(0.6, 240)(p);
         lighterThan(p, "Scpaper-obl1_2x.jpg");
     }},
    {"gradient.png", "a tone ramp: red of pixel n rises with n and lifts it, ending at white",
     [](const Picture& p) {
         ASSERT_GE(p.width(), 256);
         for (int n = 1; n < 256; ++n) {
             EXPECT_GE(p.at(n, 0, R), p.at(n - 1, 0, R)) << n;
             EXPECT_GE(p.at(n, 0, R), n) << n;
         }
         EXPECT_EQ(p.at(255, 0, R), 255);
     }},
    {"Scetch_black.jpg", "dark charcoal paper: near black with lighter grain and streaks below 140",
     [](const Picture& p) {
         EXPECT_LE(p.percentile(L, 0.5), 30);
         EXPECT_LE(p.percentile(L, 0.9999), 140);
         EXPECT_GE(p.percentile(L, 0.999), 50);
     }},
    {"pf_old_paper.jpg", "cream paper with darker burnt edges",
     [](const Picture& p) {
         EXPECT_GE(p.centre(R), 215);
         EXPECT_GT(p.centre(R), p.centre(G));
         EXPECT_GT(p.centre(G), p.centre(B));
         EXPECT_LT(p.corners(L), p.centre(L) - 40);
     }},
    {"Crosspro-3.jpg", "a cast kept near mid-grey (0.35 to 0.65) so that x1.44 does not clip",
     [](const Picture& p) {
         for (int c : {R, G, B}) {
             EXPECT_GE(p.percentile(c, 0), 86);
             EXPECT_LE(p.percentile(c, 1), 169);
         }
     }},
    {"pf_render_palette1.jpg", "rainbow bands around mid-grey (0.3 to 0.7), every hue present",
     [](const Picture& p) {
         for (int c : {R, G, B}) {
             EXPECT_GE(p.percentile(c, 0), 73);
             EXPECT_LE(p.percentile(c, 1), 182);
             EXPECT_GE(p.percentile(c, 0.99) - p.percentile(c, 0.01), 60) << c;
         }
     }},
    {"pf_ancient_canvas1.jpg", "warm beige canvas, mostly 0.85 to 0.95 times white, darker edges",
     [](const Picture& p) {
         EXPECT_GE(p.percentile(R, 0.5), 0.82 * 255);
         EXPECT_LE(p.percentile(R, 0.5), 0.96 * 255);
         EXPECT_GT(p.centre(R), p.centre(G));
         EXPECT_GT(p.centre(G), p.centre(B));
         EXPECT_LT(p.corners(L), p.centre(L) - 20);
     }},
    {"pf_oldtv1.jpg", "scanlines alternating about 0.75 and 1, a dark bezel, green-blue cast",
     [](const Picture& p) {
         // Lines four rows apart at full size: the brightest and darkest rows of each.
         double bright = 0, dark = 0;
         for (int y = p.height() / 2 & ~3; y < p.height() / 2 + 80; y += 4) {
             bright += p.at(p.width() / 2, y, L);
             dark += p.at(p.width() / 2, y + 2, L);
         }
         EXPECT_GT(bright, dark * 1.15);
         EXPECT_LE(p.corners(L), 30);
         EXPECT_GT(p.centre(G), p.centre(R));
     }},
    {"Crosspro-5.jpg", "neutral grey, small",
     [](const Picture& p) {
         EXPECT_LE(p.width() * p.height(), 256 * 256);
         for (int c : {R, G, B})
             EXPECT_NEAR(p.mean(c), 128, 4);
     }},
    {"pf_color_sunlight_spots.jpg", "mid-grey with coloured light spots and darker corners",
     [](const Picture& p) {
         EXPECT_NEAR(p.percentile(L, 0.5), 128, 25);
         EXPECT_GE(p.percentile(L, 0.99), 0.7 * 255);
         EXPECT_GE(p.corners(L), 0.3 * 255);
         EXPECT_LE(p.corners(L), 0.47 * 255);
     }},
    {"pf_vintage_2.jpg", "warm paper tone that x1.3 keeps, darker edges, white specks at 245 or more",
     [](const Picture& p) {
         EXPECT_NEAR(p.centre(R), 0.80 * 255, 15);
         EXPECT_NEAR(p.centre(G), 0.72 * 255, 15);
         EXPECT_NEAR(p.centre(B), 0.58 * 255, 15);
         EXPECT_LT(p.corners(L), p.centre(L) - 25);
         EXPECT_GE(p.count([&](int x, int y) {
             return p.at(x, y, R) >= 245 && p.at(x, y, G) >= 245 && p.at(x, y, B) >= 245;
         }),
                   100u);
     }},
    {"grunge_rays", "multiplied: mostly light (0.8 to 1), near neutral",
     [](const Picture& p) {
         EXPECT_GE(p.percentile(L, 0.5), 0.8 * 255);
         EXPECT_NEAR(p.mean(R), p.mean(B), 15);
     }},
    {"red_poster_paper", "multiplied: light, warm off-white paper",
     [](const Picture& p) {
         EXPECT_GE(p.percentile(L, 0.1), 0.8 * 255);
         EXPECT_NEAR(p.mean(R), p.mean(B), 25);
     }},
    {"wall_texture", "multiplied: a light wall",
     [](const Picture& p) { EXPECT_GE(p.percentile(L, 0.5), 0.8 * 255); }},
    {"horror", "multiplied with green and blue swapped: grey, light centre, dark edges",
     [](const Picture& p) {
         EXPECT_GE(p.centre(L), 0.9 * 255);
         EXPECT_LE(p.corners(L), 0.4 * 255);
         EXPECT_NEAR(p.mean(G), p.mean(B), 1.5);
     }},
    {"retro_1_overlayer", "overlaid: mid-grey base, darker corners",
     [](const Picture& p) {
         EXPECT_NEAR(p.percentile(L, 0.5), 128, 20);
         EXPECT_LT(p.corners(L), p.centre(L) - 25);
     }},
    {"retro_2_overlayer", "hard light and overlay: mid-tones (0.35 to 0.6), darker corners",
     [](const Picture& p) {
         EXPECT_GE(p.percentile(L, 0.1), 0.3 * 255);
         EXPECT_LE(p.percentile(L, 0.9), 0.62 * 255);
         EXPECT_LT(p.corners(L), p.centre(L) - 15);
     }},
    {"paloroid_overlayer", "screened: mostly dark, lifted toward the edges",
     [](const Picture& p) {
         EXPECT_LE(p.percentile(L, 0.5), 0.15 * 255);
         EXPECT_GT(p.corners(L), p.centre(L) + 20);
     }},
    {"retro_3_overlayer", "screened: mostly dark with a coloured leak",
     [](const Picture& p) {
         EXPECT_LE(p.percentile(L, 0.5), 0.15 * 255);
         EXPECT_GE(p.percentile(R, 0.99), 0.6 * 255);
     }},
    {"red", "screened: mostly dark with a red glow",
     [](const Picture& p) {
         EXPECT_LE(p.percentile(L, 0.5), 0.15 * 255);
         EXPECT_GE(p.percentile(R, 0.99), 0.6 * 255);
         EXPECT_GT(p.mean(R), 2 * p.mean(B));
     }},
    {"lomo_overlayer", "vignette: centre 0.5 to 0.8, corners 0.1 to 0.2, the same above and below",
     [](const Picture& p) {
         EXPECT_GE(p.centre(L), 0.5 * 255);
         EXPECT_LE(p.centre(L), 0.8 * 255);
         EXPECT_GE(p.corners(L), 0.08 * 255);
         EXPECT_LE(p.corners(L), 0.22 * 255);
         EXPECT_NEAR(p.mean(L, 0, 0, 1, 0.2), p.mean(L, 0, 0.8, 1, 1), 3);
     }},
    {"Vignette2", "x3 at the default: centre near two thirds, corners near 0.2",
     [](const Picture& p) {
         EXPECT_GE(p.centre(L), 0.6 * 255);
         EXPECT_LE(p.centre(L), 0.67 * 255);
         EXPECT_NEAR(p.corners(L), 0.2 * 255, 0.05 * 255);
     }},
};

// Brushes: coverage is the green byte, 0 full paint, 255 none; under 11 paints solid, over 244
// leaves the pixel alone. One stroke on white, with a solid body.
void brush(const Picture& p, bool first) {
    int left = p.width(), right = -1, top = p.height(), bottom = -1;
    size_t solid = 0;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            const double g = p.at(x, y, G);
            if (g < 11) ++solid;
            if (g < 128) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
            if (x == 0 || y == 0 || x == p.width() - 1 || y == p.height() - 1) {
                EXPECT_GT(g, 244) << "border at " << x << "," << y;
            }
        }
    EXPECT_GE(double(solid), 0.1 * p.width() * p.height());
    EXPECT_GE(p.width(), 120);
    EXPECT_LE(p.width(), 320);
    // The first brush sets the effect's grid; a flat stroke would leave gaps in the base layer.
    if (first) {
        EXPECT_GE(bottom - top + 1, (right - left + 1) / 2);
    }
}

const Constraint kBrushes[] = {
    {"brushStroke1.png", "one black stroke on white, at least half as high as wide",
     [](const Picture& p) { brush(p, true); }},
    {"brushStroke2.png", "one black stroke on white", [](const Picture& p) { brush(p, false); }},
    {"brushStroke3.png", "one black stroke on white", [](const Picture& p) { brush(p, false); }},
    {"brushStroke4.png", "one black stroke on white", [](const Picture& p) { brush(p, false); }},
};

std::string caseName(const ::testing::TestParamInfo<Constraint>& info) {
    std::string name = info.param.file;
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

} // namespace

TEST(BundleArtwork, NoOverlayHasALineAlongASide) {
    for (const Resource& r : kResources) {
        // The wall's pores are dark specks everywhere, which this measure cannot tell from a line.
        if (r.lookup != Lookup::Overlay || std::string(r.name) == "wall_texture") continue;
        SCOPED_TRACE(r.name);
        const Picture picture(locate(r.name));
        ASSERT_TRUE(picture.valid());
        noLineAlongASide(picture);
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, ArtworkConstraint, ::testing::ValuesIn(kConstraints), caseName);
INSTANTIATE_TEST_SUITE_P(Brushes, ArtworkConstraint, ::testing::ValuesIn(kBrushes), caseName);
