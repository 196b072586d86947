// The configuration dialog from its template with its real procedure, driven
// by window messages as the user's clicks and keys would drive it, over a
// maker folder of the test's own. Needs an X display under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "dialog/dialog_ids.h"
#include "host/win32/win32_configure_dialog.h"
#include "tests/support/temp_folder.h"

namespace orvex::win32 {
namespace {

namespace fs = std::filesystem;

using test::read_file;

std::string crlf_lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    return text;
}

class ConfigureDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
        scratch_ = std::make_unique<test::TempFolder>();
        folders_.base_folder = scratch_->path;
        folders_.maker_folder = folders_.base_folder / "Halvorn ScreenSavers";
        fs::create_directories(folders_.maker_folder / "Patterns2d");
        fs::create_directories(folders_.maker_folder / "Pictures");
        write("Patterns2d/Glider.lif", "#Life 1.05\n#D 2x2\n#P 0 0\n**\n");
        write("Patterns2d/Big_Circles.lif", "#Life 1.05\n#D conwayslife\n#P 0 0\n*\n");
        write("Pictures/sea.bmp", "BM");
    }
    void TearDown() override {
        if (dialog_) DestroyWindow(dialog_);
        scratch_.reset();
    }

    void write(const std::string& name, const std::string& text) {
        std::ofstream(folders_.maker_folder / name, std::ios::binary) << text;
    }
    fs::path settings() const { return folders_.maker_folder / "ss_ca_02.ini"; }

    void open() {
        if (dialog_) DestroyWindow(dialog_);
        dialog_ = create_dialog(GetModuleHandleA(nullptr), IDD_CONFIGURE, nullptr, ScreenSaverConfigureDialog,
                                reinterpret_cast<LPARAM>(&folders_));
        ASSERT_NE(dialog_, nullptr);
        ShowWindow(dialog_, SW_SHOW);
    }
    // What the dialog posted to itself, as its message loop would deliver it.
    void pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (!IsDialogMessageA(dialog_, &msg)) DispatchMessageA(&msg);
    }
    void click(int id) { SendDlgItemMessageA(dialog_, id, BM_CLICK, 0, 0); }
    // Typed into the Rule box, and the box left.
    void type_rule(const char* text) {
        type(IDC_RULE_TEXT, text);
        SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_RULE_TEXT, EN_KILLFOCUS),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog_, IDC_RULE_TEXT)));
    }
    std::string text(int id) {
        char text[300] = {};
        GetDlgItemTextA(dialog_, id, text, sizeof text);
        return text;
    }
    void type(int id, const char* text) { SetDlgItemTextA(dialog_, id, text); }
    void choose(int id, int index) {
        SendDlgItemMessageA(dialog_, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog_, id)));
    }
    int count(int id) { return static_cast<int>(SendDlgItemMessageA(dialog_, id, CB_GETCOUNT, 0, 0)); }
    std::string shown(int id) {
        const LRESULT i = SendDlgItemMessageA(dialog_, id, CB_GETCURSEL, 0, 0);
        char text[100] = {};
        if (i >= 0)
            SendDlgItemMessageA(dialog_, id, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        return text;
    }
    bool ended() { return !IsWindowVisible(dialog_); }
    std::vector<std::string> lines() {
        std::vector<std::string> result;
        std::string text = read_file(settings());
        for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
            result.push_back(text.substr(at, end - at));
        return result;
    }

    std::unique_ptr<test::TempFolder> scratch_;
    ConfigureDialogFolders folders_;
    HWND dialog_ = nullptr;
};

