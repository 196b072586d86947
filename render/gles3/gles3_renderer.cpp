#include "render/gles3/gles3_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "render/cell_walk.h"
#include "render/gles3/gles3_picture.h"
#include "render/light_rig.h"

namespace orvex {

namespace {

// The cells: position on the plane and colour (the material when lit) per
// vertex. LIGHTING (true or false) is defined after the version line, so
// that an unlit scene's shader holds no lighting at all: a software
// rasteriser runs every branch of a shader for every vertex.
const char* const kVertexSource = R"(#version 300 es
precision highp float;
layout(location = 0) in vec2 a_position;
layout(location = 1) in vec3 a_colour;
uniform mat4 u_mvp;
uniform mat4 u_modelview;
uniform vec2 u_point_shift;  // window pixels
uniform vec2 u_pixel;        // 2 / viewport size
uniform bool u_light_on[4];
uniform vec4 u_light_position[4];
uniform vec3 u_light_ambient[4];
uniform vec3 u_light_diffuse[4];
uniform vec3 u_light_specular[4];
uniform vec3 u_spot_direction[4];   // unit length
uniform float u_spot_exponent[4];
uniform float u_spot_cos_cutoff[4]; // below -1: no cone
uniform vec3 u_attenuation[4];      // constant, linear, quadratic
uniform vec3 u_scene_ambient;
uniform vec3 u_specular;
uniform float u_shininess;
out vec3 v_colour;
out vec2 v_texcoord;

void main() {
    vec4 v = vec4(a_position, 0.0, 1.0);
    gl_Position = u_mvp * v;
    gl_Position.xy += u_point_shift * u_pixel * gl_Position.w;
    gl_PointSize = 1.0;
    v_texcoord = a_position;
    if (!LIGHTING) {
        v_colour = a_colour;
        return;
    }
    // Every vertex has the normal (0, 0, 1) and the viewer is at infinity.
    vec3 eye = (u_modelview * v).xyz;
    vec3 c = a_colour * u_scene_ambient;
    for (int k = 0; k < 4; ++k) {
        if (!u_light_on[k]) continue;
        vec3 vp = u_light_position[k].xyz - eye;
        float d = length(vp);
        vec3 l = vp / d;
        float att = 1.0 / (u_attenuation[k].x + u_attenuation[k].y * d + u_attenuation[k].z * d * d);
        float spot = 1.0;
        if (u_spot_cos_cutoff[k] >= -1.0) {
            float s = dot(-l, u_spot_direction[k]);
            spot = s > u_spot_cos_cutoff[k] ? pow(abs(s), u_spot_exponent[k]) : 0.0;
        }
        float nl = l.z;
        vec3 term = a_colour * u_light_ambient[k] + max(nl, 0.0) * a_colour * u_light_diffuse[k];
        if (nl > 0.0) {
            vec3 h = normalize(l + vec3(0.0, 0.0, 1.0));
            term += pow(max(h.z, 0.0), u_shininess) * u_specular * u_light_specular[k];
        }
        c += att * spot * term;
    }
    v_colour = clamp(c, 0.0, 1.0);
}
)";

const char* const kFragmentSource = R"(#version 300 es
precision highp float;
in vec3 v_colour;
in vec2 v_texcoord;
uniform int u_picture_mode;  // 0 none, 1 modulate (lit), 2 decal (unlit)
uniform sampler2D u_picture;
out vec4 o_colour;

// The picture as GL_CLAMP gives it: coordinates held to [0, 1] and the
// filter's taps beyond the edge taken from a black border.
vec3 picture() {
    vec2 st = clamp(v_texcoord, 0.0, 1.0);
    vec3 texel = texture(u_picture, st).rgb;
    vec2 size0 = vec2(textureSize(u_picture, 0));
    vec2 dx = dFdx(v_texcoord * size0), dy = dFdy(v_texcoord * size0);
    float lambda = log2(max(length(dx), length(dy)));
    int level = lambda <= 0.5 ? 0 : int(ceil(lambda + 0.5)) - 1;
    int levels = int(log2(max(size0.x, size0.y)));
    vec2 size = vec2(textureSize(u_picture, clamp(level, 0, levels)));
    vec2 inside = clamp(min(st * size + 0.5, (1.0 - st) * size + 0.5), 0.0, 1.0);
    return texel * inside.x * inside.y;
}

void main() {
    vec3 c = v_colour;
    if (u_picture_mode == 1) c *= picture();
    if (u_picture_mode == 2) c = picture();
    o_colour = vec4(c, 1.0);
}
)";

