// The contact sheet: which shots it holds and where each picture lands.

#include <gtest/gtest.h>

#include <set>

#include "tools/kadrel-render/ContactSheet.h"

namespace kadrel_render {
namespace {

TEST(ContactSheetTest, HoldsEveryPathOfBothRoomsAtStartMiddleAndEnd) {
    const std::vector<ContactShot> shots = contactSheetShots();
    ASSERT_EQ(shots.size(), (4U + 9U) * 3U);
    std::set<std::pair<int, int>> cells;
    std::set<std::tuple<int, int, double>> points;
    for (const ContactShot& shot : shots) {
        cells.emplace(shot.column, shot.row);
        points.emplace(shot.placement.room, shot.placement.path, shot.placement.progress);
        EXPECT_FALSE(shot.placement.reverse);
        EXPECT_EQ(shot.column, shot.placement.progress == 0.0   ? 0
                               : shot.placement.progress == 0.5 ? 1
                                                                : 2);
    }
    EXPECT_EQ(cells.size(), shots.size()); // no two shots share a cell
    EXPECT_EQ(points.size(), shots.size());
    EXPECT_EQ(shots.front().label, "ROOM 1 PATH 0 START");
    EXPECT_EQ(shots.back().label, "ROOM 2 PATH 8 END");
    EXPECT_EQ(shots.back().row, 12);
}

TEST(ContactSheetTest, PicturesLandInTheirCellsWithALabelAndGapsStayDark) {
    const int cw = 40;
    const int ch = 30;
    ContactSheet sheet(cw, ch, 3, 2);
    const renderer::Image& image = sheet.image();
    ASSERT_EQ(image.width, 3 * cw + 4 * ContactSheet::GAP);
    ASSERT_EQ(image.height, 2 * ch + 3 * ContactSheet::GAP);

    renderer::Image picture{cw, ch, std::vector<std::uint8_t>(cw * ch * 4, 0)};
    for (int y = 0; y < ch; ++y) {
        for (int x = 0; x < cw; ++x) {
            std::uint8_t* p = picture.rgba.data() + (y * cw + x) * 4;
            p[0] = static_cast<std::uint8_t>(x); // position, so a shifted copy shows
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = 200;
            p[3] = 255;
        }
    }
    sheet.place(2, 1, picture, "R");
    const int left = ContactSheet::GAP + 2 * (cw + ContactSheet::GAP);
    const int top = ContactSheet::GAP + (ch + ContactSheet::GAP);
    // The far corner of the cell, away from the label.
    const std::uint8_t* last = image.pixel(left + cw - 1, top + ch - 1);
    EXPECT_EQ(last[0], cw - 1);
    EXPECT_EQ(last[1], ch - 1);
    EXPECT_EQ(last[2], 200);
    // Just outside the cell on every side: the sheet's dark background.
    for (const auto& [x, y] : {std::pair{left - 1, top}, std::pair{left + cw, top},
                               std::pair{left, top - 1}, std::pair{left, top + ch}}) {
        if (x < image.width && y < image.height) {
            EXPECT_LT(image.pixel(x, y)[2], 50) << x << "," << y;
        }
    }
    // The label: white strokes on a black box in the top-left corner of the cell.
    int white = 0;
    for (int y = top; y < top + 12; ++y) {
        for (int x = left; x < left + 12; ++x) {
            white += image.pixel(x, y)[0] == 255 && image.pixel(x, y)[2] == 255;
        }
    }
    EXPECT_GT(white, 5);
    // Another cell was left alone.
    EXPECT_LT(image.pixel(ContactSheet::GAP + 5, ContactSheet::GAP + 5)[2], 50);
}

} // namespace
} // namespace kadrel_render
