#include "picture/pictures.h"

#include <algorithm>
#include <utility>

#include "base/text_chars.h"
#include "config/file_names.h"
#include "config/picture_names.h"

namespace orvex {

PictureLister folder_lister(std::filesystem::path folder) {
    return [folder = std::move(folder)]() { return list_file_names(folder); };
}

bool is_bmp_name(const std::string& name) { return has_extension(name, ".bmp"); }

PictureCycler::PictureCycler(PictureLister lister, int start_offset)
    : lister_(std::move(lister)), start_offset_(start_offset > 0 ? start_offset : 0) {}

int PictureCycler::Find_Pictures(Settings& settings) {
    pictures_list.clear();
    max_pictures = 0;
    current_picture_number = 0;
    SearchStarted = 0;
    for (const std::string& name : picture_names_bmp_first(lister_())) {
        if (name.size() > kMaxPictureName) continue;
        pictures_list.push_back(name);
        if (++max_pictures == kMaxPictures) return 0;
    }
    if (max_pictures < 2) settings.Texture_Renew = 0;
    return 1;
}

int PictureCycler::Find_Next_Picture(const Settings& settings) {
    if (SearchStarted == 0) {
        SearchStarted = 1;
        const auto found = std::find(pictures_list.begin(), pictures_list.end(), settings.picture_name);
        current_picture_number = found == pictures_list.end() ? 0 : static_cast<int>(found - pictures_list.begin());
        if (max_pictures > 0) current_picture_number = (current_picture_number + start_offset_) % max_pictures;
        return 1;
    }
    if (++current_picture_number >= max_pictures) current_picture_number = 0;
    return 1;
}

std::string PictureCycler::peek_next(const Settings& settings) const {
    if (settings.Texture_Renew != 1 || max_pictures == 0) return settings.picture_name;
    int next = current_picture_number + 1;
    if (SearchStarted == 0) {
        const auto found = std::find(pictures_list.begin(), pictures_list.end(), settings.picture_name);
        next = found == pictures_list.end() ? 0 : static_cast<int>(found - pictures_list.begin());
        next += start_offset_;  // as Find_Next_Picture's first call
    }
    return pictures_list[static_cast<std::size_t>(next % max_pictures)];
}

void PictureCycler::advance_for_seeding(Settings& settings) {
    if (settings.Texture_Renew != 1) return;
    Find_Next_Picture(settings);
    // Without a listing there is no entry to take; the name from the settings stays.
    if (current_picture_number < max_pictures) settings.picture_name = pictures_list[current_picture_number];
}

}  // namespace orvex
