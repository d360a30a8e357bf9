#include "Pixels.h"

#include "platform/coreimage/FilterRegistry.h"
#include "platform/coreimage/Kernel.h"
#include "platform/coreimage/KernelRegistry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

using namespace coreimage;
using namespace coreimage::test;
using graphics::Rect;

namespace {

using Bytes = std::vector<uint8_t>;

// Scales the sampler's pixel by the first value.
void scaleRow(const KernelRow& row) {
    const float k = row.values[0].x;
    const float* s = row.samplers[0].at(row.x, row.y);
    for (int i = 0; i < row.count * 4; ++i)
        row.out[i] = s[i] * k;
}

// The pixel to the right: needs a margin of one.
void leftShiftRow(const KernelRow& row) {
    for (int i = 0; i < row.count; ++i) {
        const Vec4 v = row.samplers[0].pixel(row.x + i + 1, row.y);
        float* d = row.out + i * 4;
        d[0] = v.x, d[1] = v.y, d[2] = v.z, d[3] = v.w;
    }
}

// Opaque grey whose level is the destination x coordinate / 100.
void rampRow(const KernelRow& row) {
    for (int i = 0; i < row.count; ++i) {
        const float level = float(row.x + i + 0.5) / 100.0f;
        float* d = row.out + i * 4;
        d[0] = d[1] = d[2] = level;
        d[3] = 1;
    }
}

constexpr char kSource[] = R"(
/* kernel vec4 TestNotThisOne(sampler s) in a comment */
// kernel vec4 TestNorThisOne(
kernel vec4 TestScale(sampler src, float k)
{
    return sample(src, samplerCoord(src)) * k;
}
kernel vec4 TestLeftShift(sampler src) { return sample(src, samplerCoord(src) + vec2(1.0, 0.0)); }
)";

class CoreImageKernel : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(KernelRegistry::registerKernel("TestScale", scaleRow));
        ASSERT_TRUE(KernelRegistry::registerKernel("TestLeftShift", leftShiftRow, 1));
        ASSERT_TRUE(KernelRegistry::registerKernel("TestRamp", rampRow));
    }
};

// A custom filter as the effect code makes them: its kernel comes from a source text resource.
class ResourceFilter final : public Filter {
  public:
    ResourceFilter(std::string name, KernelPtr kernel)
        : Filter(std::move(name)), kernel_(std::move(kernel)) {}

    // Registers the name only when its resource exists and compiles.
    static bool registerFilter(const std::string& name, const std::filesystem::path& folder) {
        std::ifstream file(folder / (name + ".cifilter"));
        if (!file) return false;
        std::stringstream text;
        text << file.rdbuf();
        const std::vector<KernelPtr> kernels = Kernel::kernelsWithString(text.str());
        if (kernels.empty()) return false;
        FilterAttributes attributes;
        attributes.displayName = name;
        attributes.categories = {kCICategoryColorAdjustment, kCICategoryVideo, kCICategoryStillImage,
                                 kCICategoryInterlaced, kCICategoryNonSquarePixels};
        return FilterRegistry::registerFilterName(
            name,
            [kernel = kernels.front()](const std::string& n) {
                return std::make_shared<ResourceFilter>(n, kernel);
            },
            attributes);
    }

    ImagePtr outputImage() const override {
        const ImagePtr in = asImage(value("inputImage"));
        return in ? kernel_->apply(in->extent(), {in, asNumber(value("inputParam1")).value_or(0)}) : nullptr;
    }

    std::map<std::string, InputAttributes> customAttributes() const override {
        InputAttributes scalar{kCIAttributeTypeScalar, 0.0, 1.0, 0.0, 1.0, 0.0, 0.5};
        return {{"inputParam1", scalar}};
    }

  private:
    KernelPtr kernel_;
};

} // namespace

TEST_F(CoreImageKernel, SourceTextCompilesToTheRegisteredKernelsInOrder) {
    const std::vector<KernelPtr> kernels = Kernel::kernelsWithString(kSource);
    ASSERT_EQ(kernels.size(), 2u);
    EXPECT_EQ(kernels[0]->name(), "TestScale");
    EXPECT_EQ(kernels[1]->name(), "TestLeftShift");

    EXPECT_TRUE(
        Kernel::kernelsWithString("kernel vec4 TestScale(sampler s) {} kernel vec4 TestUnknown(sampler s) {}")
            .empty())
        << "one unknown name fails the whole text";
    EXPECT_TRUE(Kernel::kernelsWithString("vec4 helper(vec4 c) { return c; }").empty());
    EXPECT_TRUE(Kernel::kernelsWithString("").empty());

    EXPECT_FALSE(KernelRegistry::registerKernel("", scaleRow));
    EXPECT_FALSE(KernelRegistry::registerKernel("TestNull", nullptr));
}

