// tivorn convert IN OUT [options]: load, apply the steps in command-line order, write.
#include <chrono>
#include <cstdio>

#include "convert_steps.h"
#include "frame_run.h"
#include "options.h"

namespace cli {
namespace {

const char kHelp[] =
    "usage: tivorn convert IN OUT [options]\n"
    "\n"
    "Loads IN (.bmp, .tga, .gif, .jpg), applies the steps below in the order given\n"
    "and writes OUT: .tga through the library's TGA writer, .png through libpng.\n"
    "\n"
    "steps:\n"
    "  --size WxH        resize; every resize starts from the loaded picture\n"
    "  --blur K          box blur of size K; the picture grows by K on each side\n"
    "  --alpha MODE      transparency, percentages of transparency 0..100:\n"
    "                      const:P  gradient:TOP,LEFT,RIGHT,BOTTOM  ellipse:CENTRE,BORDER\n"
    "                      chromakey:RRGGBB,DEV[,soft]  (DEV: colour distance 0..441)\n"
    "                      mask:FILE  (brightness of FILE)   original  (own alpha back)\n"
    "  --gray            grey levels\n"
    "  --bgra            exchange red and blue\n"
    "  --flip h|v        mirror left-right or top-bottom\n"
    "  --trim            cut to the area with non-zero alpha\n"
    "  --stretch W       widen to W by repeating the middle column (not after --size)\n"
    "\n"
    "settings:\n"
    "  --filter NAME     filter of every --size: box, bilinear, bicubic (default),\n"
    "                    gaussian, hamming, blackman\n"
    "  --rough           every --size picks the nearest pixel instead\n"
    "  -q, --quiet       no progress bar (it shows only when stderr is a terminal)\n"
    "  -v, --verbose     list each step with its size and time\n"
    "  --frames          IN is a frame of a numbered run (walk0007.tga): every frame of\n"
    "                    the run goes through the same steps into numbered outputs\n"
    "                    (OUT out.png gives out0000.png, out0001.png, ...; out0007.png\n"
    "                    counts on from 0007)\n"
    "\n"
    "Ctrl-C during a resize aborts it; OUT is then not written (exit status 130).\n"
    "example: tivorn convert photo.jpg small.png --size 320x240 --filter hamming --alpha ellipse:0,100\n";

// Builds the plan; false with a message for any bad argument.
bool parsePlan(const Args& args, CONVERT_PLAN& plan, std::string& why) {
    COptionReader reader(args);
    std::vector<std::string> positional;
    std::string arg, value;
    plan.filter = CRGBAImage::BicubicFilter;
    while (reader.next(arg)) {
        CONVERT_STEP step = CONVERT_STEP();
        step.text = arg;
        const bool takesValue = arg == "--size" || arg == "--blur" || arg == "--alpha" || arg == "--flip" ||
                                arg == "--stretch" || arg == "--filter";
        if (takesValue) {
            if (!reader.value(arg, value))
                break;
            step.text += " " + value;
        }
        if (arg == "--size") {
            step.kind = kStepSize;
            if (!parseSize(value, step.width, step.height)) {
                why = "bad --size '" + value + "': use WxH, each 1.." + std::to_string(kMaxSide);
                return false;
            }
        } else if (arg == "--blur") {
            unsigned long k;
            step.kind = kStepBlur;
            if (!parseNumber(value, 1000, k)) {
                why = "bad --blur '" + value + "': use a kernel size 0..1000";
                return false;
            }
            step.kernel = static_cast<unsigned int>(k);
        } else if (arg == "--alpha") {
            step.kind = kStepAlpha;
            if (!parseAlpha(value, step.transp, step.mask, why))
                return false;
        } else if (arg == "--flip") {
            step.kind = kStepFlip;
            if (value != "h" && value != "v") {
                why = "bad --flip '" + value + "': use h or v";
                return false;
            }
            step.flip = value[0];
        } else if (arg == "--stretch") {
            unsigned long w;
            step.kind = kStepStretch;
            if (!parseNumber(value, kMaxSide, w) || !w) {
                why = "bad --stretch '" + value + "': use a width 1.." + std::to_string(kMaxSide);
                return false;
            }
            step.width = static_cast<TVN_DWORD>(w);
        } else if (arg == "--filter") {
            if (!parseFilter(value, plan.filter)) {
                why = "bad --filter '" + value + "': use box, bilinear, bicubic, gaussian, hamming or blackman";
                return false;
            }
            plan.rough = false;
            continue;
        } else if (arg == "--gray" || arg == "--grey") {
            step.kind = kStepGray;
        } else if (arg == "--bgra") {
            step.kind = kStepBgra;
        } else if (arg == "--trim") {
            step.kind = kStepTrim;
        } else if (arg == "--rough") {
            plan.rough = true;
            continue;
        } else if (arg == "-q" || arg == "--quiet") {
            plan.quiet = true;
            continue;
        } else if (arg == "-v" || arg == "--verbose") {
            plan.verbose = true;
            continue;
        } else if (arg == "--frames") {
            plan.frames = true;
            continue;
        } else if (arg.size() > 1 && arg[0] == '-') {
            why = "unknown option '" + arg + "' (see tivorn convert --help)";
            return false;
        } else {
            positional.push_back(arg);
            continue;
        }
        plan.steps.push_back(step);
    }
    if (!reader.error().empty()) {
        why = reader.error();
        return false;
    }
    if (positional.size() != 2) {
        why = positional.size() < 2 ? "convert needs IN and OUT (see tivorn convert --help)"
                                    : "convert takes one IN and one OUT, got '" + positional[2] + "' too";
        return false;
    }
    plan.in = positional[0];
    plan.out = positional[1];
    if (formatOf(plan.in).empty()) {
        why = plan.in + ": not a picture tivorn reads (.bmp, .tga, .gif, .jpg)";
        return false;
    }
    return isWritableName(plan.out, why);
}

// Applies the plan's steps to image and writes it to out.
int convertOne(CRGBAImage& image, const CONVERT_PLAN& plan, const std::string& out, CProgress& progress) {
    for (const CONVERT_STEP& step : plan.steps) {
        std::string note;
        const auto start = std::chrono::steady_clock::now();
        const bool ok = !interruptRequested() && runStep(image, step, plan, progress, note);
        if (interruptRequested()) {
            error("interrupted during " + step.text + "; " + out + " was not written");
            return kInterrupted;
        }
        if (!ok)
            return kFailed;
        if (plan.verbose)
            std::printf("%-36s %11s  %s%s%s\n", step.text.c_str(),
                        (std::to_string(image.getWidth()) + "x" + std::to_string(image.getHeight())).c_str(),
                        formatMs(msBetween(start)).c_str(), note.empty() ? "" : "  ", note.c_str());
    }
    if (interruptRequested()) {
        error("interrupted; " + out + " was not written");
        return kInterrupted;
    }
    return savePicture(image, out) ? kOk : kFailed;
}

// Every frame of the run that starts at plan.in, each a copy of the set's frame.
int convertFrames(const CONVERT_PLAN& plan, CProgress& progress) {
    CRGBAImageSet set(plan.in.c_str());
    const unsigned count = set.getNumFrames();
    if (!count) {
        error(plan.in + ": no such file, so no frames");
        return kFailed;
    }
    for (unsigned i = 0; i < count; ++i) {
        const unsigned mark = messageCount();
        CRGBAImage* frame = set.getFrame(i);
        if (!frame) {
            reportOnce(mark, "frame " + std::to_string(i) + " of " + plan.in + " cannot be read");
            return kFailed;
        }
        CRGBAImage image(*frame); // the set keeps its frame as loaded
        const std::string out = numberedName(plan.out, i);
        const int status = convertOne(image, plan, out, progress);
        if (status != kOk)
            return status;
        if (plan.verbose)
            std::printf("frame %u -> %s\n", i, out.c_str());
    }
    if (!plan.quiet)
        std::printf("%u frames written: %s .. %s\n", count, numberedName(plan.out, 0).c_str(),
                    numberedName(plan.out, count - 1).c_str());
    return kOk;
}

} // namespace

int cmdConvert(const Args& args) {
    if (wantsHelp(args)) {
        std::fputs(kHelp, stdout);
        return kOk;
    }
    CONVERT_PLAN plan;
    std::string why;
    if (!parsePlan(args, plan, why)) {
        error(why);
        return kUsage;
    }
    CProgress progress(plan.quiet);
    if (plan.frames)
        return convertFrames(plan, progress);
    CRGBAImage image;
    auto start = std::chrono::steady_clock::now();
    if (!loadPicture(image, plan.in))
        return kFailed;
    if (plan.verbose)
        std::printf("%-36s %11s  %s\n", ("load " + plan.in).c_str(),
                    (std::to_string(image.getWidth()) + "x" + std::to_string(image.getHeight())).c_str(),
                    formatMs(msBetween(start)).c_str());
    return convertOne(image, plan, plan.out, progress);
}

} // namespace cli
