// load, reload and the open-file dialog: the state rules around the readers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "image/image_access.h"
#include "platform/platform.h"
#include "platform/testing/test_environment.h"
#include "support/files.h"
#include "support/helpers.h"

namespace {

using tvntest::Bytes;
using A = tvn::ImageAccess;

// A 24-bit BMP whose pixel i is blue i, green seed, red 7.
Bytes bmp(TVN_DWORD w, TVN_DWORD h, unsigned char seed = 1) {
    std::vector<TVN_DWORD> px(std::size_t(w) * h);
    for (std::size_t i = 0; i < px.size(); ++i) px[i] = 0xFF000007u | (i & 0xFF) << 16 | TVN_DWORD(seed) << 8;
    return tvntest::bmpPicture(px, w, h);
}

Bytes tga24(TVN_DWORD w, TVN_DWORD h) {
    return tvntest::tgaFile({w, h, 24, 2, 0, 0, 0, Bytes(std::size_t(w) * h * 3, 0x44), true});
}

// An image as a resize and a transparency mode leave it: a 2 x 2 current picture
// over its 3 x 2 untouched copy (from a 32-bit TGA: it contains alpha) with its
// alpha saved, and settings of its own.
void makeResizedLooking(CRGBAImage& image) {
    tvntest::MemoryFile file("resized/first.tga", tvntest::tgaFile({3, 2, 32, 2, 8, 0, 0, Bytes(24, 0x44), true}));
    ASSERT_EQ(image.load(file.path(), 0), 1);
    ASSERT_EQ(image.setSize(2, 2, CRGBAImage::BicubicFilter, nullptr, nullptr), 1);
    ASSERT_EQ(image.setTransparency(IMG_TRANSP{TRANSP_ELL, 0, 0, 0, 0, 0, 40, 0, 0, 0, 0}, nullptr), 1);
    A::resizeFilter(image) = CRGBAImage::BicubicFilter;
}

struct DialogScript {
    int answer = 1;
    std::string choice;
    std::string startSeen;
    std::string filtersSeen;
    int calls = 0;
};

int TVN_CDECL scriptedDialog(const char* start, const char* filters, char* path, int size, void* user) {
    DialogScript* s = static_cast<DialogScript*>(user);
    ++s->calls;
    s->startSeen = start;
    const char* p = filters;
    while (*p) p += std::strlen(p) + 1;
    s->filtersSeen.assign(filters, p + 1);
    std::strncpy(path, s->choice.c_str(), static_cast<std::size_t>(size));
    return s->answer;
}

class LoadTest : public ::testing::Test {
protected:
    void SetUp() override { CRGBAImage::m_strPath[0] = 0; }
    void TearDown() override {
        tvnSetOpenFileProc(nullptr, nullptr);
        CRGBAImage::m_strPath[0] = 0;
    }
};

} // namespace

TEST_F(LoadTest, ReaderChosenByExactExtensionLowerCasedInPlace) {
    struct Case {
        const char* name;
        Bytes bytes;
        int result;
        const char* stored;
        std::vector<int> messages;
    } cases[] = {
        {"PIC.BMP", bmp(2, 2), 1, "PIC.bmp", {}},
        {"pic.Tga", tga24(2, 1), 1, "pic.tga", {}},
        {"pic.TARGA", tga24(1, 1), 1, "pic.targa", {}},
        {"pic.dib", bmp(2, 2), 0, "pic.dib", {}},
        {"pic.png", bmp(2, 2), 0, "pic.png", {}},
        {"pic.bmp.", bmp(2, 2), 0, "pic.bmp.", {}},
        {"noext", bmp(2, 2), 0, "noext", {}},
        {"tga.BMP", tga24(2, 1), 0, "tga.bmp", {5}},
    };
    for (const Case& c : cases) {
        tvntest::MemoryFile file(std::string("ext/") + c.name, c.bytes);
        tvntest::MessageRecorder boxes;
        CRGBAImage image;
        EXPECT_EQ(image.load(file.path(), 0), c.result) << c.name;
        EXPECT_EQ(std::string(image.getFileName()), std::string("mem/ext/") + c.stored) << c.name;
        EXPECT_STREQ(image.getMaskFileName(), image.getFileName()) << c.name;
        EXPECT_EQ(boxes.numbers(), c.messages) << c.name;
        if (c.result) EXPECT_EQ(image.getWidthOrig(), image.getWidth());
        else EXPECT_EQ(image.getBuffer(), nullptr) << c.name;
    }
}

