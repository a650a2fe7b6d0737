// libFuzzer target: the shader library's files as they come from disk, read through the
// resources folder and put together with the shared helpers.
//
// Input: byte 0 says what lies on disk (bit 0: the function's file, bit 1: that as a folder
// instead, bit 2: Common.glsl, bit 3: that as a folder, bit 4: "shaders" as a file rather
// than a folder). The rest is the function's name, its source and the helpers, separated
// by NUL bytes.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "renderer/shaders/ShaderSource.h"

namespace {

namespace fs = std::filesystem;
using namespace renderer;

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

bool writeFile(const fs::path& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail();
}

// A resources folder of this process, with a file beside the shader folder that no name may
// reach; removed when the fuzzer exits.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "kadrel-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path_ = pattern;
        writeFile(path_ / "secret.glsl", "outside the shader folder");
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

const fs::path& root() {
    static const TempFolder folder;
    return folder.path();
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string_view next(std::string_view& rest) {
    const std::size_t end = std::min(rest.find('\0'), rest.size());
    const std::string_view part = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    return part;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::uint8_t layout = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string name(next(rest));
    const std::string source(next(rest));
    const std::string common(rest);

    const fs::path folder = root() / "shaders";
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    const ResourceLocator locator(root());
    const fs::path function = locator.locate(name, SHADER_DIRECTORY, "glsl").lexically_normal();
    // "./Common" and its kin name the helpers' file.
    const bool namesCommon = function == (folder / "Common.glsl").lexically_normal();
    bool wroteFunction = false;
    if ((layout & 16) != 0) {
        writeFile(folder, "a file where the folder should be");
    } else {
        fs::create_directory(folder);
        // Only names that stay directly in the folder are written; the rest must not be found.
        if ((layout & 1) != 0 && !function.empty() && function.parent_path() == folder &&
            !namesCommon) {
            if ((layout & 2) != 0) {
                fs::create_directory(function, ignored);
            } else {
                wroteFunction = writeFile(function, source); // a name may be too long
            }
        }
        if ((layout & 4) != 0) {
            if ((layout & 8) != 0) {
                fs::create_directory(folder / "Common.glsl");
            } else {
                writeFile(folder / "Common.glsl", common);
            }
        }
    }

    const Result<std::string> read = readShaderFunction(locator, name);
    if (read) {
        // Only what was written into the folder comes back: the function, or the helpers
        // when the name is theirs.
        require(read.value() == source || read.value() == common);
        require(wroteFunction || namesCommon);
    } else {
        const std::string& message = read.error().message;
        require(startsWith(message, "Cannot find shader function ") ||
                startsWith(message, "Cannot read shader function ") ||
                startsWith(message, "Cannot find the shader folder ") ||
                startsWith(message, "Cannot read the shader folder "));
        require(!wroteFunction);
    }

    const Result<std::string> helpers = readSharedInclude(locator);
    require(!helpers || helpers.value() == common);

    // The helpers go in after the first line of a versioned source and nowhere else.
    const std::string joined = withCommon(source, common);
    const std::size_t firstLine = source.find('\n');
    if (!common.empty() && startsWith(source, "#version") && firstLine != std::string::npos) {
        require(joined == source.substr(0, firstLine + 1) + common + "\n#line 2\n" +
                              source.substr(firstLine + 1));
    } else {
        require(joined == source);
    }
    return 0;
}
