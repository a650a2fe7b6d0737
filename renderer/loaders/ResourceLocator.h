#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "renderer/RuntimeError.h"

namespace renderer {

using Bytes = std::vector<std::uint8_t>;

// Finds and reads the files shipped beside the program. Every lookup is relative to one
// resources root; names and directories that would leave it are treated as absent.
class ResourceLocator {
  public:
    explicit ResourceLocator(std::filesystem::path root);

    // The resources folder of this installation: $KADREL_RESOURCES when set, otherwise
    // "resources" beside the executable, otherwise the installed data directory
    // (<prefix>/share/kadrel/resources next to <prefix>/bin).
    static std::filesystem::path defaultRoot();

    const std::filesystem::path& root() const noexcept { return root_; }

    // Reads resource `name` (a relative path that carries its own extension) from `directory`
    // (relative to the root; empty for the root itself). With a non-empty `type`, the file is
    // `name` + "." + `type`; messages still name `name` alone, as a bundle lookup does.
    // Errors: "File not found in bundle: " + name, "Cannot read resource " + name.
    // An empty file gives an empty buffer and no error.
    Result<Bytes> read(std::string_view name, std::string_view directory,
                       std::string_view type = {}) const;

    // Whether the lookup would find the resource (readable or not).
    bool contains(std::string_view name, std::string_view directory,
                  std::string_view type = {}) const;

    // The file a lookup would read, or an empty path when the name or directory is rejected.
    std::filesystem::path locate(std::string_view name, std::string_view directory,
                                 std::string_view type = {}) const;

  private:
    std::filesystem::path root_;
};

// "a" + "/" + "b", leaving out empty parts: joinResourcePath("", "textures") is "textures".
std::string joinResourcePath(std::string_view first, std::string_view second);

} // namespace renderer
