#include "render/gl11/scene.h"

#include <algorithm>

#include "render/gl11/gl.h"
#include "render/light_rig.h"

namespace orvex {

namespace {

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
    const LightRig rig = place_lights(LightingNum_, MainColor_, lights_);
    spot_direction_ = rig.spot_direction;
    colour_ = rig.colour;
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
        glLightfv(GL_LIGHT3, GL_SPOT_DIRECTION, kViewerDirection.data());
        glLightfv(GL_LIGHT3, GL_AMBIENT, kViewerColour.data());
        glLightf(GL_LIGHT3, GL_SPOT_EXPONENT, kViewerExponent);
        glLightf(GL_LIGHT3, GL_SPOT_CUTOFF, kViewerCutoff);

        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, kSpecular.data());
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, kShininess);

        lights_.reset_clocks();

        if (LightingNum_ == 1) {
            glEnable(GL_LIGHT0);
            set_light(0);
        } else if (LightingNum_ == 2) {
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
