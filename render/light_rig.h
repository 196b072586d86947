// The lights as the settings set them up, the same for both renderers: where
// the moving lights start, where each one points and its colour (given to the
// GL as ambient), the viewer's light, the spot cone and the material.
#pragma once

#include <array>

#include "render/moving_lights.h"

namespace orvex {

struct LightRig {
    std::array<std::array<float, 3>, kMovingLights> spot_direction{};
    std::array<std::array<float, 4>, kMovingLights> colour{};
};

// Puts the moving lights at their start for lighting_num lights (0..3) and
// gives their directions and colours; main_color is the main colour's radio
// identifier (two lights move its channel from the first light to the second).
LightRig place_lights(int lighting_num, int main_color, MovingLights& lights);

// The viewer's light, from the eye straight ahead with no cone.
constexpr std::array<float, 3> kViewerDirection = {0.0f, 0.0f, -10.0f};
constexpr std::array<float, 4> kViewerColour = {0.31f, 0.31f, 0.31f, 0.1f};
constexpr float kViewerExponent = 8.0f;
constexpr float kViewerCutoff = 180.0f;  // degrees: no cone
// The moving lights' cone.
constexpr float kSpotExponent = 5.0f;
constexpr float kSpotCutoff = 36.0f;  // degrees
// The cells' material.
constexpr std::array<float, 4> kSpecular = {0.7f, 0.7f, 0.7f, 1.0f};
constexpr float kShininess = 40.0f;

}  // namespace orvex
