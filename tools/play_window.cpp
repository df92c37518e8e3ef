#include "play_window.h"

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

#include "progress.h"

#ifdef TIVORN_HAVE_SDL2
#include <SDL.h>
#endif

namespace cli {

#ifdef TIVORN_HAVE_SDL2

namespace {

const int kSquare = 8;                  // checkerboard squares, in frame pixels
const Uint32 kLight = 0xFFC8C8C8u, kDark = 0xFF969696u;
const auto kEventPoll = std::chrono::milliseconds(4); // the longest a wait goes without looking at events

} // namespace

struct CPlayWindow::Impl {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* frame = nullptr;   // the frame, bottom row first as the library keeps it
    SDL_Texture* checker = nullptr; // one texel per checkerboard square
    int width = 0, height = 0;      // of the texture
    int maxWidth = 0, maxHeight = 0;
    bool sdl = false, shown = false, closed = false;
    std::string title;

    ~Impl() {
        if (checker) SDL_DestroyTexture(checker);
        if (frame) SDL_DestroyTexture(frame);
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        if (sdl) SDL_Quit();
    }

    bool makeTextures(int w, int h) {
        if (checker) SDL_DestroyTexture(checker);
        if (frame) SDL_DestroyTexture(frame);
        checker = nullptr;
        frame = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STREAMING, w, h);
        const int cw = (w + kSquare - 1) / kSquare, ch = (h + kSquare - 1) / kSquare;
        if (frame) checker = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, cw, ch);
        if (!frame || !checker) return false;
        std::vector<Uint32> squares(static_cast<std::size_t>(cw) * ch);
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < cw; ++x) squares[static_cast<std::size_t>(y) * cw + x] = (x + y) % 2 ? kDark : kLight;
        SDL_UpdateTexture(checker, nullptr, squares.data(), cw * 4);
        SDL_SetTextureScaleMode(checker, SDL_ScaleModeNearest);
        SDL_SetTextureBlendMode(frame, SDL_BLENDMODE_BLEND);
        width = w;
        height = h;
        return true;
    }

    // The frame over its checkerboard, as large as the window allows with its proportions kept.
    void draw() {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        int ow = 0, oh = 0;
        SDL_GetRendererOutputSize(renderer, &ow, &oh);
        if (!frame || ow <= 0 || oh <= 0) return;
        const float scale = std::min(static_cast<float>(ow) / width, static_cast<float>(oh) / height);
        const SDL_FRect dest = {(ow - width * scale) / 2, (oh - height * scale) / 2, width * scale, height * scale};
        const SDL_Rect clip = {static_cast<int>(dest.x + 0.5f), static_cast<int>(dest.y + 0.5f),
                               static_cast<int>(dest.w + 0.5f), static_cast<int>(dest.h + 0.5f)};
        int cw = 0, ch = 0;
        SDL_QueryTexture(checker, nullptr, nullptr, &cw, &ch);
        const SDL_FRect board = {dest.x, dest.y, cw * kSquare * scale, ch * kSquare * scale};
        SDL_RenderSetClipRect(renderer, &clip);
        SDL_RenderCopyF(renderer, checker, nullptr, &board);
        SDL_RenderCopyExF(renderer, frame, nullptr, &dest, 0, nullptr, SDL_FLIP_VERTICAL); // bottom row first
        SDL_RenderSetClipRect(renderer, nullptr);
    }

    void handleEvents() {
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            if (e.type == SDL_QUIT || (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) ||
                (e.type == SDL_KEYDOWN && (e.key.keysym.sym == SDLK_ESCAPE || e.key.keysym.sym == SDLK_q)))
                closed = true;
            else if (e.type == SDL_WINDOWEVENT && shown &&
                     (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)) {
                draw();
                SDL_RenderPresent(renderer);
            }
        }
    }
};

bool CPlayWindow::available() {
    return true;
}

CPlayWindow::CPlayWindow() : m_pImpl(new Impl) {}

CPlayWindow::~CPlayWindow() = default;

