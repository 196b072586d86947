// orvex-hack: the saver as an XScreenSaver hack, also run by xsecurelock.
//
// One thread. The loop sleeps in poll() on the X connection and a self-pipe
// that the signal handler writes to, until the next deadline of the simulation
// or redraw timer; then it hands X events to the session, lets the pacer run
// the ticks that are due, shows the session's messages on stderr and, when a
// tick asked for one, draws a frame and swaps. SIGTERM, SIGINT and
// SIGUSR1 end it with status 0; so does the end of the window it was given.
// A window id that names no window is an error: a message and status 1.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "base/freed_memory.h"
#include "host/x11/glx_glyphs.h"
#include "host/x11/glx_window.h"
#include "host/x11/hack_files.h"
#include "host/x11/hack_options.h"
#include "host/x11/process_random.h"
#include "render/gles3/gles3_renderer.h"
#include "saver/frame_pacer.h"
#include "saver/saver_session.h"

#if defined(__SANITIZE_ADDRESS__)
// Mesa's GLX and DRI drivers keep allocations for the life of the process
// (drawables, the driver's screen, the libraries' own caches); the leak checker
// looks away from those libraries only.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libGLX_mesa.so\nleak:swrast_dri.so\n"
           "leak:libglapi.so\nleak:libX11.so\nleak:libLLVM\n";
}
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif

namespace orvex::x11 {

namespace {

int g_signal_pipe[2] = {-1, -1};

extern "C" void on_signal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] ssize_t n = write(g_signal_pipe[1], &byte, 1);
    errno = saved;
}

bool install_signal_pipe() {
    if (pipe2(g_signal_pipe, O_NONBLOCK | O_CLOEXEC) != 0) return false;
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    for (int s : {SIGTERM, SIGINT, SIGUSR1}) sigaction(s, &action, nullptr);
    return true;
}

extern "C" int on_connection_lost(Display*) {
    _exit(0);  // the X server went away, and with it the screen to draw on
}

using Clock = FramePacer::Clock;

double ms_since(Clock::time_point start, Clock::time_point now) {
    return std::chrono::duration<double, std::milli>(now - start).count();
}

WindowTarget choose_target(const HackOptions& options) {
    const char* variable = std::getenv("XSCREENSAVER_WINDOW");
    if (std::optional<unsigned long> id = window_from_environment(options, variable))
        return {WindowTarget::Kind::kForeign, *id,
                options.window == WindowChoice::kWindowId ? options.window_id_text : std::string(variable)};
    if (options.window == WindowChoice::kRoot) return {WindowTarget::Kind::kRoot, 0, {}};
    return {WindowTarget::Kind::kOwn, 0, {}};
}

