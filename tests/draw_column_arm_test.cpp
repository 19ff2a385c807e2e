// ARM builds only: the hand-written column loop (render/draw_column_arm.s)
// against the C++ loop that defines it, column by column, for every heading
// at both detail levels, over the built-in landscape and over one with
// towers of height 255 that end columns early.
#include <gtest/gtest.h>

#include <vector>

#include "render/column.h"
#include "render/frame.h"
#include "render/near_rows.h"
#include "render/rays.h"
#include "startup_tables.h"

namespace {

TEST(DrawColumnArm, MatchesComposeColumnForEveryHeadingAtBothLevels)
{
    constexpr int pitch = 324;
    buildStartUpTables();
    std::vector<std::uint8_t> towers(HeightMap, HeightMap + mapCells);
    for (int cell = 0; cell < mapCells; cell += 7)
        towers[cell] = 255;
    for (const std::uint8_t* heights : {HeightMap, static_cast<const std::uint8_t*>(towers.data())}) {
        useLandscape(heights, ColorMap);
        for (int level = 0; level < 2; ++level) {
            if (level == 0)
                selectHighDetail();
            else
                selectLowDetail();
            for (int h = 0; h < 360; ++h) {
                faceHeading(h);
                posX = 100.0 + 3.7 * h;
                posY = -50.0 + 1.3 * h;
                move(forwardStep);
                buildRays();
                findFirstSamples();
                castRays();
                const int base = (mapY * 256 + mapX) & (mapCells - 1);
                const ColumnSource source = {heightTable + base, colorTable + base, pitch};
                std::vector<std::uint8_t> arm(viewRows * pitch + pitch, 0x55), cpp = arm;
                for (int c = 0; c < screenColumns; ++c) {
                    const int first = firstSample[c / columnGroup];
                    const std::uint16_t* offsets = rayOffset + c * tableRows + first;
                    const std::int32_t* scales = nearScale + first;
                    const std::int32_t top = drawColumn(offsets, scales, arm.data() + viewRows * pitch + c, &source);
                    ASSERT_EQ(top, composeColumn(offsets, scales, cpp.data() + viewRows * pitch + c, &source))
                        << "heading " << h << " level " << level << " column " << c;
                }
                ASSERT_EQ(arm, cpp) << "heading " << h << " level " << level;
            }
        }
    }
    useLandscape(HeightMap, ColorMap);
}

}  // namespace