// The text: one square per character, each pixel of it the glyph's texel
// under it, so the glyphs land on the pixels the OpenGL 1.1 bitmaps fill.
const char* const kTextVertexSource = R"(#version 300 es
precision highp float;
layout(location = 0) in vec4 a_corner;  // window position, glyph texel position
uniform vec2 u_text_scale;              // 2 / window size
out vec2 v_glyph;
void main() {
    gl_Position = vec4(a_corner.xy * u_text_scale - 1.0, 0.0, 1.0);
    v_glyph = a_corner.zw;
}
)";

const char* const kTextFragmentSource = R"(#version 300 es
precision highp float;
in vec2 v_glyph;
uniform sampler2D u_text_glyphs;
out vec4 o_colour;
void main() {
    if (texelFetch(u_text_glyphs, ivec2(floor(v_glyph)), 0).r < 0.5) discard;
    o_colour = vec4(1.0, 1.0, 0.0, 1.0);
}
)";

// The glyph texture: the cells in rows of 16, the top row of each cell first.
constexpr int kGlyphColumns = 16;
constexpr int kGlyphRows = (kGlyphCount + kGlyphColumns - 1) / kGlyphColumns;
// The text's distance from the window's left and top edges, as the OpenGL 1.1 overlay places it.
constexpr int kTextMargin = 8;
constexpr std::size_t kMaxTextLength = 255;

constexpr int kLights = kMovingLights + 1;  // the moving lights and the viewer light
constexpr int kViewerLight = kMovingLights;

constexpr float kNoCone = -2.0f;
constexpr float kSceneAmbient[3] = {0.2f, 0.2f, 0.2f};

constexpr float kFrustumHalfWidth = 4.0f;
constexpr float kAspectToHalfHeight = 2.605f;
constexpr float kNear = 4.0f;
constexpr float kFar = 4096.0f;
constexpr float kCellPlaneZ = -4.0f;
// Points are drawn as squares of one pixel here, and as the pixel that holds
// them by the fixed-function pipeline; the two differ only for a point that
// lies exactly on a pixel's edge, which this nudge (below the rasteriser's
// 1/256 pixel but above the rounding on the way) settles the same way.
constexpr float kPointShift = 1.0f / 128.0f;

// Kept vertex: x, y, r, g, b.
constexpr std::size_t kFloatsPerVertex = 5;
constexpr GLsizei kStride = kFloatsPerVertex * sizeof(float);

// Index patterns over the kept corners, per shape: a diamond's four triangles
// over centre, right, up, left, down (the winding of the fixed-function
// path); an unlit diamond without a picture as two triangles over its outer
// corners (the same pixels); a square as two triangles, split as the
// fixed-function pipeline splits GL_QUADS.
constexpr std::uint16_t kDiamond[] = {0, 1, 2, 0, 1, 4, 0, 3, 4, 0, 3, 2};
constexpr std::uint16_t kFlatDiamond[] = {1, 2, 3, 3, 4, 1};
constexpr std::uint16_t kSquare[] = {0, 1, 3, 1, 2, 3};
constexpr std::size_t kChunkVertices = 65535;

struct IndexRun {
    const std::uint16_t* pattern;
    std::size_t length;
    std::size_t corners;
};

// Column-major 4 x 4 product a * b, in single precision as the GL's own matrix stack works.
std::array<float, 16> multiply(const std::array<float, 16>& a, const std::array<float, 16>& b) {
    std::array<float, 16> m{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            float s = 0.0f;
            for (int k = 0; k < 4; ++k) s += a[k * 4 + r] * b[c * 4 + k];
            m[c * 4 + r] = s;
        }
    return m;
}