TEST_F(LoadTest, FailedLoadOrCancelledDialogLeavesTheImageExactlyAsItWas) {
    Bytes damaged = bmp(3, 2);
    damaged.resize(damaged.size() - 1);
    tvntest::MemoryFile bad("state/bad.bmp", damaged);
    tvntest::MemoryFile grey("state/grey.tga", tvntest::tgaFile({1, 1, 8, 3, 0, 0, 0, Bytes(12, 1)}));
    tvntest::MemoryFile other("state/pic.png", bmp(3, 2));
    DialogScript script;
    tvnSetOpenFileProc(&scriptedDialog, &script);
    struct Case {
        const char* path;
        int dialogAnswer; // 2: no dialog
        std::vector<int> messages;
    } cases[] = {{bad.path(), 2, {2}}, {grey.path(), 2, {4}}, {other.path(), 2, {}},
                 {"start", 0, {}},     {"start", -1, {8}}}; // cancelled, failed
    for (const Case& c : cases) {
        CRGBAImage image;
        makeResizedLooking(image);
        const tvntest::Snapshot before = tvntest::snapshot(image);
        tvntest::MessageRecorder boxes;
        script.answer = c.dialogAnswer;
        EXPECT_EQ(image.load(c.path, c.dialogAnswer != 2), 0) << c.path;
        EXPECT_EQ(tvntest::snapshot(image), before) << c.path;
        EXPECT_EQ(boxes.numbers(), c.messages) << c.path;
    }
    EXPECT_EQ(script.calls, 2);
}

TEST_F(LoadTest, SuccessfulLoadKeepsOnlyTheNewPictureAndTheSettings) {
    tvntest::MemoryFile second("keep/second.BMP", bmp(5, 4, 9));
    CRGBAImage image;
    makeResizedLooking(image);
    ASSERT_EQ(image.load(second.path(), 0), 1);
    EXPECT_EQ(tvntest::sizesOf(image), (std::vector<TVN_DWORD>{5, 4, 5, 4}));
    EXPECT_EQ(A::origBuffer(image), nullptr);
    EXPECT_EQ(A::savedAlpha(image), nullptr);
    EXPECT_EQ(image.containsAlpha(), 0);
    EXPECT_EQ(image.getTransparency().byMode, TRANSP_ELL);
    EXPECT_EQ(image.getTransparency().byEllCenter, 40);
    EXPECT_EQ(A::resizeFilter(image), CRGBAImage::BicubicFilter);
    EXPECT_EQ(image.getBuffer()[6], 0xFF060907u); // row 1, pixel 1: blue 6, green 9, red 7
}

TEST_F(LoadTest, UnopenableFileShowsMessageTenWithThePath) {
    CRGBAImage image;
    makeResizedLooking(image);
    const tvntest::Snapshot before = tvntest::snapshot(image);
    tvntest::MessageRecorder boxes;
    const std::string missing = "mem/open/missing.bmp";
    EXPECT_EQ(image.load(missing.c_str(), 0), 0);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, tvntest::MessageRecorder::expectedText(10) + ": " + missing);
    EXPECT_EQ(boxes.boxes()[0].caption, "tivorn.dll");
    EXPECT_EQ(image.getFileName(), missing);
    EXPECT_EQ(image.getMaskFileName(), missing);
    EXPECT_EQ(image.containsAlpha(), 0);
    EXPECT_EQ(tvntest::pixelsOf(image), std::get<0>(before.first));
    EXPECT_NE(A::origBuffer(image), nullptr);
    // No name: nothing happens at all.
    EXPECT_EQ(image.load(nullptr, 0), 0);
    EXPECT_EQ(image.load("", 0), 0);
    EXPECT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(image.getFileName(), missing);
}