bool CPlayWindow::open(const std::string& title, TVN_DWORD width, TVN_DWORD height) {
    Impl& m = *m_pImpl;
    const char* chosen = std::getenv("SDL_VIDEODRIVER");
#ifdef __unix__
    // Without a display SDL would try every other way to draw, and libraries would print on the way.
    if (!chosen && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        error("--window: no display to open a window on (DISPLAY is not set)");
        return false;
    }
#endif
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1"); // Ctrl-C stays the program's own
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error(std::string("--window: no display to open a window on (") + SDL_GetError() + ")");
        return false;
    }
    m.sdl = true;
    // SDL falls back on drawing nowhere; nobody would see that window.
    const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if (!chosen && (driver == "offscreen" || driver == "dummy")) {
        error("--window: no display to open a window on (only SDL's " + driver + " driver started)");
        return false;
    }
    // At the frame's size, or as much of the screen as it may take with its proportions kept.
    SDL_Rect screen = {0, 0, 0, 0};
    double scale = 1;
    if (SDL_GetDisplayUsableBounds(0, &screen) == 0 && screen.w > 0 && screen.h > 0)
        scale = std::min({1.0, 0.9 * screen.w / width, 0.9 * screen.h / height});
    const int w = std::max(1, static_cast<int>(width * scale)), h = std::max(1, static_cast<int>(height * scale));
    m.window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h, SDL_WINDOW_RESIZABLE);
    if (m.window) m.renderer = SDL_CreateRenderer(m.window, -1, 0);
    if (!m.renderer) {
        error(std::string("--window: cannot open a window (") + SDL_GetError() + ")");
        return false;
    }
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(m.renderer, &info) == 0) {
        m.maxWidth = info.max_texture_width;
        m.maxHeight = info.max_texture_height;
    }
    m.title = title;
    m.handleEvents();
    return true;
}

bool CPlayWindow::upload(const PLAY_FRAME& f) {
    Impl& m = *m_pImpl;
    const std::string size = std::to_string(f.width) + "x" + std::to_string(f.height);
    if (f.width > 32768 || f.height > 32768 || (m.maxWidth && static_cast<int>(f.width) > m.maxWidth) ||
        (m.maxHeight && static_cast<int>(f.height) > m.maxHeight)) {
        error("--window: a " + size + " frame is larger than the renderer's largest texture (" +
              std::to_string(m.maxWidth) + "x" + std::to_string(m.maxHeight) + ")");
        return false;
    }
    const int w = static_cast<int>(f.width), h = static_cast<int>(f.height);
    if ((w != m.width || h != m.height) && !m.makeTextures(w, h)) {
        error("--window: no texture for a " + size + " frame (" + SDL_GetError() + ")");
        return false;
    }
    SDL_UpdateTexture(m.frame, nullptr, f.pixels, w * 4);
    return true;
}

void CPlayWindow::present(const std::string& title) {
    Impl& m = *m_pImpl;
    m.draw();
    SDL_RenderPresent(m.renderer);
    m.shown = true;
    if (title != m.title) {
        m.title = title;
        SDL_SetWindowTitle(m.window, title.c_str());
    }
}

bool CPlayWindow::waitUntil(std::chrono::steady_clock::time_point due) {
    Impl& m = *m_pImpl;
    for (;;) {
        m.handleEvents();
        if (m.closed || interruptRequested()) return false;
        const auto now = std::chrono::steady_clock::now();
        if (now >= due) return true;
        std::this_thread::sleep_until(std::min(due, now + kEventPoll));
    }
}

bool CPlayWindow::closed() const {
    return m_pImpl->closed;
}

bool CPlayWindow::screenshot(const std::string& path) {
    Impl& m = *m_pImpl;
    m.draw();
    int ow = 0, oh = 0;
    SDL_GetRendererOutputSize(m.renderer, &ow, &oh);
    std::vector<TVN_DWORD> rows(static_cast<std::size_t>(std::max(ow, 0)) * std::max(oh, 0));
    if (rows.empty() ||
        SDL_RenderReadPixels(m.renderer, nullptr, SDL_PIXELFORMAT_ABGR8888, rows.data(), ow * 4) != 0) {
        error(path + ": the window's pixels cannot be read (" + SDL_GetError() + ")");
        return false;
    }
    CRGBAImage shot(static_cast<TVN_DWORD>(ow), static_cast<TVN_DWORD>(oh));
    TVN_DWORD* out = shot.getBuffer();
    for (int y = 0; y < oh; ++y) // the window's top row first, the library's bottom row first
        for (int x = 0; x < ow; ++x)
            out[static_cast<std::size_t>(oh - 1 - y) * ow + x] = rows[static_cast<std::size_t>(y) * ow + x] | 0xFF000000u;
    return savePicture(shot, path);
}

#else // built without SDL2: play refuses --window before it gets here

struct CPlayWindow::Impl {};

bool CPlayWindow::available() {
    return false;
}
CPlayWindow::CPlayWindow() = default;
CPlayWindow::~CPlayWindow() = default;
bool CPlayWindow::open(const std::string&, TVN_DWORD, TVN_DWORD) {
    return false;
}
bool CPlayWindow::upload(const PLAY_FRAME&) {
    return false;
}
void CPlayWindow::present(const std::string&) {}
bool CPlayWindow::waitUntil(std::chrono::steady_clock::time_point) {
    return false;
}
bool CPlayWindow::closed() const {
    return true;
}
bool CPlayWindow::screenshot(const std::string&) {
    return false;
}

#endif

} // namespace cli