TEST_F(CoreImageKernel, AppliedKernelReadsSamplersAndValues) {
    const KernelPtr scale = KernelRegistry::kernelNamed("TestScale");
    const ImagePtr img = image(2, 1, {200, 100, 50, 255, 10, 20, 30, 255});
    const ImagePtr halved = scale->apply(img->extent(), {img, 0.5});
    ASSERT_NE(halved, nullptr);
    EXPECT_EQ(pixels(halved, halved->extent(), kRGBA8Premultiplied),
              (Bytes{100, 50, 25, 128, 5, 10, 15, 128}));

    // The domain of definition bounds the output.
    EXPECT_EQ(scale->apply(Rect(1, 0, 1, 1), {img, 1.0})->extent(), Rect(1, 0, 1, 1));
    EXPECT_EQ(pixelAt(scale->apply(Rect(1, 0, 1, 1), {img, 1.0}), 0, 0), (Bytes{0, 0, 0, 0}));

    EXPECT_EQ(scale->apply(img->extent(), {ImagePtr(), 1.0}), nullptr);
    EXPECT_EQ(scale->apply(img->extent(), {img, Rect(0, 0, 1, 1)}), nullptr);

    // Destination coordinates are pixel centres.
    const ImagePtr ramp = KernelRegistry::kernelNamed("TestRamp")->apply(Rect(0, 0, 100, 1), {});
    EXPECT_EQ(pixelAt(ramp, 49, 0), (Bytes{126, 126, 126, 255}));
}

TEST_F(CoreImageKernel, MarginGrowsTheRegionSamplersAreRenderedOver) {
    // Wider than a tile, so some destination rows end where the next tile's pixels begin.
    const int w = 150, h = 3;
    const Bytes bytes = pattern(w, h);
    const ImagePtr img = image(w, h, bytes);
    const ImagePtr shifted = KernelRegistry::kernelNamed("TestLeftShift")->apply(img->extent(), {img});
    const Bytes got = pixels(shifted, shifted->extent());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x + 1 < w; ++x)
            for (int k = 0; k < 4; ++k)
                ASSERT_EQ(got[size_t(y * w + x) * 4 + size_t(k)],
                          bytes[size_t(y * w + x + 1) * 4 + size_t(k)])
                    << x;
}

TEST_F(CoreImageKernel, FilterExistsOnlyWhenItsResourceIsShipped) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("opalene-kernels-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "TestScaleFilter.cifilter") << kSource;

    EXPECT_FALSE(ResourceFilter::registerFilter("TestAbsentFilter", folder));
    EXPECT_EQ(Filter::filterWithName("TestAbsentFilter"), nullptr);

    ASSERT_TRUE(ResourceFilter::registerFilter("TestScaleFilter", folder));
    FilterPtr f = Filter::filterWithName("TestScaleFilter");
    ASSERT_NE(f, nullptr);
    const FilterAttributes a = f->attributes();
    EXPECT_EQ(a.displayName, "TestScaleFilter");
    EXPECT_EQ(a.categories.size(), 5u);
    EXPECT_EQ(a.inputs.at("inputParam1").maximum, 1.0);
    EXPECT_EQ(a.inputs.at("inputParam1").type, kCIAttributeTypeScalar);
    EXPECT_EQ(asNumber(f->value("inputParam1")), 0.5) << "defaults set on creation";

    f->setValue("inputImage", image(1, 1, {200, 100, 50, 255}));
    f->setValue("inputParam1", 1.0);
    EXPECT_EQ(pixelAt(f->outputImage(), 0, 0), (Bytes{200, 100, 50, 255}));
    std::filesystem::remove_all(folder);
}

TEST_F(CoreImageKernel, RegistryRefusesBuiltInAndEmptyNames) {
    const auto make = [](const std::string&) -> FilterPtr { return nullptr; };
    EXPECT_FALSE(FilterRegistry::registerFilterName("CICrop", make, {}));
    EXPECT_FALSE(FilterRegistry::registerFilterName("", make, {}));
    EXPECT_FALSE(FilterRegistry::registerFilterName("TestNoConstructor", nullptr, {}));
    ASSERT_TRUE(FilterRegistry::registerFilterName("TestNullFilter", make, {}));
    EXPECT_EQ(Filter::filterWithName("TestNullFilter"), nullptr);
}
