// The properties dialog driven by a scripted host proc. Each case's dialog is
// checked against the same operations called directly on a copy of the image.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>

#include "image/image_access.h"
#include "platform/platform.h"
#include "resources/dialog_ids.h"
#include "support/helpers.h"

namespace {

using A = tvn::ImageAccess;
using Change = std::function<void(CRGBAImage&)>;
const int kFilter = CRGBAImage::BilinearFilter;

// A user as a script of steps "verb id [argument]": c click, t type, s slide a
// track bar; checks: = the text shown, p the track bar's position, ! typing
// refused, w the swatch's colour (- blank), e: after a click on mode radio id,
// which of the fourteen mode controls are enabled. The colour chosen is 123456.
TVN_PROPERTIES_DIALOG* g_dialog = nullptr;

void TVN_CDECL runScript(TVN_PROPERTIES_DIALOG* d, HWND, void* user) {
    g_dialog = d;
    const int modeControls[] = {1040, 1039, 1041, 1042, 1043, 1044, 1047, 1035, 1036, 1006, 1011, 1008, 1009, 1007};
    tvnPropSetColorProc(d, [](TVN_DWORD* c, TVN_DWORD*, void*) { *c = 0xFF123456u; return 1; }, nullptr);
    std::istringstream steps(*static_cast<const std::string*>(user));
    std::string verb, argument, seen;
    char shown[260];
    int id;
    TVN_DWORD color;
    while (steps >> verb >> id) {
        if (verb == "c") { tvnPropClick(d, id); continue; }
        steps >> argument;
        if (verb == "t") tvnPropType(d, id, argument.c_str());
        if (verb == "s") tvnPropSetTrackBar(d, id, std::stoi(argument));
        EXPECT_TRUE(verb != "=" || (tvnPropGetText(d, id, shown, sizeof shown) >= 0 && argument == shown)) << id;
        EXPECT_TRUE(verb != "p" || std::stoi(argument) == tvnPropGetTrackBar(d, id, nullptr, nullptr, nullptr)) << id;
        EXPECT_TRUE(verb != "!" || !tvnPropType(d, id, argument.c_str())) << id;
        char swatch[16] = "-";
        if (verb == "w" && tvnPropDrawSwatch(d, &color)) std::snprintf(swatch, sizeof swatch, "%06x", unsigned(color));
        EXPECT_TRUE(verb != "w" || argument == swatch) << swatch;
        if (verb != "e") continue;
        tvnPropClick(d, id);
        seen.clear();
        for (int control : modeControls) seen += tvnPropIsEnabled(d, control) ? '1' : '0';
        EXPECT_EQ(argument, seen) << id;
    }
}

IMG_TRANSP record(unsigned char mode, unsigned char constant = 0, unsigned char ellCenter = 0) {
    return IMG_TRANSP{mode, constant, 0, 0, 0, 0, ellCenter, 0, 0, 0, 0};
}

// prepare runs before the dialog, on the image its copy is taken from; direct is
// what the confirmed dialog amounts to, run on the copy; message: the box expected.
struct Case { TVN_DWORD width, height; Change prepare; std::string user; Change direct; int result, message; };

TEST(Properties, ScriptedDialogs) {
    tvntest::MessageRecorder messages;
    tvntest::TempFile maskFile("mask.tga");
    ASSERT_EQ(1, CRGBAImage(tvntest::randomPixels(5, 5, 1).data(), 5, 5).saveTGA(maskFile.path()));
    static std::string mask, startFolder;
    mask = maskFile.path();
    tvnSetOpenFileProc([](const char* start, const char*, char* path, int size, void*) {
        startFolder = start;
        EXPECT_EQ(tvnPropIsEnabled(g_dialog, IDD_IMAGE_PROPERTIES), 0); // off while the file dialog is up
        EXPECT_EQ(tvnPropClick(g_dialog, IDC_PROP_OK), 0);
        return std::snprintf(path, size, "%s", mask.c_str()) > 0 ? 1 : 0;
    }, nullptr);
    const auto none = [](CRGBAImage&) {};
    const auto blurred = [](CRGBAImage& i) { unsigned k = 3; i.blur(&k); };
    const auto blurTo5 = [](CRGBAImage& i, int rebuild) { unsigned k = 5; A::blur(i, &k, rebuild); };
    const Case cases[] = {
        {20, 10, none, "c 1033 t 1040 50 c 2", none, 0, 0},   // cancel
        {20, 10, none, "c 1033 t 1040 50", none, 0, 0},       // the proc returns with the dialog open
        {20, 10, none, "c 1", none, 1, 0},                    // mode 4 on a picture that never had a mode
        {20, 10, [](CRGBAImage& i) {                          // OK applies the stored mode again
             i.setTransparency(record(TRANSP_ELL, 0, 70), nullptr);
             A::buffer(i)[0] ^= 0xFF000000u;
         }, "c 1", [](CRGBAImage& i) { i.setTransparency(record(TRANSP_ELL, 0, 70), nullptr); }, 1, 0},
        {200, 100, none, "t 1000 50 = 1001 25 t 1001 30 = 1000 60 c 1005 t 1001 7 = 1000 60 c 1005 = 1001 30 c 1",
         [](CRGBAImage& i) { i.setSize(60, 30, kFilter, nullptr, nullptr); }, 1, 0},
        {20, 10, [](CRGBAImage& i) { A::widthOrig(i) = 0; }, "t 1000 50 = 1001 10 c 1005 c 1005 = 1001 10", none, 0, 0},
        {20, 10, none, "! 1044 200 c 1038 t 1044 200 c 1033 ! 1040 3x t 1040 300 c 1", // low bytes; all fields kept
         [](CRGBAImage& i) { i.setTransparency(record(TRANSP_CONST, 44, 200), nullptr); }, 1, 0},
        {20, 10, [](CRGBAImage& i) { std::snprintf(A::fileName(i), 260, "%s", "missing.tga"); },
         "c 1034 c 1 c 1036 c 1", // message 9 keeps the dialog open; Browse takes the file that loads
         [](CRGBAImage& i) { i.setTransparency(record(TRANSP_MASK), mask.c_str()); }, 1, 9},
        {20, 10, [](CRGBAImage&) { CRGBAImage::m_strPath[0] = 0; }, // no mask name, no folder chosen yet:
         "c 1034 c 1036 = 1035 " + mask + " c 1", [](CRGBAImage& i) { // Browse starts in the current folder
             EXPECT_EQ(startFolder, ".");
             i.setTransparency(record(TRANSP_MASK), mask.c_str());
         }, 1, 0},
        {20, 10, none, "w 1011 - e 1033 10000000000000 e 1037 01111000000000 e 1038 00000110000000 "
                       "e 1034 00000001100000 e 1048 00000000000000 e 1046 00000000011111 w 1011 000000 "
                       "c 1006 w 1011 123456 c 1008 s 1007 300 c 1", [](CRGBAImage& i) { // deviation kept in 0..255
             IMG_TRANSP t = {TRANSP_CHROMAKEY, 0, 0, 0, 0, 0, 0, 0, 0x123456u, 1, 255};
             i.setTransparency(t, nullptr);
         }, 1, 0},
        {20, 10, none, "c 1012 p 1013 1 c 1", none, 1, 0}, // blur on, track bar untouched: still 0
        {20, 10, blurred, "s 1013 5 c 1", [&](CRGBAImage& i) { blurTo5(i, 1); }, 1, 0},
        {20, 10, blurred, "s 1013 5 t 1000 40 c 1", [&](CRGBAImage& i) {
             i.setSize(40, 20, kFilter, nullptr, nullptr);
             blurTo5(i, 0);
         }, 1, 0},
        {20, 10, blurred, "c 1012 c 1", [](CRGBAImage& i) { A::blurSize(i) = 0; }, 1, 0}, // off: pixels stay
        {20, 10, blurred, "c 1033 t 1040 40 c 1", [](CRGBAImage& i) { // a kept blur is shown again
             i.setTransparency(record(TRANSP_CONST, 40), nullptr);
             i.setSize(i.getWidth(), i.getHeight(), kFilter, nullptr, nullptr);
         }, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        messages.clear();
        CRGBAImage image(tvntest::randomPixels(c.width, c.height, 7).data(), c.width, c.height);
        c.prepare(image);
        CRGBAImage copy(image);
        tvnSetPropertiesDialogProc(runScript, const_cast<std::string*>(&c.user));
        EXPECT_EQ(c.result, image.showProperties(nullptr, kFilter, nullptr, nullptr));
        tvnSetPropertiesDialogProc(nullptr, nullptr);
        if (c.result) c.direct(copy);
        EXPECT_EQ(tvntest::snapshot(copy), tvntest::snapshot(image)); // pixels, sizes, names, record, blur
        ASSERT_EQ(c.message ? 1u : 0u, messages.boxes().size());
        if (c.message) {
            EXPECT_EQ(tvntest::MessageRecorder::expectedText(c.message), messages.boxes()[0].text);
        }
    }
    tvnSetOpenFileProc(nullptr, nullptr);
}

TEST(Properties, NoDialogWithoutAProcOnPosix) {
    if (tvn::plat::kPathSeparator == '\\') return; // Windows shows its own dialog without a proc
    CRGBAImage image(tvntest::randomPixels(4, 4, 2).data(), 4, 4);
    const std::vector<TVN_DWORD> before = tvntest::pixelsOf(image);
    EXPECT_EQ(0, image.showProperties(nullptr, kFilter, nullptr, nullptr));
    EXPECT_EQ(before, tvntest::pixelsOf(image));
}

} // namespace
