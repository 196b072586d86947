#include "config/picture_names.h"

#include "base/text_chars.h"

namespace orvex {

namespace {

bool has_other_extension(const std::string& name) {
    return has_extension(name, ".jpg") || has_extension(name, ".jpeg") || has_extension(name, ".png");
}

}  // namespace

PictureKind picture_kind(const std::string& name) {
    if (has_extension(name, ".bmp")) return PictureKind::Bmp;
    return has_other_extension(name) ? PictureKind::Other : PictureKind::None;
}

std::vector<std::string> picture_names_bmp_first(const std::vector<std::string>& names) {
    std::vector<std::string> out;
    for (PictureKind kind : {PictureKind::Bmp, PictureKind::Other})
        for (const std::string& name : names)
            if (picture_kind(name) == kind) out.push_back(name);
    return out;
}

std::string picture_file_for_stored(const std::string& stored) {
    return has_other_extension(stored) ? stored : stored + ".bmp";
}

std::string stored_name_for_picture(const std::string& file_name) {
    if (picture_kind(file_name) == PictureKind::Bmp) return file_name.substr(0, file_name.size() - 4);
    return file_name;
}

}  // namespace orvex
