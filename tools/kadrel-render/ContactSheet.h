#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "renderer/headless/Image.h"
#include "tools/kadrel-render/CameraPlacement.h"

namespace kadrel_render {

// One picture of the contact sheet: where the camera is and what the label says.
struct ContactShot {
    CameraPlacement placement;
    std::string label; // "ROOM 1 PATH 0 START"
    int column = 0;
    int row = 0;
};

// Every path of both rooms at its start, middle and end (progress 0, 0.5 and 1, travelling
// forwards): one row per path, room 1 first, and one column per point.
std::vector<ContactShot> contactSheetShots();

// The sheet itself: cells of one size in a grid, a thin dark gap between them.
class ContactSheet {
  public:
    static constexpr int GAP = 4;
    static constexpr int COLUMNS = 3;

    ContactSheet(int cellWidth, int cellHeight, int columns, int rows);

    // Copies a rendered picture into its cell and labels it in the top-left corner. A
    // picture of another size than the cells is cropped or leaves the rest of the cell dark.
    void place(int column, int row, const renderer::Image& picture, std::string_view label);

    const renderer::Image& image() const noexcept { return image_; }

  private:
    int cellWidth_;
    int cellHeight_;
    renderer::Image image_;
};

} // namespace kadrel_render
