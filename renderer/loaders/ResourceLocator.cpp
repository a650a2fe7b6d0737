#include "renderer/loaders/ResourceLocator.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <system_error>

namespace renderer {

namespace {

// A lookup may only descend from the root: no absolute paths, no "..", no NUL bytes.
bool staysInsideRoot(std::string_view relative) {
    if (!relative.empty() && relative.front() == '/') {
        return false;
    }
    if (relative.find('\0') != std::string_view::npos) {
        return false;
    }
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string_view::npos) {
            end = relative.size();
        }
        if (relative.substr(start, end - start) == "..") {
            return false;
        }
        start = end + 1;
    }
    return true;
}

std::string outOfMemory(std::uintmax_t size) {
    return size == 0 ? std::string("not enough memory to hold it")
                     : "not enough memory for its " + std::to_string(size) + " bytes";
}

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};

} // namespace

ResourceLocator::ResourceLocator(std::filesystem::path root) : root_(std::move(root)) {}

std::filesystem::path ResourceLocator::defaultRoot() {
    if (const char* fromEnvironment = std::getenv("KADREL_RESOURCES")) {
        if (*fromEnvironment != '\0') {
            return fromEnvironment;
        }
    }
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path folder =
        error ? std::filesystem::current_path(error) : executable.parent_path();
    const std::filesystem::path beside = folder / "resources";
    if (std::filesystem::is_directory(beside, error)) {
        return beside;
    }
    const std::filesystem::path installed = folder.parent_path() / "share" / "kadrel" / "resources";
    if (std::filesystem::is_directory(installed, error)) {
        return installed;
    }
    return beside;
}

std::filesystem::path ResourceLocator::locate(std::string_view name, std::string_view directory,
                                              std::string_view type) const {
    if (name.empty() || !staysInsideRoot(name) || !staysInsideRoot(directory) ||
        !staysInsideRoot(type) || type.find('/') != std::string_view::npos) {
        return {};
    }
    std::string file(name);
    if (!type.empty()) {
        file += '.';
        file += type;
    }
    std::filesystem::path path = root_;
    if (!directory.empty()) {
        path /= std::filesystem::path(directory);
    }
    return path / std::filesystem::path(file);
}

bool ResourceLocator::contains(std::string_view name, std::string_view directory,
                               std::string_view type) const {
    const std::filesystem::path path = locate(name, directory, type);
    std::error_code error;
    return !path.empty() && std::filesystem::exists(path, error);
}

namespace {

using File = std::unique_ptr<std::FILE, FileCloser>;

// Opens the plain file at `path`, or says in `result` why not.
File openPlainFile(const std::filesystem::path& path, FileRead& result) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (path.empty() || status.type() == std::filesystem::file_type::not_found) {
        result.missing = true;
        return nullptr;
    }
    if (error) {
        result.problem = error.message(); // a folder on the way that may not be searched
        return nullptr;
    }
    // Only plain files: a directory, a pipe or a device has no fixed content to read whole.
    if (std::filesystem::is_directory(status)) {
        result.problem = "it is a folder";
        return nullptr;
    }
    if (!std::filesystem::is_regular_file(status)) {
        result.problem = "it is not a plain file";
        return nullptr;
    }
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        result.problem = std::strerror(errno);
    }
    return file;
}

Result<Bytes> lookupResult(FileRead file, std::string_view name) {
    if (file.missing) {
        return RuntimeError{"File not found in bundle: " + std::string(name)};
    }
    if (!file.problem.empty()) {
        return RuntimeError{"Cannot read resource " + std::string(name) + ": " + file.problem};
    }
    return std::move(file.bytes);
}

} // namespace

FileRead readWholeFile(const std::filesystem::path& path, SizeLimit limit) {
    FileRead result;
    const File file = openPlainFile(path, result);
    if (!file) {
        return result;
    }
    std::error_code error;
    const auto tooLarge = [&](std::uintmax_t size) {
        result.bytes = Bytes();
        result.problem = std::to_string(size) + " bytes are more than the " +
                         std::to_string(limit.bytes) + " " + std::string(limit.kind) + " can hold";
        return result;
    };
    const std::uintmax_t expected = std::filesystem::file_size(path, error);
    const bool sizeKnown = !error;
    if (sizeKnown && expected > limit.bytes) {
        return tooLarge(expected);
    }
    try {
        if (sizeKnown) {
            result.bytes.reserve(static_cast<std::size_t>(expected));
        }
        // Read to the end rather than trusting the size seen above: the file may change
        // meanwhile.
        std::uint8_t chunk[64 * 1024];
        while (true) {
            const std::size_t count = std::fread(chunk, 1, sizeof chunk, file.get());
            if (count > limit.bytes - result.bytes.size()) {
                return tooLarge(result.bytes.size() + count);
            }
            result.bytes.insert(result.bytes.end(), chunk, chunk + count);
            if (count < sizeof chunk) {
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        result.problem = outOfMemory(sizeKnown ? expected : 0);
    } catch (const std::length_error&) {
        result.problem = outOfMemory(sizeKnown ? expected : 0);
    }
    if (result.problem.empty() && std::ferror(file.get())) {
        result.problem = std::strerror(errno);
    }
    if (!result.problem.empty()) {
        result.bytes = Bytes();
    }
    return result;
}

Result<Bytes> ResourceLocator::read(std::string_view name, std::string_view directory,
                                    std::string_view type, SizeLimit limit) const {
    return lookupResult(readWholeFile(locate(name, directory, type), limit), name);
}

Result<ResourceLocator::Head> ResourceLocator::readHead(std::string_view name,
                                                        std::string_view directory,
                                                        std::string_view type,
                                                        std::size_t count) const {
    FileRead read;
    Head head;
    const std::filesystem::path path = locate(name, directory, type);
    if (const File file = openPlainFile(path, read)) {
        std::error_code error;
        head.size = std::filesystem::file_size(path, error);
        if (error) {
            read.problem = error.message();
        } else {
            read.bytes.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(count, head.size)));
            read.bytes.resize(std::fread(read.bytes.data(), 1, read.bytes.size(), file.get()));
            if (std::ferror(file.get())) {
                read.problem = std::strerror(errno);
            }
        }
    }
    Result<Bytes> bytes = lookupResult(std::move(read), name);
    if (!bytes) {
        return bytes.error();
    }
    head.bytes = std::move(bytes).value();
    return head;
}

std::string joinResourcePath(std::string_view first, std::string_view second) {
    if (first.empty()) {
        return std::string(second);
    }
    if (second.empty()) {
        return std::string(first);
    }
    std::string joined(first);
    if (joined.back() != '/') {
        joined += '/';
    }
    joined += second;
    return joined;
}

} // namespace renderer
