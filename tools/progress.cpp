// Progress bar and interrupt handling of the tivorn program.
#include "progress.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <unistd.h> // isatty; MinGW's unistd.h provides it too

namespace cli {
namespace {

volatile std::sig_atomic_t g_interrupt = 0;
unsigned long g_progressCalls = 0;
unsigned long g_interruptAt = 0; // test hook; 0 = off

const int kBarWidth = 30;

extern "C" void onInterrupt(int) {
    if (g_interrupt)
        std::_Exit(130); // the second Ctrl-C does not wait for the next progress call
    g_interrupt = 1;
}

} // namespace

void installInterruptHandler() {
    if (const char* at = std::getenv("TIVORN_TEST_INTERRUPT_AT"))
        g_interruptAt = std::strtoul(at, nullptr, 10);
    std::signal(SIGINT, onInterrupt);
}

bool interruptRequested() {
    return g_interrupt != 0;
}

CProgress::CProgress(bool quiet)
    : m_bDraw(!quiet && isatty(fileno(stderr))), m_bShown(false), m_nLast(-1) {}

CProgress::~CProgress() {
    end();
}

void CProgress::begin(const std::string& label) {
    end();
    m_strLabel = label;
    m_nLast = -1;
}

void CProgress::end() {
    if (m_bShown) {
        std::fprintf(stderr, "\r%*s\r", kBarWidth + 48, "");
        std::fflush(stderr);
        m_bShown = false;
    }
}

void CProgress::draw(unsigned percent) {
    char bar[kBarWidth + 1];
    const int filled = static_cast<int>(percent) * kBarWidth / 100;
    for (int i = 0; i < kBarWidth; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[kBarWidth] = 0;
    std::fprintf(stderr, "\r%-36.36s [%s] %3u%%", m_strLabel.c_str(), bar, percent);
    std::fflush(stderr);
    m_bShown = true;
}

int TVN_CDECL CProgress::callback(unsigned char percent, void* user) {
    CProgress* self = static_cast<CProgress*>(user);
    if (g_interruptAt && ++g_progressCalls == g_interruptAt)
        g_interrupt = 1;
    if (g_interrupt)
        return 0;
    if (self && self->m_bDraw && percent != self->m_nLast) {
        self->m_nLast = percent;
        self->draw(percent);
    }
    return 1;
}

} // namespace cli