// The model transform: scale (10, 8.7, 1), then translate (-0.5, -0.49, -1),
// then onto the cell plane.
std::array<float, 16> model_view() {
    std::array<float, 16> m{};
    m[0] = 10.0f, m[5] = 8.7f, m[10] = 1.0f, m[15] = 1.0f;
    m[12] = m[0] * -0.5f;
    m[13] = m[5] * -0.49f;
    m[14] = m[10] * -1.0f;
    m[14] = m[10] * kCellPlaneZ + m[14];
    return m;
}

// Appends the kept vertices of the walk; diamonds as their five corners.
class KeptSink {
public:
    static constexpr bool kDiamondCorners = true;
    explicit KeptSink(std::vector<float>& out) : out_(out) { out_.clear(); }
    void begin() {}
    void room(std::size_t) {}
    void colour(const CellRgb& c) { colour_ = c; }
    void vertex(float x, float y) { out_.insert(out_.end(), {x, y, colour_.r, colour_.g, colour_.b}); }
    void end() {}

private:
    std::vector<float>& out_;
    CellRgb colour_{0.0f, 0.0f, 0.0f};
};

std::string shader_log(const Gles3Api& gl, GLuint object, bool program) {
    GLint length = 0;
    if (program)
        gl.GetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        gl.GetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(std::max(length, 1)), '\0');
    GLsizei written = 0;
    if (program)
        gl.GetProgramInfoLog(object, length, &written, log.data());
    else
        gl.GetShaderInfoLog(object, length, &written, log.data());
    log.resize(static_cast<std::size_t>(std::max(written, 0)));
    while (!log.empty() && (log.back() == '\n' || log.back() == '\0')) log.pop_back();
    return log;
}

}  // namespace

Gles3Renderer::Gles3Renderer(const Settings& settings, Gles3Services services)
    : MainColor_(settings.MainColor),
      DrawStyle_(settings.DrawStyle),
      Family_(settings.Family),
      OneColor_(settings.OneColor),
      LightingNum_(settings.LightingNum),
      messages_(services.messages),
      lights_(std::move(services.clock), std::move(services.random)),
      loader_(services.gl_procs),
      vertex_source_(services.vertex_source.empty() ? kVertexSource : services.vertex_source),
      fragment_source_(services.fragment_source.empty() ? kFragmentSource : services.fragment_source),
      glyphs_(services.glyphs) {}

Gles3Renderer::~Gles3Renderer() = default;

bool Gles3Renderer::report(const std::string& what, const std::string& log) {
    ok_ = false;
    if (messages_ != nullptr)
        messages_->show(kGles3ErrorCaption,
                        "The OpenGL ES renderer cannot draw: " + what + (log.empty() ? "" : ":\n") + log);
    return false;
}

