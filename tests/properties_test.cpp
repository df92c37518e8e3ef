// The properties dialog driven by a scripted host proc. Each confirmed dialog is
// checked against the same operations called directly on a copy of the image.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "image/image_access.h"
#include "platform/platform.h"
#include "resources/dialog_ids.h"
#include "support/helpers.h"

namespace {

using Script = std::function<void(TVN_PROPERTIES_DIALOG*)>;
const int kFilter = CRGBAImage::BilinearFilter;

void TVN_CDECL runScript(TVN_PROPERTIES_DIALOG* dialog, HWND, void* user) {
    (*static_cast<Script*>(user))(dialog);
}

int show(CRGBAImage& image, Script script) {
    tvnSetPropertiesDialogProc(runScript, &script);
    int result = image.showProperties(nullptr, kFilter, nullptr, nullptr);
    tvnSetPropertiesDialogProc(nullptr, nullptr);
    return result;
}

std::string text(TVN_PROPERTIES_DIALOG* d, int id) {
    char buffer[260];
    tvnPropGetText(d, id, buffer, sizeof buffer);
    return buffer;
}

void expectSame(CRGBAImage& a, CRGBAImage& b) {
    ASSERT_EQ(a.getWidth(), b.getWidth());
    ASSERT_EQ(a.getHeight(), b.getHeight());
    EXPECT_EQ(tvntest::pixelsOf(a), tvntest::pixelsOf(b));
    EXPECT_EQ(0, std::memcmp(&a.getTransparency(), &b.getTransparency(), sizeof(IMG_TRANSP)));
    EXPECT_EQ(a.getBlurKrnlSize(), b.getBlurKrnlSize());
}

CRGBAImage picture(TVN_DWORD w = 20, TVN_DWORD h = 10) {
    return CRGBAImage(tvntest::randomPixels(w, h, 7).data(), w, h);
}

TEST(Properties, CancelAndUnconfirmedChangesLeaveTheImage) {
    CRGBAImage image = picture(), copy(image);
    EXPECT_EQ(0, show(image, [](TVN_PROPERTIES_DIALOG* d) {
        tvnPropClick(d, IDC_PROP_MODE_CONST);
        tvnPropType(d, IDC_PROP_CONST, "50");
        tvnPropClick(d, IDC_PROP_CANCEL);
    }));
    expectSame(image, copy);
    EXPECT_EQ(0, show(image, [](TVN_PROPERTIES_DIALOG* d) { tvnPropClick(d, IDC_PROP_MODE_CONST); })); // proc gave up
    expectSame(image, copy);
}

TEST(Properties, OkReappliesTheStoredMode) {
    CRGBAImage image = picture(), copy(image);
    EXPECT_EQ(1, show(image, [](TVN_PROPERTIES_DIALOG* d) { tvnPropClick(d, IDC_PROP_OK); }));
    expectSame(image, copy); // mode 4 on a picture that never had a mode
    IMG_TRANSP t = {};
    t.byMode = TRANSP_ELL;
    t.byEllBorder = 80;
    image.setTransparency(t, nullptr);
    tvn::ImageAccess::buffer(image)[0] ^= 0xFF000000u; // only a new run of the mode puts this back
    EXPECT_EQ(1, show(image, [](TVN_PROPERTIES_DIALOG* d) { tvnPropClick(d, IDC_PROP_OK); }));
    copy.setTransparency(t, nullptr);
    expectSame(image, copy);
}

TEST(Properties, AspectLinkFollowsTheEditBeingTyped) {
    CRGBAImage image = picture(200, 100), copy(image);
    EXPECT_EQ(1, show(image, [](TVN_PROPERTIES_DIALOG* d) {
        tvnPropType(d, IDC_PROP_WIDTH, "50");
        EXPECT_EQ("25", text(d, IDC_PROP_HEIGHT));
        tvnPropType(d, IDC_PROP_HEIGHT, "30");
        EXPECT_EQ("60", text(d, IDC_PROP_WIDTH));
        tvnPropClick(d, IDC_PROP_KEEP_ASPECT); // off: the edits are independent
        tvnPropType(d, IDC_PROP_HEIGHT, "7");
        EXPECT_EQ("60", text(d, IDC_PROP_WIDTH));
        tvnPropClick(d, IDC_PROP_KEEP_ASPECT); // on again: the height follows the width
        EXPECT_EQ("30", text(d, IDC_PROP_HEIGHT));
        tvnPropClick(d, IDC_PROP_OK);
    }));
    copy.setSize(60, 30, kFilter, nullptr, nullptr);
    expectSame(image, copy);
    CRGBAImage empty; // original size 0 x 0: the link leaves the other edit alone
    show(empty, [](TVN_PROPERTIES_DIALOG* d) {
        tvnPropType(d, IDC_PROP_WIDTH, "50");
        EXPECT_EQ("0", text(d, IDC_PROP_HEIGHT));
    });
}

TEST(Properties, PercentagesKeepTheirLowByte) {
    CRGBAImage image = picture(), copy(image);
    EXPECT_EQ(1, show(image, [](TVN_PROPERTIES_DIALOG* d) {
        EXPECT_EQ(0, tvnPropType(d, IDC_PROP_CONST, "3x")); // digits only
        EXPECT_EQ(0, tvnPropType(d, IDC_PROP_ELL_CENTER, "200")); // disabled in mode 4
        tvnPropClick(d, IDC_PROP_MODE_ELL);
        tvnPropType(d, IDC_PROP_ELL_CENTER, "200"); // another mode's field is kept too
        tvnPropClick(d, IDC_PROP_MODE_CONST);
        tvnPropType(d, IDC_PROP_CONST, "300");
        tvnPropClick(d, IDC_PROP_OK);
    }));
    EXPECT_EQ(44, image.getTransparency().byConstTransp);
    IMG_TRANSP t = {};
    t.byConstTransp = 44;
    t.byEllCenter = 200;
    copy.setTransparency(t, nullptr);
    expectSame(image, copy);
}

TEST(Properties, MaskMustOpenAndIsChosenByLoading) {
    tvntest::MessageRecorder messages;
    tvntest::TempFile maskFile("mask.tga");
    CRGBAImage mask = picture(5, 5), image = picture();
    ASSERT_EQ(1, mask.saveTGA(maskFile.path()));
    std::snprintf(tvn::ImageAccess::fileName(image), 260, "%s", "missing.tga");
    CRGBAImage copy(image);
    tvnSetOpenFileProc([](const char*, const char*, char* path, int size, void* user) -> int {
        std::snprintf(path, size, "%s", static_cast<const char*>(user));
        return 1;
    }, const_cast<char*>(maskFile.path()));
    EXPECT_EQ(1, show(image, [&](TVN_PROPERTIES_DIALOG* d) {
        tvnPropClick(d, IDC_PROP_MODE_MASK);
        tvnPropClick(d, IDC_PROP_OK); // the mask name is the picture's own, which does not exist
        EXPECT_EQ(0, tvnPropGetEndCode(d));
        ASSERT_EQ(1u, messages.boxes().size());
        EXPECT_EQ(tvntest::MessageRecorder::expectedText(9), messages.boxes()[0].text);
        tvnPropClick(d, IDC_PROP_MASK_BROWSE);
        EXPECT_EQ(maskFile.path(), text(d, IDC_PROP_MASK_FILE));
        tvnPropClick(d, IDC_PROP_OK);
    }));
    tvnSetOpenFileProc(nullptr, nullptr);
    EXPECT_STREQ(maskFile.path(), image.getMaskFileName());
    IMG_TRANSP t = {};
    t.byMode = TRANSP_MASK;
    copy.setTransparency(t, maskFile.path());
    expectSame(image, copy);
}

TEST(Properties, ModeControlsAndSwatch) {
    const int controls[] = {1040, 1039, 1041, 1042, 1043, 1044, 1047, 1035, 1036, 1006, 1011, 1008, 1009, 1007};
    const struct { int radio; const char* enabled; } table[] = {
        {IDC_PROP_MODE_CONST, "10000000000000"},     {IDC_PROP_MODE_LG, "01111000000000"},
        {IDC_PROP_MODE_ELL, "00000110000000"},       {IDC_PROP_MODE_MASK, "00000001100000"},
        {IDC_PROP_MODE_ORIGINAL, "00000000000000"},  {IDC_PROP_MODE_CHROMAKEY, "00000000011111"},
    };
    CRGBAImage image = picture(), copy(image);
    show(image, [&](TVN_PROPERTIES_DIALOG* d) {
        tvnPropSetColorProc(d, [](TVN_DWORD* color, TVN_DWORD*, void*) { *color = 0xFF123456u; return 1; }, nullptr);
        TVN_DWORD color = 0;
        EXPECT_EQ(0, tvnPropDrawSwatch(d, &color));
        for (const auto& row : table) {
            tvnPropClick(d, row.radio);
            std::string enabled;
            for (int id : controls) enabled += tvnPropIsEnabled(d, id) ? '1' : '0';
            EXPECT_EQ(row.enabled, enabled) << row.radio;
        }
        tvnPropClick(d, IDC_PROP_COLOR);
        EXPECT_EQ(1, tvnPropDrawSwatch(d, &color));
        EXPECT_EQ(0x123456u, color);
        tvnPropClick(d, IDC_PROP_KEY_SOFT);
        tvnPropSetTrackBar(d, IDC_PROP_KEY_DEVIATION, 300); // kept within 0..255
        tvnPropClick(d, IDC_PROP_OK);
    });
    IMG_TRANSP t = {TRANSP_CHROMAKEY, 0, 0, 0, 0, 0, 0, 0, 0x123456u, 1, 255};
    copy.setTransparency(t, nullptr);
    expectSame(image, copy);
}

// Blur cases: the dialog's actions, then what the same run does directly.
TEST(Properties, Blur) {
    using A = tvn::ImageAccess;
    struct Case {
        unsigned before;
        Script script;
        std::function<void(CRGBAImage&)> direct;
    } cases[] = {
        {0, [](TVN_PROPERTIES_DIALOG* d) { // on without moving the track bar: nothing
             tvnPropClick(d, IDC_PROP_BLUR_ON);
             EXPECT_EQ(1, tvnPropGetTrackBar(d, IDC_PROP_BLUR_SIZE, nullptr, nullptr, nullptr));
         }, [](CRGBAImage&) {}},
        {3, [](TVN_PROPERTIES_DIALOG* d) { tvnPropSetTrackBar(d, IDC_PROP_BLUR_SIZE, 5); },
         [](CRGBAImage& i) { unsigned k = 5; A::blur(i, &k, 1); }},
        {3, [](TVN_PROPERTIES_DIALOG* d) {
             tvnPropSetTrackBar(d, IDC_PROP_BLUR_SIZE, 5);
             tvnPropType(d, IDC_PROP_WIDTH, "40");
         }, [](CRGBAImage& i) {
             i.setSize(40, 20, kFilter, nullptr, nullptr);
             unsigned k = 5;
             A::blur(i, &k, 0);
         }},
        {3, [](TVN_PROPERTIES_DIALOG* d) { tvnPropClick(d, IDC_PROP_BLUR_ON); }, // off: the pixels stay
         [](CRGBAImage& i) { A::blurSize(i) = 0; }},
        {3, [](TVN_PROPERTIES_DIALOG* d) { // a mode's rebuild drops the blur; OK shows it again
             tvnPropClick(d, IDC_PROP_MODE_CONST);
             tvnPropType(d, IDC_PROP_CONST, "40");
         }, [](CRGBAImage& i) {
             IMG_TRANSP t = {};
             t.byConstTransp = 40;
             i.setTransparency(t, nullptr);
             i.setSize(i.getWidth(), i.getHeight(), kFilter, nullptr, nullptr);
         }},
    };
    for (Case& c : cases) {
        CRGBAImage image = picture();
        unsigned k = c.before;
        if (k) image.blur(&k);
        CRGBAImage copy(image);
        EXPECT_EQ(1, show(image, [&](TVN_PROPERTIES_DIALOG* d) {
            c.script(d);
            tvnPropClick(d, IDC_PROP_OK);
        }));
        if (image.getTransparency().byMode == TRANSP_ORIGINAL) copy.restoreAlpha(kFilter, nullptr, nullptr);
        c.direct(copy);
        expectSame(image, copy);
    }
}

TEST(Properties, WithoutAProcThereIsNoDialogOnPosix) {
    if (tvn::plat::kPathSeparator == '\\') GTEST_SKIP() << "Windows shows its own dialog";
    CRGBAImage image = picture(), copy(image);
    EXPECT_EQ(0, image.showProperties(nullptr, kFilter, nullptr, nullptr));
    expectSame(image, copy);
}

} // namespace
