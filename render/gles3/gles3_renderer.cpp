#include "render/gles3/gles3_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>

#include "render/cell_walk.h"
#include "render/gles3/gles3_picture.h"
#include "render/light_rig.h"

namespace orvex {

namespace {

// The cells. The vertex's number picks its word (u_first + number / CORNERS)
// and the corner of the word's shape; the word gives the cell's column i (bits
// 0-9), row j (10-19) and state (20-27); for Lines a word is one segment, and
// bits 28-29 give its direction from the cell: right, right and up, up, left
// and up. The position and the ramps are worked out as the fixed-function
// path's walk works them out, in single precision.
//
// The settings of the program come as defines after the version line:
// LIGHTS (0..3), SHAPE (0 points, 1 diamond corners, 2 lines, 3 squares),
// CORNERS per word, PICTURE (0 none, 1 modulate, 2 decal), GENERATIONS (the
// age shade), SHADED_RAMPS and PLACE(main, column, row), the colour's
// channels in order.
const char* const kVertexHead = R"(#version 300 es
precision highp float;
precision highp int;
)";

// The lights' uniforms and the fixed-function equation for one cell of a
// colour at a place of the eye's space, shared by the cells' vertices and
// the light pass's pixels. Every cell has the normal (0, 0, 1), the viewer
// is at infinity and no light fades with distance. Light 0 alone has a
// diffuse and a specular colour; the others and the viewer light only an
// ambient one.
const char* const kLightSource = R"(
#if LIGHTS > 0
uniform vec3 u_light_position[LIGHTS];
uniform vec3 u_light_ambient[LIGHTS];
uniform vec3 u_spot_direction[LIGHTS];  // unit length
uniform float u_spot_cos_cutoff;
uniform float u_spot_exponent;
uniform vec3 u_specular;
uniform float u_shininess;
uniform vec3 u_ambient;  // the light model's and the viewer light's

vec3 lit(vec3 colour, vec3 eye) {
    vec3 c = colour * u_ambient;
    for (int k = 0; k < LIGHTS; ++k) {
        vec3 l = normalize(u_light_position[k] - eye);
        float s = dot(-l, u_spot_direction[k]);
        float spot = s > u_spot_cos_cutoff ? pow(s, u_spot_exponent) : 0.0;
        vec3 term = colour * u_light_ambient[k];
        if (k == 0) {
            term += max(l.z, 0.0) * colour;
            if (l.z > 0.0) term += pow(max(normalize(l + vec3(0.0, 0.0, 1.0)).z, 0.0), u_shininess) * u_specular;
        }
        c += spot * term;
    }
    return clamp(c, 0.0, 1.0);
}
#endif
)";

const char* const kVertexBody = R"(
uniform highp usampler2D u_cells;
uniform int u_first;
uniform float u_side, u_h, u_pitch;
uniform float u_ramp;  // the ramps' step per column or row
uniform float u_states;
uniform mat4 u_mvp;
uniform mat4 u_modelview;
uniform vec2 u_point_shift;  // clip units
// Unlit, a cell's corners share one colour: nothing to interpolate.
#if LIGHTS == 0
flat out vec3 v_colour;
#else
out vec3 v_colour;
#endif
#if PICTURE
out vec2 v_texcoord;
#endif

#if SHAPE == 1
const vec2 kCorner[5] = vec2[5](vec2(0.0), vec2(1.0, 0.0), vec2(0.0, 1.0), vec2(-1.0, 0.0), vec2(0.0, -1.0));
#elif SHAPE == 3
const vec2 kCorner[4] = vec2[4](vec2(-1.0, -1.0), vec2(1.0, -1.0), vec2(1.0, 1.0), vec2(-1.0, 1.0));
#elif SHAPE == 2
const vec2 kStep[4] = vec2[4](vec2(1.0, 0.0), vec2(1.0, 1.0), vec2(0.0, 1.0), vec2(-1.0, 1.0));
#endif

