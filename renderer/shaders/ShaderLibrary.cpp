#include "renderer/shaders/ShaderLibrary.h"

#include <charconv>
#include <string>
#include <vector>

#include "renderer/Fatal.h"
#include "renderer/shaders/ShaderSource.h"

namespace renderer {

namespace {

std::string infoLog(GLuint object, bool isProgram) {
    GLint length = 0;
    if (isProgram) {
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    } else {
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    }
    std::string log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    GLsizei written = 0;
    if (isProgram) {
        glGetProgramInfoLog(object, length, &written, log.data());
    } else {
        glGetShaderInfoLog(object, length, &written, log.data());
    }
    log.resize(static_cast<std::size_t>(written));
    while (!log.empty() && (log.back() == '\n' || log.back() == ' ')) {
        log.pop_back();
    }
    return log.empty() ? std::string("no log") : log;
}

// "VertexBuffer3" → 3 when name starts with prefix and the rest is a small number.
bool slotOf(std::string_view name, std::string_view prefix, unsigned& slot) {
    if (!name.starts_with(prefix) || name.size() == prefix.size()) {
        return false;
    }
    const char* first = name.data() + prefix.size();
    const char* last = name.data() + name.size();
    const auto [end, error] = std::from_chars(first, last, slot);
    return error == std::errc{} && end == last && slot < gl::SLOTS_PER_STAGE;
}

} // namespace

ShaderLibrary::ShaderLibrary(const ResourceLocator& locator, gl::State& state)
    : locator_(locator), state_(state) {}

const std::string& ShaderLibrary::common() {
    if (!common_) {
        // Read on first use rather than when made: a renderer makes its library before it
        // checks the resources folder, whose absence is the better message.
        Result<std::string> read = readSharedInclude(locator_);
        if (!read) {
            fatal(read.error().message);
        }
        common_ = std::move(read).value();
    }
    return *common_;
}

gl::ShaderStage ShaderLibrary::compile(const std::string& function, GLenum stage) {
    const std::string& helpers = common();
    Result<std::string> file = readShaderFunction(locator_, function);
    if (!file) {
        fatal(file.error().message);
    }
    const std::string source = withCommon(file.value(), helpers);
    gl::ShaderStage shader = gl::ShaderStage::create(stage);
    const char* text = source.c_str();
    const auto length = static_cast<GLint>(source.size());
    glShaderSource(shader.id(), 1, &text, &length);
    glCompileShader(shader.id());
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader.id(), GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        fatal("Cannot compile shader function " + function + ": ", infoLog(shader.id(), false));
    }
    gl::label(GL_SHADER, shader.id(), function.c_str());
    return shader;
}

ShaderFunctions ShaderLibrary::functions(std::string_view name) {
    auto it = entries_.find(name);
    if (it == entries_.end()) {
        Entry entry;
        entry.vertex = compile("vertexShader" + std::string(name), GL_VERTEX_SHADER);
        entry.fragment = compile("fragmentShader" + std::string(name), GL_FRAGMENT_SHADER);
        entry.program = gl::Program::create();
        glAttachShader(entry.program.id(), entry.vertex.id());
        glAttachShader(entry.program.id(), entry.fragment.id());
        glLinkProgram(entry.program.id());
        GLint linked = GL_FALSE;
        glGetProgramiv(entry.program.id(), GL_LINK_STATUS, &linked);
        if (linked != GL_TRUE) {
            fatal("Cannot create render pipeline state: ", infoLog(entry.program.id(), true));
        }
        bindInterface(entry.program.id(), name);
        gl::label(GL_PROGRAM, entry.program.id(), std::string(name).c_str());
        it = entries_.emplace(std::string(name), std::move(entry)).first;
    }
    const Entry& e = it->second;
    return ShaderFunctions{std::string(name), e.vertex.id(), e.fragment.id(), e.program.id(), {}};
}

void ShaderLibrary::bindInterface(GLuint program, std::string_view name) {
    GLint blocks = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORM_BLOCKS, &blocks);
    for (GLint i = 0; i < blocks; ++i) {
        char buffer[64] = {};
        GLsizei length = 0;
        glGetActiveUniformBlockName(program, static_cast<GLuint>(i), sizeof buffer, &length,
                                    buffer);
        const std::string_view block(buffer, static_cast<std::size_t>(length));
        unsigned slot = 0;
        GLuint binding = 0;
        if (slotOf(block, "VertexBuffer", slot) && slot > 0) {
            binding = slot;
        } else if (slotOf(block, "FragmentBuffer", slot)) {
            binding = gl::FIRST_FRAGMENT_BUFFER_BINDING + slot;
        } else {
            fatal("Cannot create render pipeline state: unknown uniform block " +
                      std::string(block) + " in shader ",
                  name);
        }
        glUniformBlockBinding(program, static_cast<GLuint>(i), binding);
    }
    state_.useProgram(program);
    for (unsigned slot = 0; slot < gl::SLOTS_PER_STAGE; ++slot) {
        const std::string suffix = std::to_string(slot);
        const GLint fragment = glGetUniformLocation(program, ("fragmentTexture" + suffix).c_str());
        if (fragment >= 0) {
            glUniform1i(fragment, static_cast<GLint>(slot));
        }
        const GLint vertex = glGetUniformLocation(program, ("vertexTexture" + suffix).c_str());
        if (vertex >= 0) {
            glUniform1i(vertex, static_cast<GLint>(gl::FIRST_VERTEX_TEXTURE_UNIT + slot));
        }
    }
}

} // namespace renderer
