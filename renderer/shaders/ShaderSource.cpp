#include "renderer/shaders/ShaderSource.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>

namespace renderer {

namespace {

// GL takes a source's length as a GLint: the helpers and a function together must fit.
constexpr SizeLimit SHADER_FILE_LIMIT{(INT32_MAX - 16) / 2, "a shader file"};

// Why the folder keeps its files from being read, if it does.
std::optional<RuntimeError> folderProblem(const ResourceLocator& locator) {
    const std::filesystem::path folder = locator.root() / SHADER_DIRECTORY;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(folder, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return RuntimeError{"Cannot find the shader folder " + folder.string()};
    }
    std::string why;
    if (error) {
        why = error.message();
    } else if (!std::filesystem::is_directory(status)) {
        why = "it is not a folder";
    } else if (::access(folder.c_str(), R_OK | X_OK) != 0) {
        why = std::strerror(errno);
    }
    if (why.empty()) {
        return std::nullopt;
    }
    return RuntimeError{"Cannot read the shader folder " + folder.string() + ": " + why};
}

Result<std::string> readText(const ResourceLocator& locator, std::string_view name,
                             std::string_view type, const std::string& missing,
                             const std::string& unreadable) {
    if (std::optional<RuntimeError> problem = folderProblem(locator)) {
        return *problem;
    }
    FileRead file = readWholeFile(locator.locate(name, SHADER_DIRECTORY, type), SHADER_FILE_LIMIT);
    if (file.missing) {
        return RuntimeError{missing};
    }
    if (!file.problem.empty()) {
        return RuntimeError{unreadable + ": " + file.problem};
    }
    return std::string(file.bytes.begin(), file.bytes.end());
}

} // namespace

Result<std::string> readShaderFunction(const ResourceLocator& locator, std::string_view function) {
    const std::string name(function);
    return readText(locator, function, "glsl", "Cannot find shader function " + name,
                    "Cannot read shader function " + name);
}

Result<std::string> readSharedInclude(const ResourceLocator& locator) {
    const std::string name = std::string(SHADER_DIRECTORY) + "/" + std::string(COMMON);
    return readText(locator, COMMON, {}, "Cannot find the shared shader include " + name,
                    "Cannot read the shared shader include " + name);
}

std::string withCommon(const std::string& source, const std::string& common) {
    const std::size_t versionEnd = source.find('\n');
    if (common.empty() || !source.starts_with("#version") || versionEnd == std::string::npos) {
        return source;
    }
    std::string result = source.substr(0, versionEnd + 1);
    result += common;
    result += "\n#line 2\n";
    result += source.substr(versionEnd + 1);
    return result;
}

} // namespace renderer