bool Gles3Renderer::build_programs() {
    auto compile = [&](GLenum type, const std::string& source, const char* name, GLuint& shader) {
        shader = gl_.CreateShader(type);
        const char* text = source.c_str();
        gl_.ShaderSource(shader, 1, &text, nullptr);
        gl_.CompileShader(shader);
        GLint done = 0;
        gl_.GetShaderiv(shader, GL_COMPILE_STATUS, &done);
        if (done) return true;
        const std::string log = shader_log(gl_, shader, false);
        gl_.DeleteShader(shader);
        shader = 0;
        return report(std::string("the ") + name + " shader does not compile", log);
    };
    auto link = [&](const std::string& vertex, const std::string& fragment, const char* name, GLuint& program) {
        GLuint vs = 0, fs = 0;
        if (!compile(GL_VERTEX_SHADER, vertex, name, vs)) return false;
        if (!compile(GL_FRAGMENT_SHADER, fragment, name, fs)) {
            gl_.DeleteShader(vs);
            return false;
        }
        program = gl_.CreateProgram();
        gl_.AttachShader(program, vs);
        gl_.AttachShader(program, fs);
        gl_.LinkProgram(program);
        gl_.DeleteShader(vs);
        gl_.DeleteShader(fs);
        GLint done = 0;
        gl_.GetProgramiv(program, GL_LINK_STATUS, &done);
        if (done) return true;
        const std::string log = shader_log(gl_, program, true);
        gl_.DeleteProgram(program);
        program = 0;
        return report(std::string("the ") + name + " shaders do not link", log);
    };
    // The lighting switch goes right after the version line, which must come first.
    std::string vertex = vertex_source_;
    const std::size_t line_end = vertex.rfind("#version", 0) == 0 ? vertex.find('\n') : std::string::npos;
    if (line_end != std::string::npos)
        vertex.insert(line_end + 1, std::string("#define LIGHTING ") + (LightingNum_ != 0 ? "true" : "false") + "\n");
    if (!link(vertex, fragment_source_, "cell", program_)) return false;
    if (!link(kTextVertexSource, kTextFragmentSource, "text", text_program_)) return false;

    auto at = [&](const char* name) { return gl_.GetUniformLocation(program_, name); };
    u_mvp_ = at("u_mvp"), u_modelview_ = at("u_modelview");
    u_point_shift_ = at("u_point_shift"), u_pixel_ = at("u_pixel");
    u_light_on_ = at("u_light_on"), u_light_position_ = at("u_light_position");
    u_light_ambient_ = at("u_light_ambient"), u_light_diffuse_ = at("u_light_diffuse");
    u_light_specular_ = at("u_light_specular"), u_spot_direction_ = at("u_spot_direction");
    u_spot_exponent_ = at("u_spot_exponent"), u_spot_cos_cutoff_ = at("u_spot_cos_cutoff");
    u_attenuation_ = at("u_attenuation"), u_scene_ambient_ = at("u_scene_ambient");
    u_specular_ = at("u_specular"), u_shininess_ = at("u_shininess");
    u_picture_mode_ = at("u_picture_mode"), u_picture_ = at("u_picture");
    u_text_scale_ = gl_.GetUniformLocation(text_program_, "u_text_scale");
    u_text_glyphs_ = gl_.GetUniformLocation(text_program_, "u_text_glyphs");
    return true;
}

bool Gles3Renderer::setup() {
    if (set_up_) return ok_;
    set_up_ = true;
    std::string missing;
    if (!gl_.load(loader_, &missing)) return report("the OpenGL ES library lacks " + missing);
    ok_ = true;

    const LightRig rig = place_lights(LightingNum_, MainColor_, lights_);
    spot_direction_ = rig.spot_direction;
    colour_ = rig.colour;
    if (LightingNum_ != 0) lights_.reset_clocks();

    gl_.clear_errors();
    if (!build_programs()) return false;
    gl_.GenVertexArrays(1, &vertex_array_);
    gl_.GenBuffers(1, &vertex_buffer_);
    gl_.GenBuffers(1, &index_buffer_);
    gl_.BindVertexArray(vertex_array_);
    gl_.BindBuffer(GL_ARRAY_BUFFER, vertex_buffer_);
    gl_.EnableVertexAttribArray(0);
    gl_.EnableVertexAttribArray(1);
    gl_.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, index_buffer_);

    // One chunk of each index pattern, each reaching at most kChunkVertices corners.
    std::vector<std::uint16_t> indices;
    for (const IndexRun& run : {IndexRun{kDiamond, 12, 5}, IndexRun{kFlatDiamond, 6, 5}, IndexRun{kSquare, 6, 4}})
        for (std::size_t shape = 0; shape < kChunkVertices / run.corners; ++shape)
            for (std::size_t k = 0; k < run.length; ++k)
                indices.push_back(static_cast<std::uint16_t>(shape * run.corners + run.pattern[k]));
    gl_.BufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint16_t)),
                   indices.data(), GL_STATIC_DRAW);
    gl_.BindVertexArray(0);
    if (gl_.GetError() != GL_NO_ERROR) return report("the driver refused the storage for the cell indices");

    gl_.Enable(GL_DEPTH_TEST);
    gl_.UseProgram(program_);
    gl_.Uniform1i(u_picture_, 0);
    if (LightingNum_ != 0) set_lights();
    gl_.UseProgram(0);

    gl_.GenBuffers(1, &text_buffer_);
    if (gl_.GetError() != GL_NO_ERROR) return report("the driver refused the storage for the text");
    if (!make_glyph_texture()) glyph_cells_ = {};
    return ok_;
}

