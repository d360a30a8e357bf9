// Mosaic and pixelate looks: cells of the top-left pixel's colour, sized from the longer side, and
// the darkened cell borders of "Mosaic 1", against their formulas at full size and in preview.
#include "engine/effects/painterly/PP_Mosaic1.h"

#include "engine/effects/ExpectedImageRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

namespace {

TEST(PP_Mosaic1, PixelateFillsEachCellWithItsTopLeftPixel) {
    struct Case {
        int type;
        double pixelization;
        int w, h, cell;
    };
    const Case cases[] = {
        {1, 10, 40, 30, 4},   // 40 / 10
        {2, 11, 30, 40, 3},   // 40 / 11, truncated
        {3, 10.9, 23, 17, 2}, // the value truncated to 10, 23 / 10
        {2, 300, 40, 30, 1},  // 40 / 300 is 0: cells of one pixel
        {4, 10, 40, 30, 10},  // other types: the value is the cell size
        {-2, 7.5, 40, 30, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type) + " at " + std::to_string(c.pixelization));
        PP_Mosaic1 effect;
        effect.set_type(c.type);
        effect.param_1()->setValue(c.pixelization);
        const graphics::ImagePtr image = makeSourceImage(c.w, c.h, patternColour);
        expectImage(effect, image,
                    [&](int x, int y) { return patternColour(x - x % c.cell, y - y % c.cell); });
    }
}

// The default of "Pixelate" on a 4000-pixel side gives cells of 20.
TEST(PP_Mosaic1, PixelateAtItsDefaultCutsTheLongerSideIntoTwoHundredCells) {
    PP_Mosaic1 effect;
    effect.set_type(2);
    const graphics::ImagePtr image = makeSourceImage(4000, 2, patternColour);
    // Both rows lie in the first row of cells.
    expectImage(effect, image, [](int x, int) { return patternColour(x - x % 20, 0); }, {0});
}

// Grey of a cell corner as the edge weighs it.
float grey(int x, int y) {
    const Rgb c = sourceRgb(x, y);
    return float(int(c.r) + c.g + c.b) * (1.0f / 255.0f) * 0.33333334f;
}

// The formula: the eight neighbours of (x, y), offset from the base point x / c x c (single
// precision), each read at its cell's corner; none may lie outside.
float mosaicEdge(int x, int y, int c) {
    const float fx = float(x) / float(c) * float(c), fy = float(y) / float(c) * float(c);
    const int offsets[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    float k[8];
    for (int i = 0; i < 8; ++i) {
        const float px = float(offsets[i][0]) + fx, py = float(offsets[i][1]) + fy;
        const int sx = int(std::trunc(px)), sy = int(std::trunc(py));
        if (px <= -1.0f || py <= -1.0f || sx >= PostProcess::g_width || sy >= PostProcess::g_height)
            return 0.0f;
        k[i] = grey(sx - sx % c, sy - sy % c);
    }
    const float gx = (2 * k[4] + k[2] + k[7]) - (2 * k[3] + k[0] + k[5]);
    const float gy = (2 * k[6] + k[5] + k[7]) - (2 * k[1] + k[0] + k[2]);
    return std::min(1.0f, std::sqrt(gx * gx + gy * gy));
}

TEST(PP_Mosaic1, MosaicDarkensCellBordersByTheEdgeBetweenCells) {
    // Cells of 3 (not a power of two, so x / 3 x 3 rounds) and 4; the sizes leave a partial cell.
    for (auto [w, pixelization, size] : {std::tuple{31, 10.0, 3}, std::tuple{32, 8.0, 4}}) {
        const int cell = size;
        SCOPED_TRACE(cell);
        PP_Mosaic1 effect;
        effect.param_1()->setValue(pixelization);
        const graphics::ImagePtr image = makeSourceImage(w, 19, [](int x, int y) {
            return Rgb{uint8_t((x * 53 + y * 31) % 256), uint8_t((x * y * 7) % 256), uint8_t(y * 13)};
        });
        expectImage(effect, image, [&](int x, int y) {
            const Rgb s = sourceRgb(x - x % cell, y - y % cell);
            const float e = mosaicEdge(x, y, cell);
            const float k = 1.0f / 255.0f;
            return storedPixel({float(s.r) * k - e, float(s.g) * k - e, float(s.b) * k - e});
        });
    }
}

// Two cells side by side, dark and light: the columns either side of the border darken; inside
// a cell and along the image's edges nothing does.
TEST(PP_Mosaic1, MosaicLeavesCellInsidesAndTheImageEdgeAlone) {
    PP_Mosaic1 effect;
    effect.param_1()->setValue(2.0); // cells of 4 on 8 x 4
    const Rgb dark{40, 40, 40}, light{200, 200, 200};
    const graphics::ImagePtr image = makeSourceImage(8, 4, [&](int x, int) { return x < 4 ? dark : light; });
    PostProcess::global_clean();
    WorkingImageGuard guard;
    const EffectOutput out = runEffect(effect, image);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            const bool border = (x == 3 || x == 4) && y > 0 && y < 3;
            if (border)
                EXPECT_EQ(out.at(x, y), (Rgb{0, 0, 0}));
            else
                EXPECT_EQ(out.at(x, y), x < 4 ? dark : light);
        }
}

} // namespace
