// `tivorn demo`: runs every capability on the shipped pictures and lays the
// results out in one HTML page.
#ifndef TIVORN_TOOLS_DEMO_H
#define TIVORN_TOOLS_DEMO_H

#include <functional>
#include <string>
#include <vector>

#include "cli.h"
#include "progress.h"

namespace cli {

// The shipped pictures the demo works on (made by make_demo_pictures).
extern const char* const kDemoPictures[5];

struct DEMO_SHOT {
    std::string file;  // PNG written into the output folder
    std::string title; // caption
    std::string note;  // what was done, in the library's terms
    unsigned width;
    unsigned height;
    double ms;   // time of the library calls of the step
    bool failed; // the library refused the step; note then says why
};

// One step: receives a freshly loaded picture and the progress object for
// resizes; returns false on failure; may add to the note.
using DemoOperation = std::function<bool(CRGBAImage& image, CProgress& progress, std::string& note)>;

class CDemo {
public:
    CDemo(const std::string& pictures, const std::string& out, bool quiet);
    // Loads source, times op on it (a null op times the load itself) and writes
    // the result into file over a checkerboard. A step the library refuses is
    // reported, kept as failed, and the demo goes on; false only after an
    // interrupt or when the output cannot be written (reported).
    bool shot(const char* file, const char* title, const char* source, const std::string& note,
              const DemoOperation& op);
    const std::vector<DEMO_SHOT>& shots() const { return m_shots; }
    unsigned failures() const { return m_nFailures; }
    std::string picture(const char* name) const;
    CProgress& progress() { return m_progress; }

private:
    std::string m_strPictures;
    std::string m_strOut;
    bool m_bQuiet;
    CProgress m_progress;
    std::vector<DEMO_SHOT> m_shots;
    unsigned m_nFailures = 0;
};

// The folder of the shipped pictures: --pictures, else next to the installed
// program (share/tivorn/demo-pictures), next to the executable, or the source tree.
std::string findDemoPictures(const char* argv0);
// True when folder holds all of kDemoPictures.
bool holdsDemoPictures(const std::string& folder);
// Packs the spin animation (bundled, or made from scene.bmp) into out/spin.kac and
// shows its frames read back; false only after an interrupt or an unwritable output.
bool runCacheSteps(CDemo& demo, const std::string& out);
// Writes index.html into out; false (reported) when it cannot be written.
bool writeDemoPage(const std::string& out, const std::vector<DEMO_SHOT>& shots, double totalMs);

} // namespace cli

#endif
