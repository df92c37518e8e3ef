// The window of `tivorn play --window`: one frame at a time, scaled to the
// window with its proportions kept, over a grey checkerboard where it is
// transparent. Drawn with SDL2 when the program was built with it.
#ifndef TIVORN_TOOLS_PLAY_WINDOW_H
#define TIVORN_TOOLS_PLAY_WINDOW_H

#include <chrono>
#include <memory>
#include <string>

#include "play_source.h"

namespace cli {

class CPlayWindow {
public:
    // False when this program was built without SDL2.
    static bool available();

    CPlayWindow();
    ~CPlayWindow();
    // Opens the window at the first frame's size (smaller when the screen is);
    // false with one line on stderr when there is no display.
    bool open(const std::string& title, TVN_DWORD width, TVN_DWORD height);
    // Puts the frame into the window's texture, ready to show; false with one
    // line on stderr when the renderer cannot take it.
    bool upload(const PLAY_FRAME& frame);
    // Shows the frame uploaded last, with the given title.
    void present(const std::string& title);
    // Waits until `due` while handling the window's events; false as soon as the
    // window is closed (or Esc or q pressed) or Ctrl-C arrives.
    bool waitUntil(std::chrono::steady_clock::time_point due);
    bool closed() const;
    // Writes the window's pixels showing the last frame to path (.png or .tga).
    bool screenshot(const std::string& path);

private:
    CPlayWindow(const CPlayWindow&) = delete;
    CPlayWindow& operator=(const CPlayWindow&) = delete;
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

} // namespace cli

#endif