TEST_F(ConfigureDialogTest, OkWithoutFileAndBoxRanges) {
    open();
    click(IDOK);
    EXPECT_TRUE(ended());
    EXPECT_EQ(read_file(settings()), crlf_lines({"1022", "1026", "0", "0", "0", "1", "100", "0", "0", "1045", "0", "0",
                                                 "0", "1050", "10.000000", "Random_Points", "--none--", "0", ""}));
    open();
    type(IDC_FIELD_SIZE, "50");
    type(IDC_SPEED, "0");
    type(IDC_RESET_TIME, "");
    click(IDC_PICTURE_ON);
    click(IDC_RED);
    click(IDC_FIELD_PER_MONITOR);
    click(IDOK);
    std::vector<std::string> l = lines();
    ASSERT_EQ(l.size(), 19u);
    EXPECT_EQ(l[0] + " " + l[5] + " " + l[6] + " " + l[11] + " " + l[14] + " " + l[17], "1020 1 100 0 10.000000 1");
    open();  // the 19 lines read back and written again
    type(IDC_FIELD_SIZE, "2000");
    choose(IDC_PICTURE, 1);
    click(IDC_PICTURE_ON);
    click(IDOK);
    l = lines();
    EXPECT_EQ(l[6] + " " + l[11] + " " + l[16] + " " + l[17], "1000 1 sea 1");
}

TEST_F(ConfigureDialogTest, FamilyRuleDefaultFilterAndRuleBox) {
    open();
    choose(IDC_PATTERN, 8);  // Big_Circles.lif
    choose(IDC_RULE, 0);     // the rule already chosen: the pattern stays
    EXPECT_EQ(SendDlgItemMessageA(dialog_, IDC_PATTERN, CB_GETCURSEL, 0, 0), 8);
    choose(IDC_FAMILY, 1);
    EXPECT_EQ(count(IDC_RULE), 10);
    EXPECT_EQ(shown(IDC_RULE), "Banners");
    EXPECT_EQ(shown(IDC_PATTERN), "Random_Points");
    choose(IDC_RULE, 9);
    choose(IDC_PATTERN, 7);
    click(IDC_FIELD_PER_MONITOR);
    click(IDC_DEFAULT);
    EXPECT_EQ(shown(IDC_FAMILY), "Generation");
    EXPECT_EQ(shown(IDC_RULE), "Xtasy");
    EXPECT_EQ(SendDlgItemMessageA(dialog_, IDC_PATTERN, CB_GETCURSEL, 0, 0), 4);
    EXPECT_EQ(count(IDC_PATTERN), 9);
    click(IDC_ONLY_RULE_PATTERNS);  // on, family not Life: only the built-ins
    EXPECT_EQ(count(IDC_PATTERN), 7);
    click(IDOK);
    EXPECT_EQ(read_file(settings()), crlf_lines({"1022", "1027", "1", "9", "0", "18", "250", "1", "1", "1045", "0", "0",
                                                 "0", "1051", "12.000000", "Random_Points", "--none--", "0", ""}));

    // The Rule box: a typed rule selects its catalogue entry or Custom; one that
    // doesn't read is refused beside the box, and OK keeps the last that did.
    write("Patterns2d/hl.rle", "x = 1, y = 1, rule = B36/S23\no!\n");
    fs::remove(settings());
    open();
    type_rule("B3/S23");
    EXPECT_EQ(shown(IDC_RULE), "Conway's Life");
    choose(IDC_PATTERN, 9);  // hl.rle: its own rule offered beside the list
    EXPECT_EQ(text(IDC_PATTERN_RULE), "Run it as B36/S23");
    type_rule("B36/S23");
    EXPECT_EQ(shown(IDC_RULE) + " " + shown(IDC_PATTERN), "Custom hl.rle");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog_, IDC_PATTERN_RULE)));  // nothing more to offer
    type_rule("B9");
    EXPECT_EQ(text(IDC_RULE_MESSAGE), "Rule \"B9\": a cell has at most 8 neighbours, not 9.");
    click(IDOK);  // the last rule that read
    std::vector<std::string> l = lines();
    ASSERT_EQ(l.size(), 19u);
    EXPECT_EQ(l[2] + " " + l[3] + " " + l[15] + " " + l[18], "0 4 hl.rle B36/S23");

    open();  // typed, then OK at once
    EXPECT_EQ(shown(IDC_RULE) + " " + text(IDC_RULE_MESSAGE), "Custom ");
    type(IDC_RULE_TEXT, "B2356/S1456/C16");
    click(IDOK);
    l = lines();
    EXPECT_EQ(l[2] + " " + l[3] + " [" + l[18] + "]", "1 9 []");  // Xtasy
}

