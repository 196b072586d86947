// The pictures that cycle over the field: the list of picture names in the
// pictures folder (BMPs first, then JPEGs and PNGs, config/picture_names.h) and
// the choice of the current one. No GL here; the texture
// load that follows the choice belongs to the scene.
//
// The folder listing is injected as a function returning the folder's file
// names in the platform's listing order, so that tests can feed any list.
// Names longer than kMaxPictureName characters don't fit an entry and are
// skipped, as if they weren't in the folder.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "config/settings.h"

namespace orvex {

using PictureLister = std::function<std::vector<std::string>()>;

// Names of the regular files in the folder, held as config/file_names.h says,
// in the order the file system gives them; none when the folder is missing or
// can't be read.
PictureLister folder_lister(std::filesystem::path folder);

// True for names ending in ".bmp", letter case ignored, with a name before it.
bool is_bmp_name(const std::string& name);

constexpr int kMaxPictures = 100;
constexpr std::size_t kMaxPictureName = 29;

class PictureCycler {
public:
    // start_offset: how many entries past the first choice the first call lands
    // (one saver per monitor starts each monitor at another picture).
    explicit PictureCycler(PictureLister lister, int start_offset = 0);

    // Lists the folder afresh; clears Texture_Renew when it holds fewer than
    // two pictures. 0 when the list filled up (and the listing stopped), else 1.
    int Find_Pictures(Settings& settings);

    // First call after Find_Pictures: finds picture_name in the list (exact
    // comparison) or takes entry 0, then moves on by the start offset; every
    // later call moves on by one and wraps.
    int Find_Next_Picture(const Settings& settings);

    // The list part of a seeding's picture step: with cycling on, moves to the
    // next picture and makes it picture_name. The texture load comes after it.
    void advance_for_seeding(Settings& settings);
    // The name the next advance_for_seeding would make picture_name, the start
    // offset included.
    std::string peek_next(const Settings& settings) const;

    const std::vector<std::string>& pictures() const { return pictures_list; }
    int count() const { return max_pictures; }
    int current() const { return current_picture_number; }
    int search_started() const { return SearchStarted; }

private:
    PictureLister lister_;
    int start_offset_ = 0;
    std::vector<std::string> pictures_list;  // at most kMaxPictures names
    int max_pictures = 0;
    int current_picture_number = 0;
    int SearchStarted = 0;
};

}  // namespace orvex
