// One library call per step of `tivorn convert`, in the order of the command line.
#include "convert_steps.h"

#include "options.h"

namespace cli {
namespace {

std::string sizeText(TVN_DWORD width, TVN_DWORD height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

bool resize(CRGBAImage& image, const CONVERT_STEP& step, const CONVERT_PLAN& plan, CProgress& progress) {
    if (plan.rough)
        return image.setSizeRough(step.width, step.height) != 0;
    progress.begin("resize to " + sizeText(step.width, step.height) + " (" + filterName(plan.filter) + ")");
    const int ok = image.setSize(step.width, step.height, plan.filter, progress.proc(), progress.user());
    progress.end();
    return ok != 0;
}

bool transparency(CRGBAImage& image, const CONVERT_STEP& step, const CONVERT_PLAN& plan, CProgress& progress) {
    if (step.transp.byMode == TRANSP_ORIGINAL) {
        // restoreAlpha rebuilds a resized picture with the filter of the resizes;
        // 0 only means no mode had been applied, so the picture shows its own alpha.
        progress.begin("restore the picture's own alpha");
        image.restoreAlpha(plan.rough ? CRGBAImage::BilinearFilter : plan.filter, progress.proc(),
                           progress.user());
        progress.end();
        return true;
    }
    return image.setTransparency(step.transp, step.mask.empty() ? nullptr : step.mask.c_str()) != 0;
}

// A resize or conversion of a loaded picture fails only for lack of memory,
// or when the size leaves no room inside the blur border.
std::string whyFailed(const CRGBAImage& image, const CONVERT_STEP& step, const CONVERT_PLAN& plan) {
    const TVN_DWORD k = image.getBlurKrnlSize();
    if (step.kind == kStepSize && !plan.rough && k && (step.width <= 2 * k || step.height <= 2 * k))
        return ": the size leaves no room inside the blur border of " + std::to_string(k);
    if (step.kind == kStepAlpha)
        return std::string();
    return ": not enough memory";
}

} // namespace

bool runStep(CRGBAImage& image, const CONVERT_STEP& step, const CONVERT_PLAN& plan, CProgress& progress,
             std::string& note) {
    const unsigned mark = messageCount();
    bool ok = true;
    switch (step.kind) {
    case kStepSize:
        ok = resize(image, step, plan, progress);
        break;
    case kStepBlur: {
        unsigned int kernel = step.kernel; // the library may reduce it to fit the width
        image.blur(&kernel);
        if (kernel != step.kernel)
            note = "kernel reduced to " + std::to_string(kernel);
        break;
    }
    case kStepAlpha:
        ok = transparency(image, step, plan, progress);
        break;
    case kStepGray:
        ok = image.convertToGrayscale() != 0;
        break;
    case kStepBgra:
        ok = image.convertToBGRA() != 0;
        break;
    case kStepFlip:
        if (step.flip == 'h')
            image.flipHorizontal();
        else
            image.flipVertical();
        break;
    case kStepTrim: {
        TVN_DWORD x = 0, y = 0;
        image.trimByAlpha(x, y);
        note = "offset " + std::to_string(x) + "," + std::to_string(y);
        break;
    }
    case kStepStretch:
        image.stretchHorizontally(step.width);
        break;
    }
    if (!ok && !interruptRequested())
        reportOnce(mark, step.text + " failed" + whyFailed(image, step, plan));
    return ok;
}

} // namespace cli