TEST_F(ConfigureDialogTest, KeyboardOrderAndCancelWritesNothing) {
    const std::string before = crlf_lines({"1021", "1028", "0", "4", "1", "7", "300", "0", "0", "1047", "1", "0", "0",
                                           "1049", "45.000000", "Random_Blocks", "sea"});
    write("ss_ca_02.ini", before);
    open();
    EXPECT_EQ(shown(IDC_PICTURE), "sea");
    // Tab visits the controls in the template's order, each radio group at its chosen button.
    std::vector<int> order;
    HWND first = GetNextDlgTabItem(dialog_, nullptr, FALSE);
    for (HWND w = first; w && order.size() < 40; w = GetNextDlgTabItem(dialog_, w, FALSE)) {
        order.push_back(GetDlgCtrlID(w));
        if (GetNextDlgTabItem(dialog_, w, FALSE) == first) break;
    }
    EXPECT_EQ(order, (std::vector<int>{IDC_QUADS,
                                       IDC_GREEN,
                                       IDC_ONE_COLOR,
                                       IDC_LIGHTS_2,
                                       IDC_PICTURE_ON,
                                       IDC_PICTURE_CYCLING,
                                       IDC_PICTURE,
                                       IDC_WHERE_PICTURES,
                                       IDC_FAMILY,
                                       IDC_RULE,
                                       IDC_RULE_TEXT,
                                       IDC_PATTERN,
                                       IDC_ONLY_RULE_PATTERNS,
                                       IDC_TRANSPARENT_BORDERS,
                                       IDC_FIELD_SIZE,
                                       IDC_SPEED,
                                       IDC_RESET_OFF,
                                       IDC_RESET_TIME,
                                       IDC_FIELD_PER_MONITOR,
                                       IDC_ABOUT,
                                       IDC_DEFAULT,
                                       IDCANCEL,
                                       IDOK}));
    // The template's font, as the platform found it.
    HDC dc = GetDC(dialog_);
    HGDIOBJ old_font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dialog_, WM_GETFONT, 0, 0)));
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, LF_FACESIZE, face);
    SelectObject(dc, old_font);
    ReleaseDC(dialog_, dc);
    EXPECT_STREQ(face, "MS Sans Serif") << "under Wine: fonts-wine installed? (scripts/wine-run copies it)";
    // Arrow keys stay inside a radio group.
    EXPECT_EQ(GetDlgCtrlID(GetNextDlgGroupItem(dialog_, GetDlgItem(dialog_, IDC_BLUE), FALSE)), IDC_RED);

    for (int id : {IDC_RED, IDC_POINTS, IDC_ONE_COLOR, IDC_DEFAULT}) click(id);
    choose(IDC_FAMILY, 2);
    click(IDCANCEL);
    EXPECT_TRUE(ended());
    open();
    type(IDC_SPEED, "3");
    SendMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
    pump();
    EXPECT_TRUE(ended());
    open();
    MSG escape{GetDlgItem(dialog_, IDC_SPEED), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageA(dialog_, &escape));
    EXPECT_TRUE(ended());
    EXPECT_EQ(read_file(settings()), before);
}

// Closes the first message box the dialog shows and keeps its text.
class MessageBoxCloser {
public:
    MessageBoxCloser()
        : thread_([this] {
              for (int i = 0; i < 100 && !done_; ++i, Sleep(50)) {
                  HWND box = FindWindowA("#32770", "Orvex ScreenSaver v 2.0");
                  if (!box) continue;
                  char buffer[1000] = {};
                  GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);  // the message box's text
                  text_ = buffer;
                  PostMessageA(box, WM_COMMAND, IDOK, 0);
                  return;
              }
          }) {}
    ~MessageBoxCloser() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
    }
    std::string text() {
        done_ = true;
        thread_.join();
        return text_;
    }

private:
    std::atomic<bool> done_{false};
    std::string text_;
    std::thread thread_;
};

