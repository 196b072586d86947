// Starts of a session that tests of the session and of its hosts share.
#pragma once

#include <filesystem>

#include "picture/bmp_reader.h"
#include "saver/saver_start.h"

namespace orvex::test {

inline RgbImage plain_picture() {
    RgbImage img;
    img.width = img.height = 4;
    img.pixels.assign(4 * 4 * 3, 200);
    return img;
}

// Pictures on and cycling, reset by time every 10 s, a 640-pixel window.
inline SaverStart cycling_start(const std::filesystem::path& pictures) {
    SaverStart start;
    start.settings.DrawStyle = kStyleQuads;
    start.settings.TextureFlag = start.settings.Texture_Renew = 1;
    start.settings.ResetMode = kResetTime;
    start.settings.ResetTimeValue = 10.0;
    start.settings.picture_name = "p0.bmp";
    start.pictures_folder = pictures;
    return start;
}

}  // namespace orvex::test