// The glyphs of the glyph source as a texture; false, and no text, when the
// source has none or the GL can't hold them.
bool Gles3Renderer::make_glyph_texture() {
    GlyphBitmaps cells;
    if (glyphs_ == nullptr || !glyphs_->glyph_bitmaps(kFirstGlyph, kGlyphCount, cells) || !cells.usable(kGlyphCount))
        return false;
    const int width = cells.width * kGlyphColumns, height = cells.height * kGlyphRows;
    if (width > max_texture_size() || height > max_texture_size()) return false;
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    const std::size_t cell_bytes = static_cast<std::size_t>(cells.width) * static_cast<std::size_t>(cells.height);
    for (int c = 0; c < kGlyphCount; ++c)
        for (int row = 0; row < cells.height; ++row)
            for (int x = 0; x < cells.width; ++x) {
                const std::size_t from =
                    static_cast<std::size_t>(c) * cell_bytes + static_cast<std::size_t>(row * cells.width + x);
                const int tx = c % kGlyphColumns * cells.width + x, ty = c / kGlyphColumns * cells.height + row;
                texels[static_cast<std::size_t>(ty) * static_cast<std::size_t>(width) + static_cast<std::size_t>(tx)] =
                    cells.pixels[from] != 0 ? 255 : 0;
            }
    gl_.clear_errors();
    gl_.GenTextures(1, &glyph_texture_);
    gl_.BindTexture(GL_TEXTURE_2D, glyph_texture_);
    gl_.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl_.TexImage2D(GL_TEXTURE_2D, 0, GL_R8, width, height, 0, GL_RED, GL_UNSIGNED_BYTE, texels.data());
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl_.BindTexture(GL_TEXTURE_2D, 0);
    if (gl_.GetError() != GL_NO_ERROR) {
        gl_.DeleteTextures(1, &glyph_texture_);
        glyph_texture_ = 0;
        return false;
    }
    cells.pixels.clear();
    cells.pixels.shrink_to_fit();
    glyph_cells_ = cells;
    return true;
}

// The light table into the program: the lights in use, the viewer light
// always; the moving lights' positions follow every frame.
void Gles3Renderer::set_lights() {
    GLint on[kLights] = {};
    float ambient[kLights][3] = {}, diffuse[kLights][3] = {}, specular[kLights][3] = {}, direction[kLights][3] = {};
    float exponent[kLights] = {}, cos_cutoff[kLights] = {}, attenuation[kLights][3] = {};
    for (int k = 0; k < kLights; ++k) {
        on[k] = k == kViewerLight || k < std::min(LightingNum_, kMovingLights);
        const float* dir = k == kViewerLight ? kViewerDirection.data() : spot_direction_[k].data();
        const float length = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
        for (int c = 0; c < 3; ++c) {
            ambient[k][c] = k == kViewerLight ? kViewerColour[c] : colour_[k][c];
            // Only light 0 keeps the fixed-function default of a white diffuse and specular colour.
            diffuse[k][c] = specular[k][c] = k == 0 ? 1.0f : 0.0f;
            direction[k][c] = dir[c] / length;
        }
        exponent[k] = k == kViewerLight ? kViewerExponent : kSpotExponent;
        cos_cutoff[k] =
            k == kViewerLight ? kNoCone : static_cast<float>(std::cos(kSpotCutoff * 3.14159265358979323846 / 180.0));
        attenuation[k][0] = 1.0f;
    }
    gl_.Uniform1iv(u_light_on_, kLights, on);
    gl_.Uniform3fv(u_light_ambient_, kLights, &ambient[0][0]);
    gl_.Uniform3fv(u_light_diffuse_, kLights, &diffuse[0][0]);
    gl_.Uniform3fv(u_light_specular_, kLights, &specular[0][0]);
    gl_.Uniform3fv(u_spot_direction_, kLights, &direction[0][0]);
    gl_.Uniform1fv(u_spot_exponent_, kLights, exponent);
    gl_.Uniform1fv(u_spot_cos_cutoff_, kLights, cos_cutoff);
    gl_.Uniform3fv(u_attenuation_, kLights, &attenuation[0][0]);
    gl_.Uniform3fv(u_scene_ambient_, 1, kSceneAmbient);
    gl_.Uniform3fv(u_specular_, 1, kSpecular.data());
    gl_.Uniform1f(u_shininess_, kShininess);
}

