// The progress bar of long library calls, and Ctrl-C as a clean abort.
#ifndef TIVORN_TOOLS_PROGRESS_H
#define TIVORN_TOOLS_PROGRESS_H

#include <string>

#include "tivorn.h"

namespace cli {

// Draws a bar on stderr while a resize runs, driven by the library's progress
// callback; draws nothing when stderr is not a terminal or when quiet. The
// callback returns 0 (abort) once an interrupt was requested.
class CProgress {
public:
    explicit CProgress(bool quiet);
    ~CProgress();
    // Starts a bar for the next call that takes proc() and user(); label names it.
    void begin(const std::string& label);
    // Clears the bar.
    void end();
    IMG_PROGRESS_PROC proc() const { return &CProgress::callback; }
    void* user() { return this; }

private:
    static int TVN_CDECL callback(unsigned char percent, void* user);
    void draw(unsigned percent);

    bool m_bDraw;
    bool m_bShown;
    int m_nLast;
    std::string m_strLabel;
};

// Ctrl-C sets a flag that the progress callback and the steps between library
// calls look at; a second Ctrl-C ends the program at once.
// Test hook: TIVORN_TEST_INTERRUPT_AT=n acts as a Ctrl-C at the n-th progress
// call of the run (counting from 1), so tests can abort a resize on cue.
void installInterruptHandler();
bool interruptRequested();

} // namespace cli

#endif
