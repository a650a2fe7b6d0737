// The contact sheet: which shots it holds and where each picture lands.

#include <gtest/gtest.h>

#include <set>

#include "tools/kadrel-render/ContactSheet.h"

namespace kadrel_render {
namespace {

TEST(ContactSheetTest, HoldsEveryPathOfBothRoomsAtStartMiddleAndEndEachInItsOwnCell) {
    const std::vector<ContactShot> shots = contactSheetShots();
    ASSERT_EQ(shots.size(), (4U + 9U) * 3U);
    std::set<std::pair<int, int>> cells;
    std::set<std::tuple<int, int, double>> points;
    for (const ContactShot& shot : shots) {
        cells.emplace(shot.column, shot.row);
        points.emplace(shot.placement.room, shot.placement.path, shot.placement.progress);
        EXPECT_FALSE(shot.placement.reverse);
        EXPECT_EQ(shot.placement.progress, shot.column * 0.5);
    }
    EXPECT_EQ(cells.size(), shots.size());
    EXPECT_EQ(points.size(), shots.size());
    EXPECT_EQ(shots.front().label, "ROOM 1 PATH 0 START");
    EXPECT_EQ(shots.back().label, "ROOM 2 PATH 8 END");
    EXPECT_EQ(shots.back().row, 12);
}

TEST(ContactSheetTest, PicturesLandInTheirCellsWithALabelAndGapsStayDark) {
    const int cw = 40;
    const int ch = 30;
    const int gap = ContactSheet::GAP;
    ContactSheet sheet(cw, ch, 3, 2);
    const renderer::Image& image = sheet.image();
    ASSERT_EQ(image.width, 3 * cw + 4 * gap);
    ASSERT_EQ(image.height, 2 * ch + 3 * gap);

    // Red and green give the position, so that a shifted copy shows.
    renderer::Image picture{cw, ch, {}};
    for (int i = 0; i < cw * ch; ++i) {
        picture.rgba.insert(picture.rgba.end(), {static_cast<std::uint8_t>(i % cw),
                                                 static_cast<std::uint8_t>(i / cw), 200, 255});
    }
    sheet.place(2, 1, picture, "R");
    const int left = gap + 2 * (cw + gap);
    const int top = gap + (ch + gap);
    // The far corner of the cell, away from the label.
    const std::uint8_t* corner = image.pixel(left + cw - 1, top + ch - 1);
    EXPECT_EQ((std::tuple<int, int, int>(corner[0], corner[1], corner[2])),
              std::tuple(cw - 1, ch - 1, 200));
    // Just outside the cell, and another cell: the sheet's dark background.
    for (const auto& [x, y] :
         {std::pair{left - 1, top}, std::pair{left + cw, top}, std::pair{left, top - 1},
          std::pair{left, top + ch}, std::pair{gap + 5, gap + 5}}) {
        EXPECT_LT(image.pixel(x, y)[2], 50) << x << "," << y;
    }
    // The label: white strokes in the top-left corner of the cell.
    int white = 0;
    for (int y = top; y < top + 12; ++y) {
        for (int x = left; x < left + 12; ++x) {
            white += image.pixel(x, y)[0] == 255 && image.pixel(x, y)[2] == 255;
        }
    }
    EXPECT_GT(white, 5);
}

} // namespace
} // namespace kadrel_render