void main() {
    int along = gl_VertexID / CORNERS;
    int corner = gl_VertexID - along * CORNERS;
    int cell = u_first + along;
    uint word = texelFetch(u_cells, ivec2(cell & 2047, cell >> 11), 0).r;
    float i = float(word & 1023u), j = float((word >> 10) & 1023u);
    vec2 p = vec2(i / u_side, j / u_side);
#if GENERATIONS
    float g = (u_states - float((word >> 20) & 255u)) / u_states;
#else
    float g = 1.0;
#endif
#if SHAPE == 1 || SHAPE == 3
    p += kCorner[corner] * u_h;
#elif SHAPE == 2
    if (corner == 1) p += kStep[int(word >> 28) & 3] * u_pitch;
#endif
#if PICTURE
    vec3 colour = vec3(g);  // white, or the age shade in grey
#else
    float column = j * u_ramp, row = i * u_ramp;
#if SHADED_RAMPS
    column = column * g * 1.3;
    row = row * g * 1.3;
#endif
    vec3 colour = PLACE(0.9 * g, column, row);
#endif
    vec4 v = vec4(p, 0.0, 1.0);
    gl_Position = u_mvp * v;
    gl_Position.xy += u_point_shift * gl_Position.w;
#if SHAPE == 0
    gl_PointSize = 1.0;
#endif
#if PICTURE
    v_texcoord = p;
#endif
#if LIGHTS == 0
    v_colour = colour;
#else
    v_colour = lit(colour, (u_modelview * v).xyz);
#endif
}
)";

const char* const kFragmentSource = R"(#version 300 es
precision highp float;
#if LIGHTS == 0
flat in vec3 v_colour;
#else
in vec3 v_colour;
#endif
out vec4 o_colour;

#if PICTURE
in vec2 v_texcoord;
uniform sampler2D u_picture;

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
#endif

void main() {
#if PICTURE == 0
    o_colour = vec4(v_colour, 1.0);
#elif PICTURE == 1
    o_colour = vec4(v_colour * picture(), 1.0);
#else
    o_colour = vec4(picture(), 1.0);
#endif
}
)";

// The light pass of lit Points, where each cell is one pixel: the cells'
// unlit colours, kept in a frame, lit pixel by pixel over a square of the
// cells' plane reaching well beyond the field. A pixel's place in the eye's
// space is that of the plane under its centre, within half a pixel of the
// cell's own; empty pixels (alpha 0) stay empty.
const char* const kLightPassVertexSource = R"(#version 300 es
precision highp float;
uniform mat4 u_mvp;
uniform mat4 u_modelview;
out vec3 v_eye;
void main() {
    vec4 p = vec4(float(gl_VertexID & 1) * 3.0 - 1.0, float(gl_VertexID >> 1) * 3.0 - 1.0, 0.0, 1.0);
    gl_Position = u_mvp * p;
    v_eye = (u_modelview * p).xyz;
}
)";

