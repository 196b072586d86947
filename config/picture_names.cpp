#include "config/picture_names.h"

#include <algorithm>
#include <cctype>

namespace orvex {

namespace {

bool ends_with_nocase(const std::string& name, const std::string& lower_suffix) {
    if (name.size() <= lower_suffix.size()) return false;  // "x.bmp" at least
    return std::equal(name.end() - static_cast<std::ptrdiff_t>(lower_suffix.size()), name.end(), lower_suffix.begin(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

bool has_other_extension(const std::string& name) {
    return ends_with_nocase(name, ".jpg") || ends_with_nocase(name, ".jpeg") || ends_with_nocase(name, ".png");
}

}  // namespace

PictureKind picture_kind(const std::string& name) {
    if (ends_with_nocase(name, ".bmp")) return PictureKind::Bmp;
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
