// ScreenSaverConfigureDialog: unpacks the dialog's messages into calls on a
// ConfigureDialogState and shows that state in the controls.
#include "host/win32/win32_configure_dialog.h"

#include <iterator>
#include <memory>
#include <string>

#include "config/rule_text.h"
#include "config/settings_file.h"
#include "dialog/configure_dialog.h"
#include "dialog/dialog_ids.h"
#include "host/win32/saver_startup.h"
#include "host/win32/win32_text.h"

namespace orvex::win32 {

namespace {

// First and last button of each radio group, and the check boxes.
constexpr int kRadioGroups[][2] = {
    {IDC_RED, IDC_BLUE}, {IDC_POINTS, IDC_QUADS}, {IDC_LIGHTS_OFF, IDC_LIGHTS_3}, {IDC_RESET_OFF, IDC_RESET_ON_TIME}};
constexpr int kCheckBoxes[] = {IDC_ONE_COLOR,           IDC_PICTURE_ON,      IDC_ONLY_RULE_PATTERNS,
                               IDC_TRANSPARENT_BORDERS, IDC_PICTURE_CYCLING, IDC_FIELD_PER_MONITOR};

struct ConfigureWindow {
    explicit ConfigureWindow(const ConfigureDialogFolders& where)
        : folders(where), files(where.maker_folder), state(files, load_dialog_settings(where.maker_folder)) {}

    ~ConfigureWindow() {
        for (HFONT font : fitted_fonts) DeleteObject(font);
    }

    ConfigureDialogFolders folders;
    FolderMakerFiles files;
    ConfigureDialogState state;
    std::vector<HFONT> fitted_fonts;  // made for labels that did not fit; the controls are gone first
};

ConfigureWindow* window_of(HWND dialog) {
    return reinterpret_cast<ConfigureWindow*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void fill_list(HWND dialog, int id, const ComboList& list) {
    SendDlgItemMessageA(dialog, id, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : list.entries)
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
}

void show(HWND dialog, const ConfigureDialogState& state, unsigned what) {
    if (what & kRefreshRuleList) fill_list(dialog, IDC_RULE, state.rule_list());
    if (what & kRefreshPatternList) fill_list(dialog, IDC_PATTERN, state.pattern_list());
    if (what & kRefreshButtons) {
        for (const auto& group : kRadioGroups)
            for (int id = group[0]; id <= group[1]; ++id)
                CheckDlgButton(dialog, id, state.checked(id) ? BST_CHECKED : BST_UNCHECKED);
        for (int id : kCheckBoxes) CheckDlgButton(dialog, id, state.checked(id) ? BST_CHECKED : BST_UNCHECKED);
    }
    if (what & kRefreshBoxes) {
        SetDlgItemTextA(dialog, IDC_FIELD_SIZE, state.field_size_text().c_str());
        SetDlgItemTextA(dialog, IDC_SPEED, state.speed_text().c_str());
        SetDlgItemTextA(dialog, IDC_RESET_TIME, state.reset_time_text().c_str());
    }
    if (what & kRefreshRuleBox) SetDlgItemTextW(dialog, IDC_RULE_TEXT, wide_from_utf8(state.rule_box_text()).c_str());
    if (what & kRefreshRuleNotes) {
        SetDlgItemTextW(dialog, IDC_RULE_MESSAGE, wide_from_utf8(state.rule_message()).c_str());
        const std::string offer = state.pattern_rule_offer();
        HWND button = GetDlgItem(dialog, IDC_PATTERN_RULE);
        SetWindowTextW(button, wide_from_utf8(offer).c_str());
        if (offer.empty() && GetFocus() == button)  // pressed: the focus goes back to the list
            SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_PATTERN)), TRUE);
        ShowWindow(button, offer.empty() ? SW_HIDE : SW_SHOW);
    }
    if (what & kRefreshSelections) {
        SendDlgItemMessageA(dialog, IDC_FAMILY, CB_SETCURSEL, static_cast<WPARAM>(state.family_list().selected), 0);
        SendDlgItemMessageA(dialog, IDC_RULE, CB_SETCURSEL, static_cast<WPARAM>(state.rule_list().selected), 0);
        SendDlgItemMessageA(dialog, IDC_PATTERN, CB_SETCURSEL, static_cast<WPARAM>(state.pattern_list().selected), 0);
        SendDlgItemMessageA(dialog, IDC_PICTURE, CB_SETCURSEL, static_cast<WPARAM>(state.picture_list().selected), 0);
    }
}

std::string box_text(HWND dialog, int id) {
    char text[kMaxBoxText + 1] = {};
    GetDlgItemTextA(dialog, id, text, static_cast<int>(sizeof text));
    return text;
}