void Gles3Renderer::resize(int width, int height) {
    if (!ok_) return;
    width = std::max(width, 1);
    height = std::max(height, 1);
    gl_.Viewport(0, 0, width, height);
    gl_.UseProgram(program_);
    gl_.Uniform2f(u_pixel_, 2.0f / static_cast<float>(width), 2.0f / static_cast<float>(height));
    const float shift = DrawStyle_ == kStylePoints ? kPointShift : 0.0f;
    gl_.Uniform2f(u_point_shift_, shift, shift);
    gl_.UseProgram(0);
    xf_ = static_cast<float>(width) / static_cast<float>(height);
    xf_ = xf_ * kAspectToHalfHeight;
    // The frustum (-4, 4, -xf, xf, 4, 4096).
    const float l = -kFrustumHalfWidth, r = kFrustumHalfWidth, b = -xf_, t = xf_;
    projection_ = {};
    projection_[0] = 2.0f * kNear / (r - l);
    projection_[5] = 2.0f * kNear / (t - b);
    projection_[8] = (r + l) / (r - l);
    projection_[9] = (t + b) / (t - b);
    projection_[10] = -(kFar + kNear) / (kFar - kNear);
    projection_[11] = -1.0f;
    projection_[14] = -(2.0f * kFar * kNear) / (kFar - kNear);
}

void Gles3Renderer::upload_cells(const Automaton& field) {
    const bool textured = picture_on_;
    const Key key{field.version(), field.states(), textured};
    bytes_last_frame_ = 0;
    if (kept_ && key == key_) return;
    KeptSink sink(geometry_);
    const CellColours ramps(field.field_size(), MainColor_, 1 - OneColor_);
    if (Family_ == kFamilyLife) {
        LifeColours colours{ramps, textured};
        walk_cells(field, DrawStyle_, sink, colours);
    } else {
        GenerationsColours colours{ramps, textured, field.states(), DrawStyle_ == kStyleQuads};
        walk_cells(field, DrawStyle_, sink, colours);
    }
    vertices_ = geometry_.size() / kFloatsPerVertex;
    const std::size_t bytes = geometry_.size() * sizeof(float);
    gl_.clear_errors();
    gl_.BindBuffer(GL_ARRAY_BUFFER, vertex_buffer_);
    // A quarter spare, so that no upload replaces the whole store the last frame drew from.
    if (bytes >= vertex_buffer_bytes_ && bytes > 0) {
        vertex_buffer_bytes_ = bytes + bytes / 4;
        gl_.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertex_buffer_bytes_), nullptr, GL_DYNAMIC_DRAW);
    }
    if (bytes > 0) gl_.BufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), geometry_.data());
    gl_.BindBuffer(GL_ARRAY_BUFFER, 0);
    if (gl_.GetError() != GL_NO_ERROR) {
        report("the driver refused " + std::to_string(bytes) + " bytes of storage for the cells");
        return;
    }
    bytes_last_frame_ = bytes;
    key_ = key;
    kept_ = true;
}