// Sleeps until the deadline, a signal or an X event, whichever comes first.
// True when a signal asked the saver to end.
bool wait_until(Clock::time_point deadline, int x_fd) {
    const auto left = deadline - Clock::now();
    const long long ns = left.count() > 0 ? std::chrono::duration_cast<std::chrono::nanoseconds>(left).count() : 0;
    const timespec timeout{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    pollfd fds[2] = {{g_signal_pipe[0], POLLIN, 0}, {x_fd, POLLIN, 0}};
    if (ppoll(fds, 2, &timeout, nullptr) > 0 && (fds[0].revents & POLLIN)) return true;
    return false;
}

int run(const HackOptions& options) {
    const SaverFiles files = hack_files(config_folder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")),
                                        installed_patterns_folder(), options.overrides.picture);
    const SettingsOverrides overrides = [&options](Settings& s) { apply_overrides(options.overrides, s); };
    if (options.print_settings) {
        print_settings(resolve_saver_start(files, std::nullopt, overrides).settings, std::cout);
        return 0;
    }
    if (!install_signal_pipe()) {
        std::perror(kHackName);
        return 1;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::cerr << kHackName << ": cannot open the X display '"
                  << (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "") << "'\n";
        return 1;
    }
    XSetIOErrorHandler(on_connection_lost);
    int status = 0;
    {
        const WindowTarget target = choose_target(options);
        const char* const title = "Orvex ScreenSaver v 2.0";
        std::unique_ptr<GlxWindow> shaded;
        if (options.renderer == RendererChoice::kGles3) {
            shaded = std::make_unique<GlxWindow>(display, target, title, GlxWindow::Api::kGles3);
            if (!shaded->ok() && !shaded->vanished()) {
                std::cerr << kHackName << ": OpenGL ES 3 cannot start here (" << shaded->error()
                          << "); drawing with OpenGL 1.1\n";
                shaded.reset();
            }
        }
        std::unique_ptr<GlxWindow> fixed;
        if (shaded == nullptr) fixed = std::make_unique<GlxWindow>(display, target, title);
        GlxWindow& window = shaded != nullptr ? *shaded : *fixed;
        if (!window.ok()) {
            if (!window.vanished()) std::cerr << kHackName << ": " << window.error() << "\n";
            status = window.vanished() ? 0 : 1;
        } else {
            SaverStart start = resolve_saver_start(files, window.width(), overrides);
            if (!start.settings_error.empty()) std::cerr << kHackName << ": " << start.settings_error << "\n";
            GlxGlyphs glyphs(display);
            SessionServices services;
            services.glyphs = &glyphs;
            // One saver per monitor, all started in the same second: each its own field and lights.
            const std::uint64_t salt = this_process_salt();
            services.seed_random = std::make_unique<SaltedRandom>(salt);
            services.light_random = std::make_unique<SaltedRandom>(mix64(salt));
            services.picture_worker = std::make_shared<ThreadPictureWorker>();
            if (shaded != nullptr)
                services.renderer = [](const Settings& settings, CalendarClock clock,
                                       std::unique_ptr<RandomSource> random, MessageSink& messages,
                                       GlyphSource* glyph_source) -> std::unique_ptr<FrameRenderer> {
                    Gles3Services s;
                    s.gl_procs = GlxWindow::gl_proc;
                    s.messages = &messages;
                    s.clock = std::move(clock);
                    s.random = std::move(random);
                    s.glyphs = glyph_source;
                    return std::make_unique<Gles3Renderer>(settings, std::move(s));
                };
            SaverSession session(std::move(start), std::move(services));
            session.init(window.width(), window.height());

            const Clock::time_point begin = Clock::now();
            long long steps = 0, redraw_ticks = 0, frames = 0;
            bool frame_wanted = false;
            FramePacer pacer(
                [&] {
                    session.tick();
                    ++steps;
                    if (options.trace) std::fprintf(stderr, "step %lld %.1f\n", steps, ms_since(begin, Clock::now()));
                    while (std::optional<SessionMessage> m = session.take_message())
                        std::cerr << kHackName << ": " << m->caption << ": " << m->text << "\n";
                },
                [&] { frame_wanted = true; },
                [&] {
                    ++redraw_ticks;
                    return session.redraw_wanted();
                });
            pacer.start(std::chrono::milliseconds(session.simulation_interval_ms()),
                        std::chrono::milliseconds(SaverSession::redraw_interval_ms()), begin);
            bool running = true;
            while (running) {
                for (GlxWindow::Event e = window.next_event(); e != GlxWindow::Event::kNone && running;
                     e = window.next_event()) {
                    if (e == GlxWindow::Event::kResized) session.resize(window.width(), window.height());
                    if (e == GlxWindow::Event::kExposed) session.expose();
                    if (e == GlxWindow::Event::kClosed || e == GlxWindow::Event::kVanished) running = false;
                }
                if (!running) break;
                pacer.poll(Clock::now());
                if (frame_wanted) {
                    frame_wanted = false;
                    session.draw();
                    if (options.fps) session.draw_frame_rate(glyphs.line_height());
                    window.swap_buffers();
                    ++frames;
                    if (options.trace) std::fprintf(stderr, "frame %lld %.1f\n", frames, ms_since(begin, Clock::now()));
                }
                if (wait_until(pacer.next_deadline(), ConnectionNumber(display))) running = false;
            }
            if (options.trace) {
                std::fprintf(stderr, "redraw ticks %lld in %.1f\n", redraw_ticks, ms_since(begin, Clock::now()));
                // Reseeds that came before their picture was decoded, and so kept the one before.
                std::fprintf(stderr, "pictures late %d\n", session.late_pictures());
            }
            session.release();
        }
    }
#if !defined(__SANITIZE_ADDRESS__)
    // Under the leak checker the connection is left to the process exit:
    // closing it unloads Mesa's driver, and the driver's own remaining
    // allocations could then no longer be told apart from ours.
    XCloseDisplay(display);
#endif
    return status;
}

}  // namespace

}  // namespace orvex::x11

int main(int argc, char** argv) {
    using namespace orvex::x11;
    orvex::keep_freed_memory();
    HackOptions options;
    const ParseResult parsed =
        parse_hack_options(std::vector<std::string>(argv + 1, argv + argc), options, std::cout, std::cerr);
    if (!parsed.run) return parsed.exit_code;
    return run(options);
}
