#include "tools/kadrel-render/ContactSheet.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "tools/kadrel-render/LabelFont.h"

namespace kadrel_render {

namespace {

constexpr std::uint8_t BACKGROUND = 24;

struct Point {
    double progress;
    const char* name;
};
constexpr std::array<Point, ContactSheet::COLUMNS> POINTS{
    {{0.0, "START"}, {0.5, "MIDDLE"}, {1.0, "END"}}};

} // namespace

std::vector<ContactShot> contactSheetShots() {
    std::vector<ContactShot> shots;
    int row = 0;
    for (int room = 1; room <= 2; ++room) {
        for (int path = 0; path < static_cast<int>(pathCount(room)); ++path, ++row) {
            for (int column = 0; column < ContactSheet::COLUMNS; ++column) {
                const Point& point = POINTS[static_cast<std::size_t>(column)];
                ContactShot shot;
                shot.placement = CameraPlacement{room, path, point.progress, false};
                shot.label = "ROOM " + std::to_string(room) + " PATH " + std::to_string(path) +
                             " " + point.name;
                shot.column = column;
                shot.row = row;
                shots.push_back(std::move(shot));
            }
        }
    }
    return shots;
}

ContactSheet::ContactSheet(int cellWidth, int cellHeight, int columns, int rows)
    : cellWidth_(cellWidth), cellHeight_(cellHeight) {
    image_.width = columns * cellWidth + (columns + 1) * GAP;
    image_.height = rows * cellHeight + (rows + 1) * GAP;
    image_.rgba.assign(static_cast<std::size_t>(image_.width) *
                           static_cast<std::size_t>(image_.height) * 4,
                       BACKGROUND);
    for (std::size_t alpha = 3; alpha < image_.rgba.size(); alpha += 4) {
        image_.rgba[alpha] = 255;
    }
}

void ContactSheet::place(int column, int row, const renderer::Image& picture,
                         std::string_view label) {
    const int left = GAP + column * (cellWidth_ + GAP);
    const int top = GAP + row * (cellHeight_ + GAP);
    if (left < 0 || top < 0 || left + cellWidth_ > image_.width ||
        top + cellHeight_ > image_.height) {
        return;
    }
    const int width = std::min(cellWidth_, picture.width);
    const int height = std::min(cellHeight_, picture.height);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* source = picture.pixel(0, y);
        std::uint8_t* target = image_.rgba.data() + (static_cast<std::size_t>(top + y) *
                                                         static_cast<std::size_t>(image_.width) +
                                                     static_cast<std::size_t>(left)) *
                                                        4;
        std::memcpy(target, source, static_cast<std::size_t>(width) * 4);
    }
    // Readable on small cells, not shouting on large ones.
    const int scale = std::max(1, cellHeight_ / 120);
    stampLabel(image_, left + 2 * scale, top + 2 * scale, label, scale);
}

} // namespace kadrel_render