void Gles3Renderer::draw_cells() {
    if (vertices_ == 0) return;
    gl_.BindVertexArray(vertex_array_);
    gl_.BindBuffer(GL_ARRAY_BUFFER, vertex_buffer_);
    auto point_at = [&](std::size_t first) {
        const std::size_t at = first * kStride;
        gl_.VertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, kStride, reinterpret_cast<const void*>(at));
        gl_.VertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, kStride,
                                reinterpret_cast<const void*>(at + 2 * sizeof(float)));
    };
    if (DrawStyle_ == kStylePoints || DrawStyle_ == kStyleLines) {
        point_at(0);
        gl_.DrawArrays(DrawStyle_ == kStylePoints ? GL_POINTS : GL_LINES, 0, static_cast<GLsizei>(vertices_));
    } else {
        const bool diamonds = DrawStyle_ != kStyleQuads;
        const bool flat = diamonds && LightingNum_ == 0 && !picture_on_;
        const IndexRun run = !diamonds ? IndexRun{kSquare, 6, 4}
                             : flat    ? IndexRun{kFlatDiamond, 6, 5}
                                       : IndexRun{kDiamond, 12, 5};
        const std::size_t diamond_chunk = kChunkVertices / 5;
        const std::size_t offset = !diamonds ? diamond_chunk * (12 + 6) : flat ? diamond_chunk * 12 : 0;
        const std::size_t per_chunk = kChunkVertices / run.corners;
        const std::size_t shapes = vertices_ / run.corners;
        for (std::size_t first = 0; first < shapes; first += per_chunk) {
            const std::size_t count = std::min(per_chunk, shapes - first);
            point_at(first * run.corners);
            gl_.DrawElements(GL_TRIANGLES, static_cast<GLsizei>(count * run.length), GL_UNSIGNED_SHORT,
                             reinterpret_cast<const void*>(offset * sizeof(std::uint16_t)));
        }
    }
    gl_.BindBuffer(GL_ARRAY_BUFFER, 0);
    gl_.BindVertexArray(0);
}

void Gles3Renderer::draw_frame(const Automaton& field) {
    if (!ok_) return;
    gl_.ClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    gl_.ClearDepthf(1.0f);
    gl_.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gl_.UseProgram(program_);
    if (LightingNum_ != 0) {
        lights_.MoveLights(LightingNum_);
        float positions[kLights][4] = {};
        for (int k = 0; k < kMovingLights; ++k) std::copy_n(lights_.light(k).pos.data(), 4, positions[k]);
        positions[kViewerLight][3] = 1.0f;
        gl_.Uniform4fv(u_light_position_, kLights, &positions[0][0]);
    }
    const std::array<float, 16> modelview = model_view();
    const std::array<float, 16> mvp = multiply(projection_, modelview);
    gl_.UniformMatrix4fv(u_mvp_, 1, GL_FALSE, mvp.data());
    gl_.UniformMatrix4fv(u_modelview_, 1, GL_FALSE, modelview.data());
    gl_.Uniform1i(u_picture_mode_, picture_on_ ? (LightingNum_ != 0 ? 1 : 2) : 0);
    if (picture_on_) {
        gl_.ActiveTexture(GL_TEXTURE0);
        gl_.BindTexture(GL_TEXTURE_2D, picture_);
    }
    upload_cells(field);
    if (ok_) draw_cells();
    if (picture_on_) gl_.BindTexture(GL_TEXTURE_2D, 0);
    gl_.UseProgram(0);
}

int Gles3Renderer::max_texture_size() const {
    GLint size = 0;
    if (gl_.GetIntegerv != nullptr) gl_.GetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    return size;
}

bool Gles3Renderer::load_picture(const RgbImage& image) {
    if (!ok_) return false;
    picture_on_ = false;
    kept_ = false;
    const std::vector<RgbImage> levels = picture_mipmaps(image, max_texture_size());
    if (levels.empty()) return false;
    gl_.clear_errors();
    if (picture_ == 0) gl_.GenTextures(1, &picture_);
    gl_.BindTexture(GL_TEXTURE_2D, picture_);
    gl_.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (std::size_t level = 0; level < levels.size(); ++level)
        gl_.TexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGB8, levels[level].width, levels[level].height, 0,
                       GL_RGB, GL_UNSIGNED_BYTE, levels[level].pixels.data());
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    gl_.BindTexture(GL_TEXTURE_2D, 0);
    if (gl_.GetError() != GL_NO_ERROR) {
        gl_.DeleteTextures(1, &picture_);
        picture_ = 0;
        if (messages_ != nullptr)
            messages_->show(kGles3ErrorCaption, "The OpenGL ES renderer could not store the picture of " +
                                                    std::to_string(image.width) + " x " + std::to_string(image.height) +
                                                    "; it is left off.");
        return false;
    }
    picture_on_ = true;
    return true;
}

