#include "render/light_rig.h"

#include <algorithm>

#include "config/settings.h"

namespace orvex {

namespace {

constexpr std::array<float, 4> kStartPosition[kMovingLights] = {
    {1.0f, 0.5f, 1.5f, 1.0f}, {-1.0f, 0.0f, 1.5f, 1.0f}, {1.0f, -0.5f, 1.5f, 1.0f}};
constexpr std::array<float, 3> kSpotDirection[kMovingLights] = {
    {-1.0f, 0.0f, -10.0f}, {0.0f, 0.5f, -10.0f}, {1.0f, 0.0f, -10.0f}};
constexpr std::array<float, 4> kColour[kMovingLights] = {
    {0.91f, 0.21f, 0.21f, 0.1f}, {0.21f, 0.91f, 0.21f, 0.1f}, {0.21f, 0.21f, 0.91f, 0.1f}};
constexpr float kMainColourShift = 0.3f;  // two lights: main channel moved from light 0 to light 1

}  // namespace

LightRig place_lights(int lighting_num, int main_color, MovingLights& lights) {
    LightRig rig;
    for (int k = 0; k < kMovingLights; ++k) {
        lights.light(k).pos = kStartPosition[k];
        rig.spot_direction[static_cast<std::size_t>(k)] = kSpotDirection[k];
        rig.colour[static_cast<std::size_t>(k)] = kColour[k];
    }
    if (lighting_num == 1) {
        lights.light(0).pos = {0.0f, 0.0f, 1.5f, 1.0f};
        rig.spot_direction[0] = {0.0f, 0.0f, -10.0f};
        rig.colour[0] = {0.55f, 0.55f, 0.55f, 0.1f};
    } else if (lighting_num == 2) {
        lights.light(0).pos = {0.5f, 0.5f, 1.5f, 1.0f};
        lights.light(1).pos = {-0.5f, -0.5f, 1.5f, 1.0f};
        rig.spot_direction[0] = {0.0f, -0.5f, -10.0f};
        rig.colour[0] = {0.65f, 0.65f, 0.65f, 0.1f};
        rig.colour[1] = {0.45f, 0.45f, 0.45f, 0.1f};
        const auto main = static_cast<std::size_t>(std::clamp(main_color - kColorRed, 0, 2));
        rig.colour[0][main] -= kMainColourShift;
        rig.colour[1][main] += kMainColourShift;
    }
    return rig;
}

}  // namespace orvex
