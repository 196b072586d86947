// One rule for the names of pattern files and pictures, from the folder listing
// to the settings file and back to opening the file.
//
// A name is held as bytes: on Windows in the system's ANSI code page, the
// encoding "ss_ca_02.ini" has always stored names in, elsewhere in UTF-8 (the
// bytes the file system gives). Folders are listed and files opened through the
// platform's own (on Windows: wide) names, so no narrow-character library
// conversion ever stands between a stored name and its file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orvex {

// The path of a file called name inside folder.
std::filesystem::path path_for_name(const std::filesystem::path& folder, const std::string& name);

// Whether name, joined to its folder by path_for_name, names a file in that
// folder: not empty; no separator ('/' or '\\'), no colon (a drive, a
// stream), no control character; not ".", ".." or any name Windows trims to
// nothing (it drops trailing dots and blanks); and not a device Windows
// reserves in every folder (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0..COM9,
// LPT0..LPT9, COM and LPT with a superscript 1..3), in any case, also with an
// extension or blanks before it ("nul.bmp", "Com1 .lif"). Judged by the same
// rules on every system, on the name the file system is given (on Windows the
// wide name, where a double-byte character's second byte is no separator), so
// a settings file means the same to every reader. Names from the settings
// file, which any user may write, are used only when this holds.
bool is_plain_file_name(const std::string& name);

// The held name of a path's last part; nothing when it can't be spelt in the
// held encoding (on Windows: a character outside the ANSI code page), since
// such a name could neither be stored nor opened again.
std::optional<std::string> name_of(const std::filesystem::path& path);

// Names of the regular files in folder, in the order the file system lists
// them; names name_of can't spell are left out. None when the folder is
// missing or can't be read.
std::vector<std::string> list_file_names(const std::filesystem::path& folder);

}  // namespace orvex