const char* const kLightPassBody = R"(
uniform sampler2D u_frame;
in vec3 v_eye;
out vec4 o_colour;
void main() {
    vec4 cell = texelFetch(u_frame, ivec2(gl_FragCoord.xy), 0);
    o_colour = cell.a * vec4(lit(cell.rgb, v_eye), 1.0);
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

constexpr float kSceneAmbient = 0.2f;

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
// On a software rasteriser, lighting a window's pixel costs about a sixth of
// lighting and placing a cell as a point (llvmpipe, 1280 x 800: 27 ms for
// the pixels, 92 ms for 553,000 cells).
constexpr std::size_t kPixelsPerLitCell = 6;
// The cells' viewport, in window sizes (odd, so that the window lies on whole pixels in its middle).
constexpr int kViewMargin = 3;

// The cells' words, rows of this many (the least width an ES 3 GL must take).
constexpr int kCellRow = 2048;
constexpr int kMostState = 255;

// The cell's word, as the vertex shader takes it apart; a segment's direction.
constexpr int kRowShift = 10, kStateShift = 20, kSegmentShift = 28;
constexpr std::uint32_t kRight = 0u << kSegmentShift, kRightUp = 1u << kSegmentShift, kUp = 2u << kSegmentShift,
                        kLeftUp = 3u << kSegmentShift;

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

// Where the vertex shader puts the cells' points in the window: the pixels
// each may fall on, in each direction one, or two where it lies so near their
// common edge that the rounding on the way could move it across. The cells'
// plane faces the eye square on, so a column's place across and a row's
// place up stand alone, worked out once each.
class PointPlace {
public:
    struct Span {
        int first, last;
    };
    // subpixel_bits: those the GL rounds window positions to.
    PointPlace(const std::array<float, 16>& m, const std::array<int, 4>& viewport, const std::array<float, 2>& shift,
               int side, int subpixel_bits) {
        // A whole step of the rounding, and single precision's error on the
        // way there, many times over.
        const double doubt =
            std::ldexp(1.0, -std::clamp(subpixel_bits, 4, 8)) + std::max(viewport[2], viewport[3]) * 0x1p-20;
        auto span = [doubt](double at) {
            at = std::clamp(at, -1e6, 1e6);
            return Span{static_cast<int>(std::floor(at - doubt)), static_cast<int>(std::floor(at + doubt))};
        };
        if (m[1] != 0.0f || m[3] != 0.0f || m[4] != 0.0f || m[7] != 0.0f) return;
        const double w = m[15];
        for (int k = 0; k < side; ++k) {
            // As the shader has it: the place on the plane in single precision.
            const double p = static_cast<float>(k) / static_cast<float>(side);
            columns_.push_back(span(viewport[0] + ((m[0] * p + m[12] + shift[0] * w) / w + 1.0) * viewport[2] * 0.5));
            rows_.push_back(span(viewport[1] + ((m[5] * p + m[13] + shift[1] * w) / w + 1.0) * viewport[3] * 0.5));
        }
    }
    // False where the plane is seen at a slant (never in this scene).
    bool square_on() const { return !columns_.empty(); }
    const Span& column(int i) const { return columns_[static_cast<std::size_t>(i)]; }
    const Span& row(int j) const { return rows_[static_cast<std::size_t>(j)]; }

private:
    std::vector<Span> columns_, rows_;
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
      vertex_source_(services.vertex_source.empty() ? std::string(kVertexHead) + kLightSource + kVertexBody
                                                    : services.vertex_source),
      fragment_source_(services.fragment_source.empty() ? kFragmentSource : services.fragment_source),
      every_point_(services.every_point),
      glyphs_(services.glyphs) {}

Gles3Renderer::~Gles3Renderer() = default;

bool Gles3Renderer::report(const std::string& what, const std::string& log) {
    ok_ = false;
    if (messages_ != nullptr)
        messages_->show(kGles3ErrorCaption,
                        "The OpenGL ES renderer cannot draw: " + what + (log.empty() ? "" : ":\n") + log);
    return false;
}

bool Gles3Renderer::link(const std::string& vertex, const std::string& fragment, const char* name, GLuint& program) {
    auto compile = [&](GLenum type, const std::string& source, GLuint& shader) {
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
    GLuint vs = 0, fs = 0;
    if (!compile(GL_VERTEX_SHADER, vertex, vs)) return false;
    if (!compile(GL_FRAGMENT_SHADER, fragment, fs)) {
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
}

// The cell program for this renderer's style, colours and lights (none
// where not lit) with the picture in the given mode; built the first time it
// is asked for. Null once a build failed.
const Gles3Renderer::CellProgram* Gles3Renderer::cell_program(PictureMode mode, bool lit) {
    CellProgram& p = lit ? programs_[mode] : unlit_points_;
    if (p.id != 0) return &p;
    if (!ok_) return nullptr;
    const int lights = lit ? std::clamp(LightingNum_, 0, kMovingLights) : 0;
    const int shape = DrawStyle_ == kStylePoints      ? 0
                      : DrawStyle_ == kStyleTriangles ? 1
                      : DrawStyle_ == kStyleLines     ? 2
                                                      : 3;
    const int corners[] = {1, static_cast<int>(kDiamondCorners), 2, 4};
    const char* const place = MainColor_ == kColorRed     ? "vec3(m, c, r)"
                              : MainColor_ == kColorGreen ? "vec3(r, m, c)"
                                                          : "vec3(c, r, m)";
    const bool shaded_ramps = Family_ != kFamilyLife && DrawStyle_ == kStyleQuads;
    const std::string defines =
        "#define LIGHTS " + std::to_string(lights) + "\n#define SHAPE " + std::to_string(shape) + "\n#define CORNERS " +
        std::to_string(corners[shape]) + "\n#define PICTURE " + std::to_string(static_cast<int>(mode)) +
        "\n#define GENERATIONS " + (Family_ != kFamilyLife ? "1" : "0") + "\n#define SHADED_RAMPS " +
        (shaded_ramps ? "1" : "0") + "\n#define PLACE(m, c, r) " + place + "\n";
    // The defines go right after the version line, which must come first.
    auto with_defines = [&](std::string source) {
        const std::size_t line_end = source.rfind("#version", 0) == 0 ? source.find('\n') : std::string::npos;
        if (line_end != std::string::npos) source.insert(line_end + 1, defines);
        return source;
    };
    if (!link(with_defines(vertex_source_), with_defines(fragment_source_), "cell", p.id)) return nullptr;

    auto at = [&](const char* name) { return gl_.GetUniformLocation(p.id, name); };
    p.mvp = at("u_mvp"), p.modelview = at("u_modelview"), p.point_shift = at("u_point_shift");
    p.first = at("u_first"), p.side = at("u_side"), p.h = at("u_h"), p.pitch = at("u_pitch");
    p.ramp = at("u_ramp"), p.states = at("u_states"), p.light_position = at("u_light_position");
    gl_.UseProgram(p.id);
    gl_.Uniform1i(at("u_picture"), 0);
    gl_.Uniform1i(at("u_cells"), 1);
    set_light_constants(p.id, lights);
    gl_.UseProgram(0);
    return &p;
}

// The lights' constants into the program in use: the colours of those in
// use as ambient, their cones and the material; their positions follow
// every frame.
void Gles3Renderer::set_light_constants(GLuint program, int lights) {
    if (lights == 0) return;
    auto at = [&](const char* name) { return gl_.GetUniformLocation(program, name); };
    float ambient[kMovingLights][3] = {}, direction[kMovingLights][3] = {};
    for (int k = 0; k < lights; ++k) {
        const auto& dir = spot_direction_[static_cast<std::size_t>(k)];
        const float length = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
        for (int c = 0; c < 3; ++c) {
            ambient[k][c] = colour_[static_cast<std::size_t>(k)][static_cast<std::size_t>(c)];
            direction[k][c] = dir[static_cast<std::size_t>(c)] / length;
        }
    }
    gl_.Uniform3fv(at("u_light_ambient"), lights, &ambient[0][0]);
    gl_.Uniform3fv(at("u_spot_direction"), lights, &direction[0][0]);
    gl_.Uniform1f(at("u_spot_cos_cutoff"), static_cast<float>(std::cos(kSpotCutoff * 3.14159265358979323846 / 180.0)));
    gl_.Uniform1f(at("u_spot_exponent"), kSpotExponent);
    gl_.Uniform3f(at("u_specular"), kSpecular[0], kSpecular[1], kSpecular[2]);
    gl_.Uniform1f(at("u_shininess"), kShininess);
    // The viewer light has no cone and no diffuse colour: it adds its
    // ambient to the light model's everywhere.
    gl_.Uniform3f(at("u_ambient"), kSceneAmbient + kViewerColour[0], kSceneAmbient + kViewerColour[1],
                  kSceneAmbient + kViewerColour[2]);
}

// The lights one frame on, their positions into the program in use.
void Gles3Renderer::move_lights(GLint positions) {
    lights_.MoveLights(LightingNum_);
    float at[kMovingLights][3] = {};
    for (int k = 0; k < kMovingLights; ++k) std::copy_n(lights_.light(k).pos.data(), 3, at[k]);
    gl_.Uniform3fv(positions, std::clamp(LightingNum_, 1, kMovingLights), &at[0][0]);
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
    if (cell_program(kNoPicture) == nullptr) return false;
    if (!link(kTextVertexSource, kTextFragmentSource, "text", text_program_)) return false;
    u_text_scale_ = gl_.GetUniformLocation(text_program_, "u_text_scale");
    u_text_glyphs_ = gl_.GetUniformLocation(text_program_, "u_text_glyphs");

    gl_.GenVertexArrays(1, &vertex_array_);
    gl_.GenBuffers(1, &index_buffer_);
    gl_.BindVertexArray(vertex_array_);
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

    // The cells' words: integer texels, read whole.
    gl_.GenTextures(1, &cells_);
    gl_.BindTexture(GL_TEXTURE_2D, cells_);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl_.BindTexture(GL_TEXTURE_2D, 0);

    gl_.Enable(GL_DEPTH_TEST);
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

void Gles3Renderer::resize(int width, int height) {
    if (!ok_) return;
    width = std::max(width, 1);
    height = std::max(height, 1);
    // The cells are drawn into a viewport three times the window's size with
    // the window in its middle, and a projection that shrinks the view by as
    // much: the same pixels, but cells beyond the window's edges lie inside the
    // clip volume, so that no primitive has to be clipped (a software
    // rasteriser clips every batch with a vertex outside, at many times the
    // cost); the rasteriser drops what falls outside the window.
    GLint most[2] = {0, 0};
    gl_.GetIntegerv(GL_MAX_VIEWPORT_DIMS, most);
    const bool wide = kViewMargin * width <= most[0] && kViewMargin * height <= most[1];
    const int margin = wide ? kViewMargin : 1;
    viewport_ = {-(margin - 1) / 2 * width, -(margin - 1) / 2 * height, margin * width, margin * height};
    window_ = {width, height};
    const float shrink = 1.0f / static_cast<float>(margin);
    const float shift = DrawStyle_ == kStylePoints ? kPointShift : 0.0f;
    point_shift_ = {shift * 2.0f * shrink / static_cast<float>(width),
                    shift * 2.0f * shrink / static_cast<float>(height)};
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
    for (int c = 0; c < 4; ++c) projection_[c * 4] *= shrink, projection_[c * 4 + 1] *= shrink;
}

bool Gles3Renderer::single_sampled() const {
    GLint samples = 0;
    gl_.GetIntegerv(GL_SAMPLE_BUFFERS, &samples);
    return samples == 0;
}

Gles3Renderer::Key Gles3Renderer::key_of(const Automaton& field) const {
    return {field.version(), field.states(), DrawStyle_ == kStylePoints ? window_ : std::array<int, 2>{0, 0}};
}

// The words of the drawn cells, in the order of the fixed-function walk, into
// the cell texture: only when the field or, for Points, the window has
// changed since the last upload.
void Gles3Renderer::upload_cells(const Automaton& field) {
    const Key key = key_of(field);
    bytes_last_frame_ = 0;
    if (kept_ && key == key_) return;
    words_.clear();
    const int n = field.field_size();
    const bool life = Family_ == kFamilyLife;
    auto word = [&](int i, int j, std::int32_t v) {
        const std::uint32_t state = life ? 1u : static_cast<std::uint32_t>(std::clamp(v, 1, kMostState));
        return static_cast<std::uint32_t>(i) | static_cast<std::uint32_t>(j) << kRowShift | state << kStateShift;
    };
    // All cells lie at one depth and the depth test passes only the nearer,
    // so of the Points that fall on one pixel the first drawn holds it: those
    // after it are left out. Only a point whose pixel is beyond doubt counts;
    // one nearer a pixel's edge than a rasteriser's rounding could fall on
    // either side: it is drawn unless all its pixels are held.
    std::optional<PointPlace> place;
    if (DrawStyle_ == kStylePoints && !every_point_ && single_sampled()) {
        GLint bits = 0;
        gl_.GetIntegerv(GL_SUBPIXEL_BITS, &bits);
        place.emplace(multiply(projection_, model_view()), viewport_, point_shift_, n, bits);
    }
    if (DrawStyle_ == kStyleLines) {
        // Each touching pair once, from the cell that looks right or up at it;
        // row 0, the last row and the last column start no segment.
        for (int i = 1; i <= n - 2; ++i) {
            const CellRow left = field.row(i - 1), here = field.row(i), right = field.row(i + 1);
            for (int j = 0; j <= n - 2; ++j) {
                const std::int32_t v = here[j];
                if (v == 0) continue;
                const std::uint32_t w = word(i, j, v);
                if (right[j] != 0) words_.push_back(w | kRight);
                if (right[j + 1] != 0) words_.push_back(w | kRightUp);
                if (here[j + 1] != 0) words_.push_back(w | kUp);
                if (left[j + 1] != 0) words_.push_back(w | kLeftUp);
            }
        }
    } else if (place && place->square_on()) {
        const int width = window_[0], height = window_[1];
        taken_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
        auto taken = [&](int x, int y) -> std::uint8_t& {
            return taken_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
        };
        // Whether (x, y) is outside the window or held already.
        auto hidden = [&](int x, int y) { return x < 0 || x >= width || y < 0 || y >= height || taken(x, y) != 0; };
        for (int i = 0; i < n; ++i) {
            const CellRow here = field.row(i);
            const PointPlace::Span x = place->column(i);
            if (x.last < 0 || x.first >= width) continue;  // the whole column is outside
            for (int j = 0; j < n; ++j) {
                const std::int32_t v = here[j];
                if (v == 0) continue;
                const PointPlace::Span& y = place->row(j);
                if (x.first == x.last && y.first == y.last) {
                    if (hidden(x.first, y.first)) continue;
                    taken(x.first, y.first) = 1;
                } else if (hidden(x.first, y.first) && hidden(x.last, y.first) && hidden(x.first, y.last) &&
                           hidden(x.last, y.last)) {
                    continue;  // wherever it falls, it is hidden
                }
                words_.push_back(word(i, j, v));
            }
        }
    } else {
        for (int i = 0; i < n; ++i) {
            const CellRow here = field.row(i);
            for (int j = 0; j < n; ++j)
                if (const std::int32_t v = here[j]) words_.push_back(word(i, j, v));
        }
    }
    drawn_ = words_.size();
    const int rows = static_cast<int>((drawn_ + kCellRow - 1) / kCellRow);
    gl_.clear_errors();
    gl_.BindTexture(GL_TEXTURE_2D, cells_);
    gl_.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (rows > cells_rows_) {  // a quarter spare, so that a field that grows a little keeps its store
        cells_rows_ = std::min(rows + rows / 4 + 1, std::max(rows, max_texture_size()));
        gl_.TexImage2D(GL_TEXTURE_2D, 0, GL_R32UI, kCellRow, cells_rows_, 0, GL_RED_INTEGER, GL_UNSIGNED_INT, nullptr);
    }
    const int full = static_cast<int>(drawn_ / kCellRow), rest = static_cast<int>(drawn_ % kCellRow);
    if (full > 0)
        gl_.TexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kCellRow, full, GL_RED_INTEGER, GL_UNSIGNED_INT, words_.data());
    if (rest > 0)
        gl_.TexSubImage2D(GL_TEXTURE_2D, 0, 0, full, rest, 1, GL_RED_INTEGER, GL_UNSIGNED_INT,
                          words_.data() + static_cast<std::size_t>(full) * kCellRow);
    gl_.BindTexture(GL_TEXTURE_2D, 0);
    if (gl_.GetError() != GL_NO_ERROR) {
        cells_rows_ = 0;
        report("the driver refused " + std::to_string(drawn_ * sizeof(std::uint32_t)) +
               " bytes of storage for the cells");
        return;
    }
    bytes_last_frame_ = drawn_ * sizeof(std::uint32_t);
    key_ = key;
    kept_ = true;
}

void Gles3Renderer::draw_cells(const CellProgram& p) {
    if (drawn_ == 0) return;
    gl_.BindVertexArray(vertex_array_);
    gl_.ActiveTexture(GL_TEXTURE1);
    gl_.BindTexture(GL_TEXTURE_2D, cells_);
    gl_.Uniform1i(p.first, 0);
    if (DrawStyle_ == kStylePoints) {
        gl_.DrawArrays(GL_POINTS, 0, static_cast<GLsizei>(drawn_));
    } else if (DrawStyle_ == kStyleLines) {
        gl_.DrawArrays(GL_LINES, 0, static_cast<GLsizei>(drawn_ * 2));
    } else {
        const bool diamonds = DrawStyle_ != kStyleQuads;
        const bool flat = diamonds && LightingNum_ == 0 && !picture_on_;
        const IndexRun run = !diamonds ? IndexRun{kSquare, 6, 4}
                             : flat    ? IndexRun{kFlatDiamond, 6, 5}
                                       : IndexRun{kDiamond, 12, 5};
        const std::size_t diamond_chunk = kChunkVertices / 5;
        const std::size_t offset = !diamonds ? diamond_chunk * (12 + 6) : flat ? diamond_chunk * 12 : 0;
        const std::size_t per_chunk = kChunkVertices / run.corners;
        for (std::size_t first = 0; first < drawn_; first += per_chunk) {
            const std::size_t count = std::min(per_chunk, drawn_ - first);
            gl_.Uniform1i(p.first, static_cast<GLint>(first));
            gl_.DrawElements(GL_TRIANGLES, static_cast<GLsizei>(count * run.length), GL_UNSIGNED_SHORT,
                             reinterpret_cast<const void*>(offset * sizeof(std::uint16_t)));
        }
    }
    gl_.BindTexture(GL_TEXTURE_2D, 0);
    gl_.ActiveTexture(GL_TEXTURE0);
    gl_.BindVertexArray(0);
}

// The framebuffer for the kept unlit frame, at the window's size, bound;
// false, and frames drawn straight to the target from then on, where the GL
// refuses it or the target is multisampled (a blit into it would fail).
bool Gles3Renderer::keep_frame(GLint target) {
    if (frame_buffer_ == 0) {
        if (!single_sampled()) return keep_frames_ = false;
        gl_.GenFramebuffers(1, &frame_buffer_);
        gl_.GenTextures(1, &frame_colour_);
        gl_.GenRenderbuffers(1, &frame_depth_);
    }
    gl_.clear_errors();
    gl_.BindFramebuffer(GL_FRAMEBUFFER, frame_buffer_);
    if (frame_size_ != window_) {
        frame_size_ = window_;
        // Lit, the colours are lit again every frame: ten bits keep them
        // closer to those lit straight from the cells.
        gl_.BindTexture(GL_TEXTURE_2D, frame_colour_);
        if (LightingNum_ != 0)
            gl_.TexImage2D(GL_TEXTURE_2D, 0, GL_RGB10_A2, window_[0], window_[1], 0, GL_RGBA,
                           GL_UNSIGNED_INT_2_10_10_10_REV, nullptr);
        else
            gl_.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, window_[0], window_[1], 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        gl_.BindTexture(GL_TEXTURE_2D, 0);
        gl_.BindRenderbuffer(GL_RENDERBUFFER, frame_depth_);
        gl_.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, window_[0], window_[1]);
        gl_.BindRenderbuffer(GL_RENDERBUFFER, 0);
        gl_.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, frame_colour_, 0);
        gl_.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, frame_depth_);
    }
    if (gl_.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE && gl_.GetError() == GL_NO_ERROR)
        return true;
    gl_.BindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(target));
    drop_kept_frame();
    return keep_frames_ = false;
}