TEST_F(LoadTest, DialogChoiceStartFolderAndRememberedFolder) {
    tvntest::MemoryFile picked("dlg/folder/picked.bmp", bmp(2, 3));
    DialogScript script;
    script.choice = picked.path();
    tvnSetOpenFileProc(&scriptedDialog, &script);
    const char sep = tvn::plat::kPathSeparator;
    const std::string folder = std::string("nowhere") + sep + "sub";

    CRGBAImage image;
    ASSERT_EQ(image.load((folder + sep + "missing.bmp").c_str(), 1), 1);
    EXPECT_EQ(script.startSeen, folder); // a path that does not exist gives its folder
    EXPECT_EQ(image.getFileName(), std::string(picked.path()));
    EXPECT_EQ(image.getHeight(), 3u);
    EXPECT_EQ(std::string(CRGBAImage::m_strPath), "mem/dlg/folder");
    const char filters[] = "Image Files\0*.bmp;*.dib;*.tga;*.targa;*.gif;*.jpg;*.jpeg\0"
                           "Windows Bitmap (*.bmp, *.dib)\0*.bmp;*.dib\0Targa (*.tga, *.targa)\0*.tga;*.targa\0"
                           "GIF (*.gif)\0*.gif\0JPEG (*.jpg, *.jpeg)\0*.jpg;*.jpeg\0";
    EXPECT_EQ(script.filtersSeen, std::string(filters, sizeof filters));

    // From now on the dialog starts in the folder of the last choice.
    CRGBAImage other;
    ASSERT_EQ(other.load("anything", 1), 1);
    EXPECT_EQ(script.startSeen, "mem/dlg/folder");

    // An existing path is the start itself while m_strPath is empty.
    CRGBAImage::m_strPath[0] = 0;
    tvntest::TempFile existing("exists.bmp");
    existing.write(bmp(1, 1));
    ASSERT_EQ(other.load(existing.path(), 1), 1);
    EXPECT_EQ(script.startSeen, existing.path());
}

TEST_F(LoadTest, ReloadReadsTheFileAgain) {
    const std::string path = "mem/reload/pic.bmp";
    tvn::plat::testing::memoryFileAdd(path.c_str(), bmp(3, 2, 1).data(), bmp(3, 2, 1).size());
    CRGBAImage image;
    ASSERT_EQ(image.load(path.c_str(), 0), 1);
    const Bytes changed = bmp(3, 2, 2);
    tvn::plat::testing::memoryFileAdd(path.c_str(), changed.data(), changed.size());
    EXPECT_EQ(image.reload(0, nullptr, nullptr), 1);
    EXPECT_EQ(tvnGetGValue(image.getBuffer()[0]), 2);
    tvn::plat::testing::memoryFileRemove(path.c_str());
    tvntest::MessageRecorder boxes;
    EXPECT_EQ(image.reload(0, nullptr, nullptr), 0);
    EXPECT_EQ(tvnGetGValue(image.getBuffer()[0]), 2);
    EXPECT_EQ(boxes.numbers().size(), 1u);
}

// Needs setSize and the blur of the resampling subsystem.
TEST_F(LoadTest, ReloadRestoresTheShownSizeWithOneBlur) {
    tvntest::MemoryFile file("reload2/pic.bmp", bmp(100, 80));
    CRGBAImage image;
    ASSERT_EQ(image.load(file.path(), 0), 1);
    ASSERT_EQ(image.setSize(50, 40, CRGBAImage::BilinearFilter, nullptr, nullptr), 1);
    EXPECT_EQ(image.reload(CRGBAImage::GaussianFilter, nullptr, nullptr), 1);
    EXPECT_EQ(tvntest::sizesOf(image), (std::vector<TVN_DWORD>{50, 40, 100, 80}));
    EXPECT_EQ(A::resizeFilter(image), CRGBAImage::GaussianFilter);

    CRGBAImage blurred;
    ASSERT_EQ(blurred.load(file.path(), 0), 1);
    unsigned int kernel = 2;
    blurred.blur(&kernel);
    ASSERT_EQ(blurred.getWidth(), 104u);
    const std::vector<TVN_DWORD> once = tvntest::pixelsOf(blurred);
    EXPECT_EQ(blurred.reload(0, nullptr, nullptr), 1);
    EXPECT_EQ(tvntest::sizesOf(blurred), (std::vector<TVN_DWORD>{104, 84, 100, 80}));
    EXPECT_EQ(blurred.getBlurKrnlSize(), 2u);
    EXPECT_EQ(tvntest::pixelsOf(blurred), once);
}