TEST_F(ConfigureDialogTest, ReadOnlyFileIsReportedAndKept) {
    const std::string before = crlf_lines({"1020", "1025", "0", "0", "0", "5", "200", "0", "0", "1045", "0", "0", "0",
                                           "1050", "30.000000", "Random_Points", "--none--"});
    write("ss_ca_02.ini", before);
    const std::wstring file = settings().wstring();
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    open();
    click(IDC_GREEN);
    MessageBoxCloser closer;
    click(IDOK);
    const std::string message = closer.text();
    EXPECT_NE(message.find("ss_ca_02.ini"), std::string::npos) << message;
    EXPECT_FALSE(ended());
    EXPECT_EQ(read_file(settings()), before);
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(IsDlgButtonChecked(dialog_, IDC_GREEN));
}

// The controls of `dialog` in Z order: identifier and text.
std::vector<std::string> controls(HWND dialog) {
    std::vector<std::string> result;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char text[100] = {};
        GetWindowTextA(c, text, sizeof text);
        result.push_back(std::to_string(GetDlgCtrlID(c)) + " " + text);
    }
    return result;
}

std::wstring font_face(HWND dialog) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfFaceName;
}

INT_PTR CALLBACK inert(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The font face exchanged in a copy of the template, with faces of both
// parities of length (the controls behind the face move by a word or not):
// every control is still read, and the dialog uses the new face.
TEST(DialogTemplateTest, FaceExchangeKeepsEveryControl) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(IDD_CONFIGURE), MAKEINTRESOURCEW(5));
    ASSERT_NE(found, nullptr);
    const void* original = LockResource(LoadResource(instance, found));
    const std::size_t size = SizeofResource(instance, found);

    // At the tests' 96 DPI the bitmap face has its size: the template is used as it is.
    const std::vector<WORD> for_display = dialog_template_for_display(instance, IDD_CONFIGURE);
    ASSERT_EQ(for_display.size() * sizeof(WORD), size);
    EXPECT_EQ(std::memcmp(for_display.data(), original, size), 0);

    HWND reference = CreateDialogIndirectParamW(instance, static_cast<LPCDLGTEMPLATEW>(original), nullptr, inert, 0);
    ASSERT_NE(reference, nullptr);
    const std::vector<std::string> expected = controls(reference);
    DestroyWindow(reference);
    ASSERT_EQ(expected.size(), 50u);

    for (const wchar_t* face : {kScalableDialogFace, L"Arial"}) {
        const std::vector<WORD> copy = with_font_face(original, size, face);
        ASSERT_FALSE(copy.empty());
        HWND dialog =
            CreateDialogIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()), nullptr, inert, 0);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(controls(dialog), expected);
        EXPECT_EQ(font_face(dialog), face);
        DestroyWindow(dialog);
    }
    const WORD not_extended[20] = {};
    EXPECT_TRUE(with_font_face(not_extended, sizeof not_extended, L"Tahoma").empty());
}

// Labels that fit keep the dialog font; a multi-line label too long for its check
// box gets a smaller one, and only that control.
TEST(DialogTemplateTest, OnlyLabelsThatDoNotFitGetASmallerFont) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    HWND dialog = CreateDialogParamW(GetModuleHandleA(nullptr), MAKEINTRESOURCEW(IDD_CONFIGURE), nullptr, inert, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(fit_multiline_labels(dialog).empty());

    const auto height = [](HWND window) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
        return std::abs(font.lfHeight);
    };
    SetDlgItemTextW(dialog, IDC_ONLY_RULE_PATTERNS,
                    L"Only Patterns allowed by certain Rule, and only those, whatever the folder holds");
    const std::vector<HFONT> made = fit_multiline_labels(dialog);
    EXPECT_EQ(made.size(), 1u);
    const LONG full = height(dialog), fitted = height(GetDlgItem(dialog, IDC_ONLY_RULE_PATTERNS));
    EXPECT_LT(fitted, full);
    EXPECT_GE(fitted * 4, full * 3);
    EXPECT_EQ(height(GetDlgItem(dialog, IDC_TRANSPARENT_BORDERS)), full);
    DestroyWindow(dialog);
    for (HFONT font : made) DeleteObject(font);
}

}  // namespace
}  // namespace orvex::win32