void Gles3Renderer::drop_kept_frame() {
    if (frame_buffer_ != 0) gl_.DeleteFramebuffers(1, &frame_buffer_);
    if (frame_colour_ != 0) gl_.DeleteTextures(1, &frame_colour_);
    if (frame_depth_ != 0) gl_.DeleteRenderbuffers(1, &frame_depth_);
    frame_buffer_ = frame_colour_ = frame_depth_ = 0;
    frame_size_ = {0, 0};
    frame_kept_ = false;
}

void Gles3Renderer::draw_frame(const Automaton& field) {
    if (!ok_) return;
    // A frame of a changed field is drawn straight to the target. Unlit, the
    // first redraw of it is drawn into the kept framebuffer and copied from
    // there, and so are the redraws after it. Lit Points without a picture
    // keep the unlit cells from the first redraw on in the same way and light
    // that frame pixel by pixel (each cell is one pixel), where the cells are
    // many enough for that to cost less than lighting each cell.
    const bool redraw = kept_ && key_of(field) == key_ && drawn_size_ == window_;
    const bool lit_pass = redraw && LightingNum_ != 0 && DrawStyle_ == kStylePoints && !picture_on_ && keep_frames_ &&
                          drawn_ * kPixelsPerLitCell >= static_cast<std::size_t>(window_[0]) * window_[1];
    const CellProgram* p = cell_program(!picture_on_ ? kNoPicture : LightingNum_ != 0 ? kModulate : kDecal, !lit_pass);
    if (p == nullptr) return;
    GLint target = 0;
    bool keep = false;
    if (lit_pass) {
        gl_.GetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &target);
        bytes_last_frame_ = 0;
        if (!frame_kept_ && keep_frame(target)) {
            paint_cells(*p, field);
            frame_kept_ = ok_;
            gl_.BindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(target));
        }
        if (frame_kept_ && light_pass()) return;
        // No kept frame: the lit cells straight to the target.
        frame_kept_ = false;
        p = cell_program(kNoPicture);
        if (p == nullptr) return;
    } else if (!redraw) {
        frame_kept_ = false;
    } else if (LightingNum_ == 0 && keep_frames_) {
        gl_.GetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &target);
        if (frame_kept_) {
            bytes_last_frame_ = 0;
            show_kept_frame(target);
            return;
        }
        keep = keep_frame(target);
    }
    paint_cells(*p, field);
    if (keep) {
        frame_kept_ = ok_;
        show_kept_frame(target);
    }
}

