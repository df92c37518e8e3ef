// What `tivorn play` plays: a numbered frame run through CRGBAImageSet, or one
// entry of a cache file through CKACReaderWriter. Either hands out one frame at
// a time as the library keeps it (pixel words, bottom row first).
#ifndef TIVORN_TOOLS_PLAY_SOURCE_H
#define TIVORN_TOOLS_PLAY_SOURCE_H

#include <memory>
#include <string>

#include "cli.h"

namespace cli {

struct PLAY_FRAME {
    const TVN_DWORD* pixels; // valid until the next fetch
    TVN_DWORD width, height;
};

class CFrameSource {
public:
    virtual ~CFrameSource() = default;
    virtual unsigned count() = 0;
    // Frame index, or false when it cannot be had (the library has said why,
    // or the source reports it on stderr).
    virtual bool fetch(unsigned index, PLAY_FRAME& frame) = 0;
    // Called after each fetch: the image set's window is narrowed again here
    // (getFrame widens it to the whole run).
    virtual void afterFetch() {}
};

// The run CRGBAImageSet finds from name; keepReady < 0 leaves the set's own window.
std::unique_ptr<CFrameSource> openFrameRun(const std::string& name, long keepReady);
// Entry `entry` of the cache file path; null with one line on stderr when the
// file cannot be read or has no such entry.
std::unique_ptr<CFrameSource> openCacheEntry(const std::string& path, unsigned entry);

} // namespace cli

#endif