// The Rule box's text, applied once the user leaves the box and on OK; the
// notation already shown changes nothing.
void apply_rule_box(HWND dialog, ConfigureDialogState& state) {
    wchar_t text[kMaxRuleText + 2] = {};
    GetDlgItemTextW(dialog, IDC_RULE_TEXT, text, static_cast<int>(std::size(text)));
    const std::string typed = utf8_from_wide(text);
    if (typed != state.rule_box_text() || !state.rule_message().empty()) show(dialog, state, state.type_rule(typed));
}

int selected(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0)); }

// OK: takes the controls' values and writes the file. When it can't be
// written the user is told why and the dialog stays, with every choice in it.
void on_ok(HWND dialog, ConfigureWindow& w) {
    apply_rule_box(dialog, w.state);  // a rule that doesn't read leaves the one chosen before
    const DialogSettings d =
        w.state.take(box_text(dialog, IDC_FIELD_SIZE), box_text(dialog, IDC_SPEED), box_text(dialog, IDC_RESET_TIME),
                     selected(dialog, IDC_FAMILY), selected(dialog, IDC_RULE), selected(dialog, IDC_PATTERN),
                     selected(dialog, IDC_PICTURE));
    WriteResult written;
    if (w.folders.maker_folder.empty())
        written = {false, std::string("no folder for \"") + kSettingsFileName + "\" was found"};
    else
        written = save_settings_file(w.folders.maker_folder, d);
    if (written) {
        EndDialog(dialog, 1);
        return;
    }
    message_box(dialog,
                "The settings could not be saved:\n\n" + written.message +
                    "\n\nThe dialog stays open with your choices; Cancel leaves without saving.",
                kSaverTitle, MB_OK | MB_ICONERROR);
}

// A completed choice in a list: a selection change while the list is closed
// (keyboard, or the mouse's choice once the list has closed), or the closing of
// a dropped list. Changes while the list is open are the user still looking.
bool completed_choice(HWND dialog, int id, int code) {
    if (code == CBN_CLOSEUP) return true;
    return code == CBN_SELCHANGE && !SendDlgItemMessageA(dialog, id, CB_GETDROPPEDSTATE, 0, 0);
}

INT_PTR on_command(HWND dialog, ConfigureWindow& w, int id, int code) {
    ConfigureDialogState& state = w.state;
    switch (id) {
        case IDOK: on_ok(dialog, w); return TRUE;
        case IDCANCEL: EndDialog(dialog, 1); return TRUE;
        case IDC_ABOUT:
            dialog_box(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE)), IDD_ABOUT, dialog,
                       AboutDialog, reinterpret_cast<LPARAM>(&w.folders));
            return TRUE;
        case IDC_WHERE_PICTURES:
            dialog_box(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE)), IDD_WHERE_PICTURES,
                       dialog, WherePictures, reinterpret_cast<LPARAM>(&w.folders));
            return TRUE;
        case IDC_FAMILY:
            if (completed_choice(dialog, id, code)) show(dialog, state, state.choose_family(selected(dialog, id)));
            return TRUE;
        case IDC_RULE:
            if (completed_choice(dialog, id, code)) show(dialog, state, state.choose_rule(selected(dialog, id)));
            return TRUE;
        case IDC_PATTERN:
            if (code == CBN_SELCHANGE || code == CBN_CLOSEUP)
                show(dialog, state, state.choose_pattern(selected(dialog, id)));
            return TRUE;
        case IDC_RULE_TEXT:
            if (code == EN_KILLFOCUS) apply_rule_box(dialog, state);
            return TRUE;
        default:
            if (code == BN_CLICKED) show(dialog, state, state.command(id));
            return TRUE;
    }
}

}  // namespace

}  // namespace orvex::win32

INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    using namespace orvex;
    using namespace orvex::win32;
    switch (message) {
        case WM_INITDIALOG: {
            auto* w = new ConfigureWindow(*reinterpret_cast<const ConfigureDialogFolders*>(lParam));
            SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(w));
            w->fitted_fonts = fit_multiline_labels(dialog);
            fill_list(dialog, IDC_FAMILY, w->state.family_list());
            fill_list(dialog, IDC_PICTURE, w->state.picture_list());
            SendDlgItemMessageW(dialog, IDC_RULE_TEXT, EM_LIMITTEXT, kMaxRuleText, 0);
            show(dialog, w->state,
                 kRefreshRuleList | kRefreshPatternList | kRefreshButtons | kRefreshBoxes | kRefreshSelections |
                     kRefreshRuleBox | kRefreshRuleNotes);
            return TRUE;  // focus on the first control, ready for the keyboard
        }
        case WM_COMMAND:
            if (ConfigureWindow* w = window_of(dialog)) return on_command(dialog, *w, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_NCDESTROY:
            delete window_of(dialog);
            SetWindowLongPtrA(dialog, DWLP_USER, 0);
            return FALSE;
        default: return FALSE;
    }
}