// The cells' viewport on the bound framebuffer, cleared.
void Gles3Renderer::clear_view() {
    gl_.Viewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
    gl_.ClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    gl_.ClearDepthf(1.0f);
    gl_.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The cells with the program into the bound framebuffer, cleared first.
void Gles3Renderer::paint_cells(const CellProgram& p, const Automaton& field) {
    drawn_size_ = window_;
    clear_view();
    gl_.UseProgram(p.id);
    if (p.light_position >= 0) move_lights(p.light_position);
    const std::array<float, 16> modelview = model_view();
    const std::array<float, 16> mvp = multiply(projection_, modelview);
    gl_.UniformMatrix4fv(p.mvp, 1, GL_FALSE, mvp.data());
    gl_.UniformMatrix4fv(p.modelview, 1, GL_FALSE, modelview.data());
    gl_.Uniform2f(p.point_shift, point_shift_[0], point_shift_[1]);
    const float side = static_cast<float>(field.field_size());
    gl_.Uniform1f(p.side, side);
    gl_.Uniform1f(p.h, 0.5f / side);
    gl_.Uniform1f(p.pitch, 1.0f / side);
    gl_.Uniform1f(p.ramp, CellColours(field.field_size(), MainColor_, 1 - OneColor_).column_ramp(1));
    gl_.Uniform1f(p.states, static_cast<float>(field.states()));
    upload_cells(field);  // binds on the active unit, 0: before the picture is bound there
    if (picture_on_) {
        gl_.ActiveTexture(GL_TEXTURE0);
        gl_.BindTexture(GL_TEXTURE_2D, picture_);
    }
    if (ok_) draw_cells(p);
    if (picture_on_) gl_.BindTexture(GL_TEXTURE_2D, 0);
    gl_.UseProgram(0);
}

// The kept unlit frame lit onto the bound target (see kLightPassBody); false
// where its program cannot be built.
bool Gles3Renderer::light_pass() {
    if (light_program_ == 0) {
        const std::string defines =
            "#define LIGHTS " + std::to_string(std::clamp(LightingNum_, 1, kMovingLights)) + "\n";
        const std::string fragment = std::string(kVertexHead) + defines + kLightSource + kLightPassBody;
        if (!link(kLightPassVertexSource, fragment, "light pass", light_program_)) return false;
        u_pass_mvp_ = gl_.GetUniformLocation(light_program_, "u_mvp");
        u_pass_modelview_ = gl_.GetUniformLocation(light_program_, "u_modelview");
        u_pass_light_position_ = gl_.GetUniformLocation(light_program_, "u_light_position");
        gl_.UseProgram(light_program_);
        gl_.Uniform1i(gl_.GetUniformLocation(light_program_, "u_frame"), 1);
        set_light_constants(light_program_, std::clamp(LightingNum_, 1, kMovingLights));
    }
    clear_view();
    gl_.Disable(GL_DEPTH_TEST);
    gl_.UseProgram(light_program_);
    move_lights(u_pass_light_position_);
    const std::array<float, 16> modelview = model_view();
    const std::array<float, 16> mvp = multiply(projection_, modelview);
    gl_.UniformMatrix4fv(u_pass_mvp_, 1, GL_FALSE, mvp.data());
    gl_.UniformMatrix4fv(u_pass_modelview_, 1, GL_FALSE, modelview.data());
    gl_.BindVertexArray(vertex_array_);
    gl_.ActiveTexture(GL_TEXTURE1);
    gl_.BindTexture(GL_TEXTURE_2D, frame_colour_);
    gl_.DrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    gl_.BindTexture(GL_TEXTURE_2D, 0);
    gl_.ActiveTexture(GL_TEXTURE0);
    gl_.BindVertexArray(0);
    gl_.UseProgram(0);
    gl_.Enable(GL_DEPTH_TEST);
    return true;
}

// The kept frame onto the target, pixel for pixel; the target bound again.
void Gles3Renderer::show_kept_frame(GLint target) {
    gl_.BindFramebuffer(GL_READ_FRAMEBUFFER, frame_buffer_);
    gl_.BindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(target));
    gl_.BlitFramebuffer(0, 0, frame_size_[0], frame_size_[1], 0, 0, frame_size_[0], frame_size_[1], GL_COLOR_BUFFER_BIT,
                        GL_NEAREST);
    gl_.BindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(target));
}

