// Dialog templates loaded by hand, so that a bitmap dialog font without a
// size for this display's DPI can be exchanged for a scalable one before the
// dialog manager lays the dialog out in its units.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

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

namespace {

// Height `text` drawn word-wrapped by `font` in `width` pixels needs around the
// middle of its control. Some DrawText implementations (Wine's) measure a text
// narrower than they then need to draw it on as many lines; a button centres
// the rectangle it measured and draws in it, so the lines then run on below.
int wrapped_height(HDC dc, HFONT font, const std::wstring& text, int width) {
    HGDIOBJ old = SelectObject(dc, font);
    constexpr UINT kFlags = DT_CALCRECT | DT_WORDBREAK | DT_CENTER;
    RECT measured{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), -1, &measured, kFlags);
    RECT drawn{0, 0, measured.right, 0};
    DrawTextW(dc, text.c_str(), -1, &drawn, kFlags);
    SelectObject(dc, old);
    return std::max(measured.bottom, 2 * drawn.bottom - measured.bottom);
}

// The label of a multi-line check box or radio button: its text, the width
// left beside the box and the height visible around the control's middle
// (a later sibling overlapping its lower edge hides what is drawn there).
struct Label {
    std::wstring text;
    int width = 0;
    int height = 0;
};

bool multiline_label(HWND control, HDC dc, Label& label) {
    wchar_t kind[16] = {};
    GetClassNameW(control, kind, 16);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const LONG type = style & BS_TYPEMASK;
    const bool boxed = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                       type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
    if (_wcsicmp(kind, L"Button") != 0 || !(style & BS_MULTILINE) || !boxed) return false;
    label.text.resize(GetWindowTextLengthW(control) + 1);
    label.text.resize(GetWindowTextW(control, label.text.data(), static_cast<int>(label.text.size())));
    RECT own{};
    GetWindowRect(control, &own);
    // The box (12 pixels and a line at 96 DPI) and the gap after it, half a digit.
    SIZE digit{};
    GetTextExtentPoint32W(dc, L"0", 1, &digit);
    label.width = (own.right - own.left) - (MulDiv(12, GetDeviceCaps(dc, LOGPIXELSX), 96) + 1) - digit.cx / 2;
    LONG bottom = own.bottom;
    for (HWND other = GetWindow(control, GW_HWNDNEXT); other; other = GetWindow(other, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(other, &r);
        if ((GetWindowLongW(other, GWL_STYLE) & WS_VISIBLE) && r.left < own.right && r.right > own.left &&
            r.top > own.top && r.top < bottom)
            bottom = r.top;
    }
    const LONG middle = (own.top + own.bottom) / 2;
    label.height = static_cast<int>(std::min<LONG>(own.bottom - own.top, 2 * (bottom - middle)));
    return !label.text.empty() && label.width > 0;
}

}  // namespace

std::vector<HFONT> fit_multiline_labels(HWND dialog) {
    std::vector<HFONT> made;
    HDC dc = GetDC(dialog);
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        LOGFONTW face{};
        if (!font || !GetObjectW(font, sizeof face, &face)) continue;
        HGDIOBJ old = SelectObject(dc, font);
        Label label;
        const bool found = multiline_label(control, dc, label);
        SelectObject(dc, old);
        if (!found || wrapped_height(dc, font, label.text, label.width) <= label.height) continue;
        const LONG full = std::abs(face.lfHeight);
        HFONT fitted = nullptr;
        for (LONG pixels = full - 1; pixels * 4 >= full * 3; --pixels) {
            if (fitted) DeleteObject(fitted);
            face.lfHeight = face.lfHeight < 0 ? -pixels : pixels;
            fitted = CreateFontIndirectW(&face);
            if (!fitted || wrapped_height(dc, fitted, label.text, label.width) <= label.height) break;
        }
        if (!fitted) continue;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fitted), FALSE);
        made.push_back(fitted);
    }
    ReleaseDC(dialog, dc);
    return made;
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
