// The steps of `tivorn convert`, each one call (or two) of the library.
#ifndef TIVORN_TOOLS_CONVERT_STEPS_H
#define TIVORN_TOOLS_CONVERT_STEPS_H

#include <string>
#include <vector>

#include "cli.h"
#include "progress.h"

namespace cli {

enum StepKind { kStepSize, kStepBlur, kStepAlpha, kStepGray, kStepBgra, kStepFlip, kStepTrim, kStepStretch };

struct CONVERT_STEP {
    StepKind kind;
    TVN_DWORD width;  // --size, --stretch
    TVN_DWORD height; // --size
    unsigned int kernel; // --blur
    IMG_TRANSP transp;   // --alpha
    std::string mask;    // --alpha mask:FILE
    char flip;           // 'h' or 'v'
    std::string text;    // the option as given, for messages
};

struct CONVERT_PLAN {
    std::string in;
    std::string out;
    std::vector<CONVERT_STEP> steps;
    int filter = 0;     // for every --size (and the rebuild of --alpha original)
    bool rough = false; // --size by nearest pixel
    bool quiet = false;
    bool verbose = false;
    bool frames = false; // IN is the first frame of a run; OUT numbers the outputs
};

// Runs one step. On failure reports one line and returns false; note may
// receive a remark for the verbose listing (the offset of a trim).
bool runStep(CRGBAImage& image, const CONVERT_STEP& step, const CONVERT_PLAN& plan, CProgress& progress,
             std::string& note);

} // namespace cli

#endif