int Gles3Renderer::max_texture_size() const {
    GLint size = 0;
    if (gl_.GetIntegerv != nullptr) gl_.GetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    return size;
}

bool Gles3Renderer::load_picture(const RgbImage& image) {
    if (!ok_) return false;
    picture_on_ = false;
    frame_kept_ = false;
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
    gl_.Viewport(0, 0, width, height);
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
    drop_kept_frame();
    const GLuint buffers[2] = {index_buffer_, text_buffer_};
    gl_.DeleteBuffers(2, buffers);
    if (vertex_array_ != 0) gl_.DeleteVertexArrays(1, &vertex_array_);
    const GLuint textures[3] = {picture_, glyph_texture_, cells_};
    gl_.DeleteTextures(3, textures);
    for (CellProgram& p : programs_)
        if (p.id != 0) gl_.DeleteProgram(p.id);
    if (unlit_points_.id != 0) gl_.DeleteProgram(unlit_points_.id);
    if (light_program_ != 0) gl_.DeleteProgram(light_program_);
    unlit_points_ = {};
    light_program_ = 0;
    if (text_program_ != 0) gl_.DeleteProgram(text_program_);
    programs_ = {};
    index_buffer_ = text_buffer_ = vertex_array_ = picture_ = glyph_texture_ = cells_ = 0;
    text_program_ = 0;
    cells_rows_ = 0;
    words_.clear();
    words_.shrink_to_fit();
    drawn_ = 0;
    kept_ = false;
    picture_on_ = false;
    ok_ = false;
}

}  // namespace orvex
