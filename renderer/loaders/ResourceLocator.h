#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "renderer/RuntimeError.h"

namespace renderer {

using Bytes = std::vector<std::uint8_t>;

// The most a read may return, and what the caller calls the file in the message that refuses
// a larger one ("a model's vertex file").
struct SizeLimit {
    std::uintmax_t bytes = UINTMAX_MAX;
    std::string_view kind;
};

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
    // Errors: "File not found in bundle: " + name when nothing is there; otherwise
    // "Cannot read resource " + name + ": " + why (the system's reason, a folder or other
    // thing that is no plain file, a file over `limit`, no memory for its bytes).
    // An empty file gives an empty buffer and no error.
    Result<Bytes> read(std::string_view name, std::string_view directory,
                       std::string_view type = {}, SizeLimit limit = {}) const;

    // The first `count` bytes of the resource (all of it when shorter) and its length, with
    // read()'s lookup and errors: enough to check a header against the file's size.
    struct Head {
        Bytes bytes;
        std::uintmax_t size = 0;
    };
    Result<Head> readHead(std::string_view name, std::string_view directory, std::string_view type,
                          std::size_t count) const;

    // Whether the lookup would find the resource (readable or not).
    bool contains(std::string_view name, std::string_view directory,
                  std::string_view type = {}) const;

    // The file a lookup would read, or an empty path when the name or directory is rejected.
    std::filesystem::path locate(std::string_view name, std::string_view directory,
                                 std::string_view type = {}) const;

  private:
    std::filesystem::path root_;
};

// A whole file as read, or why not: nothing at the path (missing), or a reason it cannot be
// read (problem: the system's words, "it is a folder", a size over the limit, no memory).
struct FileRead {
    Bytes bytes;
    bool missing = false;
    std::string problem;

    bool ok() const noexcept { return !missing && problem.empty(); }
};

// Reads the plain file at `path` (empty: missing) to its end, refusing one over `limit`.
FileRead readWholeFile(const std::filesystem::path& path, SizeLimit limit = {});

// "a" + "/" + "b", leaving out empty parts: joinResourcePath("", "textures") is "textures".
std::string joinResourcePath(std::string_view first, std::string_view second);

} // namespace renderer