// The text's baseline starts line_height pixels and a margin below the
// window's top edge, as the OpenGL 1.1 overlay's raster position does; each
// glyph advances the pen by one cell, and a character the font lacks draws
// nothing and does not move it.
void Gles3Renderer::draw_text(int width, int height, int line_height, const char* text) {
    if (!ok_ || text == nullptr || width < 1 || height < 1 || glyph_texture_ == 0) return;
    const GlyphBitmaps& g = glyph_cells_;
    std::vector<float> corners;
    float x = kTextMargin;
    const float y0 = static_cast<float>(height - kTextMargin - line_height - g.descent);
    const float y1 = y0 + static_cast<float>(g.height);
    const std::size_t length = std::min(std::strlen(text), kMaxTextLength);
    for (std::size_t k = 0; k < length; ++k) {
        const int code = static_cast<unsigned char>(text[k]) - kFirstGlyph;
        if (code < 0 || code >= kGlyphCount) continue;
        const float s0 = static_cast<float>(code % kGlyphColumns * g.width), s1 = s0 + static_cast<float>(g.width);
        const float t0 = static_cast<float>(code / kGlyphColumns * g.height), t1 = t0 + static_cast<float>(g.height);
        const float x1 = x + static_cast<float>(g.width);
        // The cell's top row (t0) at the top of the square (y1).
        corners.insert(corners.end(),
                       {x, y0, s0, t1, x1, y0, s1, t1, x1, y1, s1, t0, x, y0, s0, t1, x1, y1, s1, t0, x, y1, s0, t0});
        x = x1;
    }
    if (corners.empty()) return;
    gl_.Disable(GL_DEPTH_TEST);
    gl_.UseProgram(text_program_);
    gl_.Uniform2f(u_text_scale_, 2.0f / static_cast<float>(width), 2.0f / static_cast<float>(height));
    gl_.Uniform1i(u_text_glyphs_, 0);
    gl_.ActiveTexture(GL_TEXTURE0);
    gl_.BindTexture(GL_TEXTURE_2D, glyph_texture_);
    gl_.BindBuffer(GL_ARRAY_BUFFER, text_buffer_);
    gl_.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(corners.size() * sizeof(float)), corners.data(),
                   GL_STREAM_DRAW);
    gl_.EnableVertexAttribArray(0);
    gl_.VertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 4 * sizeof(float), nullptr);
    gl_.DrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(corners.size() / 4));
    gl_.BindBuffer(GL_ARRAY_BUFFER, 0);
    gl_.BindTexture(GL_TEXTURE_2D, 0);
    gl_.UseProgram(0);
    gl_.Enable(GL_DEPTH_TEST);
}

void Gles3Renderer::release() {
    if (gl_.DeleteBuffers == nullptr) return;
    const GLuint buffers[3] = {vertex_buffer_, index_buffer_, text_buffer_};
    gl_.DeleteBuffers(3, buffers);
    if (vertex_array_ != 0) gl_.DeleteVertexArrays(1, &vertex_array_);
    const GLuint textures[2] = {picture_, glyph_texture_};
    gl_.DeleteTextures(2, textures);
    if (program_ != 0) gl_.DeleteProgram(program_);
    if (text_program_ != 0) gl_.DeleteProgram(text_program_);
    vertex_buffer_ = index_buffer_ = text_buffer_ = vertex_array_ = picture_ = glyph_texture_ = 0;
    program_ = text_program_ = 0;
    vertex_buffer_bytes_ = 0;
    geometry_.clear();
    geometry_.shrink_to_fit();
    kept_ = false;
    picture_on_ = false;
    ok_ = false;
}

}  // namespace orvex
