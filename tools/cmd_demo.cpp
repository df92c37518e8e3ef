// tivorn demo [DIR]: one PNG per capability on the shipped pictures, and a page.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "demo.h"
#include "options.h"

namespace cli {
namespace {

const char kHelp[] =
    "usage: tivorn demo [DIR] [--pictures DIR] [-q]\n"
    "\n"
    "Runs every capability of the library on the pictures shipped with tivorn and\n"
    "writes into DIR (default demo-out/) one PNG per step: the four readers, each\n"
    "resize filter, the rough resize, blur, each transparency mode, grey, red/blue\n"
    "exchange, flips, trim, stretch, the run-length round trip and the frames of\n"
    "an animation (an image set, played by the page); pictures with\n"
    "transparency are laid over a checkerboard. DIR/index.html shows them side by\n"
    "side with captions and the time each step took. The spin animation is packed\n"
    "into DIR/spin.kac and its frames are shown as read back from the cache.\n"
    "A step the library refuses is reported and marked in the page; the others\n"
    "still run (exit status 1).\n"
    "\n"
    "  --pictures DIR    where the shipped pictures are (found by default next to\n"
    "                    the program, under share/tivorn/demo-pictures)\n"
    "  -q, --quiet       no listing, no progress bar\n";

const TVN_DWORD kBigW = 400, kBigH = 300; // enlargement that shows the filters apart

IMG_TRANSP transp(unsigned char mode) {
    IMG_TRANSP t = IMG_TRANSP();
    t.byMode = mode;
    return t;
}

bool resize(CRGBAImage& image, CProgress& progress, TVN_DWORD w, TVN_DWORD h, int filter) {
    progress.begin("resize to " + std::to_string(w) + "x" + std::to_string(h) + " (" + filterName(filter) + ")");
    const int ok = image.setSize(w, h, filter, progress.proc(), progress.user());
    progress.end();
    return ok != 0;
}

bool runSteps(CDemo& demo) {
    bool ok = demo.shot("load-scene-bmp.png", "BMP reader", "scene.bmp", "24-bit BMP", nullptr) &&
              demo.shot("load-alpha-tga.png", "TGA reader", "alpha.tga", "32-bit TGA with its own alpha", nullptr) &&
              demo.shot("load-interlaced-gif.png", "GIF reader", "interlaced.gif", "interlaced GIF", nullptr) &&
              demo.shot("load-photo-jpeg.png", "JPEG reader", "photo.jpg", "baseline JPEG", nullptr) &&
              demo.shot("load-greenscreen-bmp.png", "Green-screen shot", "greenscreen.bmp",
                        "a figure before a pure green backdrop", nullptr);
    const int filters[] = {CRGBAImage::BoxFilter,     CRGBAImage::BilinearFilter, CRGBAImage::BicubicFilter,
                           CRGBAImage::GaussianFilter, CRGBAImage::HammingFilter, CRGBAImage::BlackmanFilter};
    for (int f : filters) {
        const std::string file = std::string("filter-") + filterName(f) + ".png";
        const std::string title = std::string("Filter: ") + filterName(f);
        ok = ok && demo.shot(file.c_str(), title.c_str(), "scene.bmp", "setSize(400, 300) from 160x120",
                             [f](CRGBAImage& i, CProgress& p, std::string&) { return resize(i, p, kBigW, kBigH, f); });
    }
    ok = ok &&
         demo.shot("rough.png", "Rough resize", "scene.bmp", "setSizeRough(400, 300): nearest pixel",
                   [](CRGBAImage& i, CProgress&, std::string&) { return i.setSizeRough(kBigW, kBigH) != 0; }) &&
         demo.shot("resize-twice.png", "Untouched copy", "scene.bmp",
                   "setSize(40, 30), then setSize(400, 300): the second starts from the loaded picture",
                   [](CRGBAImage& i, CProgress& p, std::string&) {
                       return resize(i, p, 40, 30, CRGBAImage::BicubicFilter) &&
                              resize(i, p, kBigW, kBigH, CRGBAImage::BicubicFilter);
                   }) &&
         demo.shot("blur.png", "Box blur", "scene.bmp", "blur(4): grows by 4 on every side, edges fade out",
                   [](CRGBAImage& i, CProgress&, std::string&) {
                       unsigned int k = 4;
                       i.blur(&k);
                       return true;
                   });
    return ok;
}

bool runAlphaSteps(CDemo& demo) {
    const std::string mask = demo.picture("photo.jpg");
    auto mode = [](IMG_TRANSP t) {
        return [t](CRGBAImage& i, CProgress&, std::string&) { return i.setTransparency(t, nullptr) != 0; };
    };
    IMG_TRANSP c = transp(TRANSP_CONST), g = transp(TRANSP_LG), e = transp(TRANSP_ELL);
    IMG_TRANSP k = transp(TRANSP_CHROMAKEY);
    c.byConstTransp = 50;
    g.byLGLeft = 100;
    e.byEllBorder = 100;
    k.clrChromakey = tvnRGBA(0, 255, 0, 0);
    k.dwChromakeyDev = 160;
    k.bChromakeySoft = 1;
    return demo.shot("alpha-const.png", "Constant transparency", "scene.bmp", "50 % everywhere", mode(c)) &&
           demo.shot("alpha-gradient.png", "Linear gradient", "scene.bmp", "left 100 %, others 0 %", mode(g)) &&
           demo.shot("alpha-ellipse.png", "Ellipse", "scene.bmp", "centre 0 %, border 100 %", mode(e)) &&
           demo.shot("alpha-mask.png", "Mask", "scene.bmp", "alpha from the brightness of photo.jpg, stretched",
                     [mask](CRGBAImage& i, CProgress&, std::string&) {
                         IMG_TRANSP t = transp(TRANSP_MASK);
                         return i.setTransparency(t, mask.c_str()) != 0;
                     }) &&
           demo.shot("alpha-chromakey.png", "Chromakey", "greenscreen.bmp", "key 00FF00, deviation 160, soft",
                     mode(k)) &&
           demo.shot("alpha-original.png", "Own alpha back", "alpha.tga",
                     "constant 100 %, then restoreAlpha: the file's alpha again",
                     [](CRGBAImage& i, CProgress& p, std::string&) {
                         IMG_TRANSP t = transp(TRANSP_CONST);
                         t.byConstTransp = 100;
                         return i.setTransparency(t, nullptr) &&
                                i.restoreAlpha(CRGBAImage::BilinearFilter, p.proc(), p.user());
                     }) &&
           demo.shot("alpha-resized.png", "Transparency survives resizes", "scene.bmp",
                     "setSize(320, 240), ellipse, then setSize(240, 180)",
                     [e](CRGBAImage& i, CProgress& p, std::string&) {
                         return resize(i, p, 320, 240, CRGBAImage::BicubicFilter) && i.setTransparency(e, nullptr) &&
                                resize(i, p, 240, 180, CRGBAImage::BicubicFilter);
                     });
}

bool runLayoutSteps(CDemo& demo) {
    using Op = DemoOperation;
    const Op gray = [](CRGBAImage& i, CProgress&, std::string&) { return i.convertToGrayscale() != 0; };
    const Op bgra = [](CRGBAImage& i, CProgress&, std::string&) { return i.convertToBGRA() != 0; };
    const Op flipH = [](CRGBAImage& i, CProgress&, std::string&) { i.flipHorizontal(); return true; };
    const Op flipV = [](CRGBAImage& i, CProgress&, std::string&) { i.flipVertical(); return true; };
    const Op trim = [](CRGBAImage& i, CProgress&, std::string& note) {
        TVN_DWORD x = 0, y = 0;
        i.trimByAlpha(x, y);
        note += "; offset " + std::to_string(x) + "," + std::to_string(y);
        return true;
    };
    const Op stretch = [](CRGBAImage& i, CProgress&, std::string&) { i.stretchHorizontally(280); return true; };
    const Op pack = [](CRGBAImage& i, CProgress&, std::string& note) {
        unsigned char* packed = nullptr;
        const TVN_DWORD length = i.compressRLE(&packed);
        if (!length)
            return false;
        struct PACKED { // released also when the constructor throws
            unsigned char* bytes;
            ~PACKED() { CRGBAImage::freeRLEBuffer(bytes); }
        } owner{packed};
        CRGBAImage decoded(owner.bytes, length, i.getWidthOrig(), i.getHeightOrig());
        note += ": " + std::to_string(4ul * i.getWidth() * i.getHeight()) + " bytes packed to " +
                std::to_string(length);
        i = decoded;
        return true;
    };
    return demo.shot("gray.png", "Grey", "photo.jpg", "convertToGrayscale", gray) &&
           demo.shot("bgra.png", "Red and blue exchanged", "photo.jpg", "convertToBGRA", bgra) &&
           demo.shot("flip-h.png", "Flip left-right", "photo.jpg", "flipHorizontal", flipH) &&
           demo.shot("flip-v.png", "Flip top-bottom", "photo.jpg", "flipVertical", flipV) &&
           demo.shot("trim.png", "Trim", "alpha.tga", "trimByAlpha: cut to the visible area", trim) &&
           demo.shot("stretch.png", "Stretch", "scene.bmp", "stretchHorizontally(280): middle column repeated",
                     stretch) &&
           demo.shot("pack-roundtrip.png", "Run-length round trip", "greenscreen.bmp",
                     "compressRLE, then the run-length constructor", pack);
}

// The shipped numbered run spin0000.tga.. as an image set, one shot per frame;
// the page plays them in turn.
bool runAnimationSteps(CDemo& demo) {
    CRGBAImageSet set(demo.picture("spin0000.tga").c_str()); // starts loading every frame
    const unsigned count = set.getNumFrames();
    bool ok = true;
    for (unsigned k = 0; ok && k < count; ++k) {
        auto frame = [&set, k](CRGBAImage& image, CProgress&, std::string&) {
            CRGBAImage* loaded = set.getFrame(k);
            if (loaded)
                image = *loaded;
            return loaded != nullptr;
        };
        const std::string file = "anim-spin-" + std::to_string(k) + ".png";
        const std::string note = "CRGBAImageSet(\"spin0000.tga\"): getFrame(" + std::to_string(k) + ") of " +
                                 std::to_string(count) + ", loaded ahead by the preloader";
        ok = demo.shot(file.c_str(), "Animation", "spin0000.tga", note, frame);
    }
    return ok;
}

} // namespace

int cmdDemo(const Args& args, const char* argv0) {
    if (wantsHelp(args)) {
        std::fputs(kHelp, stdout);
        return kOk;
    }
    std::string out, pictures, arg;
    bool quiet = false;
    COptionReader reader(args);
    while (reader.next(arg)) {
        if (arg == "--pictures") {
            if (!reader.value(arg, pictures))
                break;
        } else if (arg == "-q" || arg == "--quiet") {
            quiet = true;
        } else if ((arg.size() > 1 && arg[0] == '-') || !out.empty()) {
            error("unexpected argument '" + arg + "' (see tivorn demo --help)");
            return kUsage;
        } else {
            out = arg;
        }
    }
    if (!reader.error().empty()) {
        error(reader.error());
        return kUsage;
    }
    if (out.empty())
        out = "demo-out";
    if (pictures.empty() && (pictures = findDemoPictures(argv0)).empty()) {
        error("the demo pictures were not found; give their folder with --pictures");
        return kFailed;
    }
    if (!holdsDemoPictures(pictures)) {
        error(pictures + ": not all of the demo pictures are there (scene.bmp, alpha.tga, greenscreen.bmp, "
                         "interlaced.gif, photo.jpg)");
        return kFailed;
    }
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    if (ec || !std::filesystem::is_directory(out)) {
        error(out + ": cannot create the folder (" + ec.message() + ")");
        return kFailed;
    }
    if (!quiet)
        std::printf("pictures from %s\n", pictures.c_str());
    const auto start = std::chrono::steady_clock::now();
    CDemo demo(pictures, out, quiet);
    const bool ok = runSteps(demo) && runAlphaSteps(demo) && runLayoutSteps(demo) && runAnimationSteps(demo) &&
                    runCacheSteps(demo, out);
    if (interruptRequested()) {
        error("interrupted; " + out + "/index.html was not written");
        return kInterrupted;
    }
    if (!ok)
        return kFailed;
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (!writeDemoPage(out, demo.shots(), ms))
        return kFailed;
    // A refused step was reported when it happened; the page marks it too.
    if (!quiet)
        std::printf("wrote %u pictures and %s/index.html in %.2f s\n",
                    static_cast<unsigned>(demo.shots().size() - demo.failures()), out.c_str(), ms / 1000.0);
    return demo.failures() ? kFailed : kOk;
}

} // namespace cli
