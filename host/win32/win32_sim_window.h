// The simulation window: the child that covers the saver window, owns the
// rendering context, runs the automaton on timer 9101 and asks for a frame on
// timer 9102. Its procedure is ScreenSaverChildProc; its state is one
// SimulationWindow, handed over as the window's creation data.
#pragma once

#include <windows.h>

#include <memory>

#include "host/saver_startup.h"
#include "host/tick_loop.h"
#include "host/win32/wgl_context.h"
#include "render/message_sink.h"
#include "render/scene.h"
#include "render/text_font.h"
#include "seed/simulation.h"

LRESULT CALLBACK ScreenSaverChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

namespace orvex::win32 {

// Messages for the user in a message box owned by the window with the keyboard focus.
class MessageBoxSink final : public MessageSink {
public:
    void show(const std::string& caption, const std::string& text) override;
};

// Glyph lists from the "Courier New" bold GDI font, through wglUseFontBitmapsA.
class WglGlyphs final : public GlyphSource {
public:
    explicit WglGlyphs(HDC dc) : dc_(dc) {}
    void make_glyph_lists(int first, int count, unsigned list_base) override;

private:
    HDC dc_;
};

class SimulationWindow {
public:
    SimulationWindow(HWND main_window, const SaverStart& start);
    SimulationWindow(const SimulationWindow&) = delete;
    SimulationWindow& operator=(const SimulationWindow&) = delete;
    ~SimulationWindow();

    // Registers the window class; false when the platform refuses it.
    static bool register_class(HINSTANCE instance);

    // Releases the font and the picture while the context is still current.
    void release_scene();

    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void on_create(HWND window);
    void on_paint();
    void on_destroy();
    LRESULT pass_input(UINT message, WPARAM wParam, LPARAM lParam);

    HWND main_window_;
    HWND window_ = nullptr;
    Settings settings_;
    std::filesystem::path maker_folder_;
    std::vector<int32_t> pattern_matrix_;

    HDC hDC = nullptr;
    PIXELFORMATDESCRIPTOR pfd;
    WglContext hRC;
    MessageBoxSink messages_;
    std::unique_ptr<WglGlyphs> glyphs_;
    std::unique_ptr<Scene> scene_;
    std::unique_ptr<Simulation> simulation_;
    TickLoop ticks_;
};

}  // namespace orvex::win32
