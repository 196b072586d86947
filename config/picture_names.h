// Which file names are pictures, and how a picture's name travels between the
// folder, the settings file's line 17 and the file that is opened.
//
// Pictures are BMP, JPEG and PNG files (".bmp", ".jpg", ".jpeg", ".png",
// letter case ignored). Lists put the BMPs first, each group in the folder's
// listing order. Line 17 holds a BMP's name without ".bmp" and any other
// picture's name whole, so a reader that appends ".bmp" to every stored name
// finds no file for a JPEG or PNG and falls back harmlessly.
#pragma once

#include <string>
#include <vector>

namespace orvex {

enum class PictureKind { None, Bmp, Other };

// What a file name's extension makes it: Other for JPEG and PNG.
PictureKind picture_kind(const std::string& name);

// The names of the pictures among names: the BMPs first, then the others,
// each group in the given order.
std::vector<std::string> picture_names_bmp_first(const std::vector<std::string>& names);

// The file a stored name stands for: a name that ends in ".jpg", ".jpeg" or
// ".png" as it is, any other with ".bmp" appended.
std::string picture_file_for_stored(const std::string& stored);

// What the dialog lists and stores for a picture file: a BMP less ".bmp",
// any other picture whole.
std::string stored_name_for_picture(const std::string& file_name);

}  // namespace orvex
