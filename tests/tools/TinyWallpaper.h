#pragma once

// A resources folder with everything the wallpaper loads, made small: the renderer tests'
// stand-ins (the project's shaders, a vignette, each room mesh a box around every camera
// path, ASTC textures of the sizes and mip chains the scene asks for), with room 1 red and
// room 2 blue so that frames tell the rooms apart.

#include <filesystem>
#include <string>

#include "tests/renderer/RenderTestSupport.h"

namespace tooltest {

class TinyWallpaper {
  public:
    TinyWallpaper() {
        rendertest::writeWallpaperStandIns(resources_);
        rendertest::writeChain(resources_, "room1", 12, 0.8F, 0.2F, 0.1F);
        rendertest::writeChain(resources_, "room20", 13, 0.1F, 0.2F, 0.8F);
    }

    const std::filesystem::path& root() const { return resources_.root(); }
    void remove(const std::string& relative) const {
        std::filesystem::remove(resources_.root() / relative);
    }

  private:
    rendertest::TestResources resources_;
};

} // namespace tooltest
