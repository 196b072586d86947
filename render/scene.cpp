#include "render/scene.h"

#include <algorithm>

#include "render/gl.h"

namespace orvex {

namespace {

// Light table: start positions, spot directions and colours (given as GL_AMBIENT).
constexpr std::array<float, 4> kStartPosition[kMovingLights] = {
    {1.0f, 0.5f, 1.5f, 1.0f}, {-1.0f, 0.0f, 1.5f, 1.0f}, {1.0f, -0.5f, 1.5f, 1.0f}};
constexpr std::array<float, 3> kSpotDirection[kMovingLights] = {
    {-1.0f, 0.0f, -10.0f}, {0.0f, 0.5f, -10.0f}, {1.0f, 0.0f, -10.0f}};
constexpr std::array<float, 4> kColour[kMovingLights] = {
    {0.91f, 0.21f, 0.21f, 0.1f}, {0.21f, 0.91f, 0.21f, 0.1f}, {0.21f, 0.21f, 0.91f, 0.1f}};
constexpr GLfloat kViewerDirection[3] = {0.0f, 0.0f, -10.0f};
constexpr GLfloat kViewerColour[4] = {0.31f, 0.31f, 0.31f, 0.1f};
constexpr GLfloat kViewerExponent = 8.0f;
constexpr GLfloat kViewerCutoff = 180.0f;  // no cone
constexpr GLfloat kSpotExponent = 5.0f;
constexpr GLfloat kSpotCutoff = 36.0f;
constexpr GLfloat kSpecular[4] = {0.7f, 0.7f, 0.7f, 1.0f};
constexpr GLfloat kShininess = 40.0f;

constexpr float kMainColourShift = 0.3f;  // two lights: main channel moved from light 0 to light 1

// Projection: fixed width at the near plane, height by the aspect ratio.
constexpr GLdouble kFrustumHalfWidth = 4.0;
constexpr float kAspectToHalfHeight = 2.605f;
constexpr GLdouble kNear = 4.0;
constexpr GLdouble kFar = 4096.0;

GLenum gl_light(int k) { return static_cast<GLenum>(GL_LIGHT0 + k); }

}  // namespace

Scene::Scene(const Settings& settings, SceneServices services)
    : MainColor_(settings.MainColor),
      DrawStyle_(settings.DrawStyle),
      Family_(settings.Family),
      OneColor_(settings.OneColor),
      LightingNum_(settings.LightingNum),
      pictures_(services.pictures),
      lights_(std::move(services.clock), std::move(services.random)),
      glyphs_(services.glyphs),
      gl_procs_(services.gl_procs) {}

void Scene::GLSetupRC() {
    for (int k = 0; k < kMovingLights; ++k) {
        lights_.light(k).pos = kStartPosition[k];
        spot_direction_[k] = kSpotDirection[k];
        colour_[k] = kColour[k];
    }
    posS_ = {0.0f, 0.0f, 0.0f, 1.0f};

    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_POLYGON_SMOOTH);
    glDisable(GL_FOG);
    glShadeModel(GL_SMOOTH);

    font_.BuildFont(glyphs_);
    cells_.use_buffer_objects(gl_procs_);

    if (LightingNum_ == 0) {
        glEnable(GL_COLOR_MATERIAL);
        glDisable(GL_NORMALIZE);
        glDisable(GL_AUTO_NORMAL);
        glDisable(GL_LIGHTING);
        for (int k = 0; k <= kMovingLights; ++k) glDisable(gl_light(k));
    } else {
        glDisable(GL_COLOR_MATERIAL);
        glEnable(GL_NORMALIZE);
        glEnable(GL_AUTO_NORMAL);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT3);

        glLightfv(GL_LIGHT3, GL_POSITION, posS_.data());
        glLightfv(GL_LIGHT3, GL_SPOT_DIRECTION, kViewerDirection);
        glLightfv(GL_LIGHT3, GL_AMBIENT, kViewerColour);
        glLightf(GL_LIGHT3, GL_SPOT_EXPONENT, kViewerExponent);
        glLightf(GL_LIGHT3, GL_SPOT_CUTOFF, kViewerCutoff);

        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, kSpecular);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, kShininess);

        lights_.reset_clocks();

        if (LightingNum_ == 1) {
            lights_.light(0).pos = {0.0f, 0.0f, 1.5f, 1.0f};
            spot_direction_[0] = {0.0f, 0.0f, -10.0f};
            colour_[0] = {0.55f, 0.55f, 0.55f, 0.1f};
            glEnable(GL_LIGHT0);
            set_light(0);
        } else if (LightingNum_ == 2) {
            lights_.light(0).pos = {0.5f, 0.5f, 1.5f, 1.0f};
            lights_.light(1).pos = {-0.5f, -0.5f, 1.5f, 1.0f};
            spot_direction_[0] = {0.0f, -0.5f, -10.0f};
            colour_[0] = {0.65f, 0.65f, 0.65f, 0.1f};
            colour_[1] = {0.45f, 0.45f, 0.45f, 0.1f};
            const int main = std::clamp(MainColor_ - kColorRed, 0, 2);
            colour_[0][main] -= kMainColourShift;
            colour_[1][main] += kMainColourShift;
            glEnable(GL_LIGHT0);
            glEnable(GL_LIGHT1);
            set_light(0);
            set_light(1);
        } else {
            glEnable(GL_LIGHT0);
            glEnable(GL_LIGHT1);
            glEnable(GL_LIGHT2);
            for (int k = 0; k < kMovingLights; ++k) set_light(k);
        }
    }

    one_color_flag_ = 1 - OneColor_;
}

void Scene::set_light(int k) {
    const GLenum light = gl_light(k);
    glLightfv(light, GL_POSITION, lights_.light(k).pos.data());
    glLightfv(light, GL_SPOT_DIRECTION, spot_direction_[k].data());
    glLightfv(light, GL_AMBIENT, colour_[k].data());
    glLightf(light, GL_SPOT_EXPONENT, kSpotExponent);
    glLightf(light, GL_SPOT_CUTOFF, kSpotCutoff);
}

void Scene::GLResize(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    xf_ = static_cast<float>(width) / static_cast<float>(height);
    xf_ = xf_ * kAspectToHalfHeight;
    glFrustum(-kFrustumHalfWidth, kFrustumHalfWidth, -xf_, xf_, kNear, kFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void Scene::GLRenderScene(const Automaton& field) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    if (LightingNum_ != 0) {
        lights_.MoveLights(LightingNum_);
        for (int k = 0; k < LightingNum_ && k < kMovingLights; ++k)
            glLightfv(gl_light(k), GL_POSITION, lights_.light(k).pos.data());
        glLightfv(GL_LIGHT3, GL_POSITION, posS_.data());
    }

    glScalef(10.0f, 8.7f, 1.0f);
    glTranslatef(-0.5f, -0.49f, -1.0f);

    CellDrawing d;
    d.DrawStyle = DrawStyle_;
    d.MainColor = MainColor_;
    d.LightingNum = LightingNum_;
    d.one_color_flag = one_color_flag_;
    d.texture = pictures_ && pictures_->TextureFlag() != 0 ? pictures_->texture() : 0;
    d.textured = d.texture != 0;
    if (Family_ != kFamilyLife)
        cells_.RenderGenerations(field, d);
    else
        cells_.RenderLife(field, d);
}

void Scene::GLFree() {
    font_.KillFont();
    cells_.release();
}

}  // namespace orvex
