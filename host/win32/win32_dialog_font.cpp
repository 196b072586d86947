// Dialog templates loaded by hand, so that a bitmap dialog font without a
// size for this display's DPI can be exchanged for a scalable one before the
// dialog manager lays the dialog out in its units.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "host/win32/win32_configure_dialog.h"

namespace orvex::win32 {

namespace {

// Words of a DLGTEMPLATEEX before its menu: version, signature, help id,
// extended style, style, item count, x, y, cx, cy.
constexpr std::size_t kHeaderWords = 13;

// Index of the word after the name or ordinal starting at `at`, or `end`.
std::size_t skip_name(const WORD* words, std::size_t at, std::size_t end) {
    if (at >= end) return end;
    if (words[at] == 0xFFFF) return at + 2;
    while (at < end && words[at] != 0) ++at;
    return at + 1;
}

// Whether `face` at `points` draws `points` at `dpi`: true for scalable faces
// and for bitmap strikes within a pixel of the asked character height.
bool face_fits(const wchar_t* face, int points, int weight, int dpi) {
    const int pixels = MulDiv(points, dpi, 72);
    HFONT font = CreateFontW(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
    if (!font) return true;
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    TEXTMETRICW metrics{};
    const bool measured = GetTextMetricsW(screen, &metrics) != 0;
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
    if (!measured || (metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE))) return true;
    return std::abs(metrics.tmHeight - metrics.tmInternalLeading - pixels) <= 1;
}

// Index of the font's point size in an extended template with a font (the
// weight, italic and charset words follow, then the face), else 0.
std::size_t font_at(const WORD* words, std::size_t end) {
    if (end <= kHeaderWords || words[0] != 1 || words[1] != 0xFFFF) return 0;
    DWORD style = 0;
    std::memcpy(&style, words + 6, sizeof style);
    if (!(style & DS_SETFONT)) return 0;
    std::size_t at = skip_name(words, kHeaderWords, end);  // menu
    at = skip_name(words, at, end);                        // class
    at = skip_name(words, at, end);                        // title
    return at + 3 < end ? at : 0;
}

}  // namespace

std::vector<WORD> with_font_face(const void* dialog, std::size_t size, const wchar_t* face) {
    const auto* words = static_cast<const WORD*>(dialog);
    const std::size_t end = size / sizeof(WORD);
    const std::size_t font = font_at(words, end);
    if (!font) return {};
    const std::size_t face_end = skip_name(words, font + 3, end);
    if (face_end >= end) return {};
    // Items start on a DWORD boundary after the face, and so they do again.
    const std::size_t items_at = (face_end + 1) & ~std::size_t{1};
    std::vector<WORD> result(words, words + font + 3);
    result.insert(result.end(), face, face + std::wcslen(face) + 1);
    if (result.size() % 2) result.push_back(0);
    result.insert(result.end(), words + items_at, words + end);
    return result;
}

std::vector<WORD> dialog_template_for_display(HINSTANCE instance, int id) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const auto* words = static_cast<const WORD*>(loaded ? LockResource(loaded) : nullptr);
    if (!words) return {};
    const std::size_t size = SizeofResource(instance, found);
    const std::size_t font = font_at(words, size / sizeof(WORD));
    if (!font) return {};
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const auto* face = reinterpret_cast<const wchar_t*>(words + font + 3);
    if (face_fits(face, words[font], words[font + 1], dpi))
        return std::vector<WORD>(words, words + size / sizeof(WORD));
    return with_font_face(words, size, kScalableDialogFace);
}

INT_PTR dialog_box(HINSTANCE instance, int id, HWND owner, DLGPROC procedure, LPARAM parameter) {
    const std::vector<WORD> dialog = dialog_template_for_display(instance, id);
    if (dialog.empty()) return DialogBoxParamW(instance, MAKEINTRESOURCEW(id), owner, procedure, parameter);
    return DialogBoxIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(dialog.data()), owner, procedure,
                                   parameter);
}

HWND create_dialog(HINSTANCE instance, int id, HWND owner, DLGPROC procedure, LPARAM parameter) {
    const std::vector<WORD> dialog = dialog_template_for_display(instance, id);
    if (dialog.empty()) return CreateDialogParamW(instance, MAKEINTRESOURCEW(id), owner, procedure, parameter);
    return CreateDialogIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(dialog.data()), owner, procedure,
                                      parameter);
}

}  // namespace orvex::win32
