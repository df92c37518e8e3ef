// The tivorn program end to end, on the shipped demo pictures: every result is
// checked against what the library itself gives for the same calls.
#include <functional>

#include "cli_run.h"
#include "support/helpers.h"

#ifdef TIVORN_CLI_TEST_PNG
#include <png.h>
#endif

namespace {

using namespace clitest;

// info and pack report what the library reads and packs.
TEST_F(CliTest, InfoAndPackReportWhatTheLibraryReads) {
    const char* names[] = {"scene.bmp", "alpha.tga", "greenscreen.bmp", "interlaced.gif", "photo.jpg"};
    const char* formats[] = {"BMP", "TGA", "BMP", "GIF", "JPEG"};
    std::vector<std::string> args = {"info"};
    std::string expected;
    for (int i = 0; i < 5; ++i) {
        CRGBAImage image;
        ASSERT_TRUE(image.load(pic(names[i]).c_str(), 0)) << names[i];
        args.push_back(pic(names[i]));
        expected += pic(names[i]) + ": " + formats[i] + " " + std::to_string(image.getWidth()) + "x" +
                    std::to_string(image.getHeight()) + ", " + (image.containsAlpha() ? "alpha" : "no alpha") + "\n";
        const RUN r = run({"pack", pic(names[i])});
        EXPECT_EQ(r.status, 0) << r.err;
        const std::string length = std::to_string(tvntest::packed(image).size());
        EXPECT_NE(r.out.find("packed:     " + length + " bytes"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("round trip: ok"), std::string::npos) << r.out;
    }
    const RUN r = run(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.err, "");
}

// Applies a transparency record (byMode, byConstTransp, byLGTop, byLGLeft,
// byLGRight, byLGBottom, byEllCenter, byEllBorder, clrChromakey, bChromakeySoft,
// dwChromakeyDev); false where the library itself refuses it.
bool alpha(CRGBAImage& i, const IMG_TRANSP& t, const char* mask = nullptr) {
    return i.setTransparency(t, mask) != 0;
}

TEST_F(CliTest, ConvertWritesWhatTheLibraryWrites) {
    struct CASE { const char* input; std::vector<std::string> options; std::function<bool(CRGBAImage&)> apply; };
    const int bicubic = CRGBAImage::BicubicFilter;
    auto size = [=](CRGBAImage& i, TVN_DWORD w, TVN_DWORD h) { return i.setSize(w, h, bicubic, nullptr, nullptr) != 0; };
    const std::string mask = pic("photo.jpg");
    std::vector<CASE> cases = {
        {"scene.bmp", {"--size", "97x61"}, [=](CRGBAImage& i) { return size(i, 97, 61); }},
        {"scene.bmp", {"--rough", "--size", "50x41"}, [](CRGBAImage& i) { return i.setSizeRough(50, 41) != 0; }},
        {"scene.bmp", {"--blur", "3"}, [](CRGBAImage& i) { unsigned k = 3; i.blur(&k); return true; }},
        {"scene.bmp", {"--alpha", "const:30"},
         [](CRGBAImage& i) { return alpha(i, {TRANSP_CONST, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0}); }},
        {"scene.bmp", {"--size", "100x75", "--alpha", "gradient:10,20,30,40", "--size", "90x70"},
         [=](CRGBAImage& i) {
             return size(i, 100, 75) && alpha(i, {TRANSP_LG, 0, 10, 20, 30, 40, 0, 0, 0, 0, 0}) && size(i, 90, 70);
         }},
        {"scene.bmp", {"--alpha", "ellipse:0,100"},
         [](CRGBAImage& i) { return alpha(i, {TRANSP_ELL, 0, 0, 0, 0, 0, 0, 100, 0, 0, 0}); }},
        {"greenscreen.bmp", {"--alpha", "chromakey:00FF00,120,soft"},
         [](CRGBAImage& i) { return alpha(i, {TRANSP_CHROMAKEY, 0, 0, 0, 0, 0, 0, 0, 0x0000FF00u, 1, 120}); }},
        {"scene.bmp", {"--alpha", "mask:" + mask},
         [=](CRGBAImage& i) { return alpha(i, {TRANSP_MASK, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, mask.c_str()); }},
        {"alpha.tga", {"--size", "64x48", "--alpha", "const:100", "--alpha", "original"}, [=](CRGBAImage& i) {
             return size(i, 64, 48) && alpha(i, {TRANSP_CONST, 100, 0, 0, 0, 0, 0, 0, 0, 0, 0}) &&
                    (i.restoreAlpha(bicubic, nullptr, nullptr), true);
         }},
        {"photo.jpg", {"--gray"}, [](CRGBAImage& i) { i.convertToGrayscale(); return true; }},
        {"photo.jpg", {"--bgra"}, [](CRGBAImage& i) { i.convertToBGRA(); return true; }},
        {"interlaced.gif", {"--flip", "h"}, [](CRGBAImage& i) { i.flipHorizontal(); return true; }},
        {"interlaced.gif", {"--flip", "v"}, [](CRGBAImage& i) { i.flipVertical(); return true; }},
        {"alpha.tga", {"--trim"}, [](CRGBAImage& i) { TVN_DWORD x, y; i.trimByAlpha(x, y); return true; }},
        {"scene.bmp", {"--stretch", "200"}, [](CRGBAImage& i) { i.stretchHorizontally(200); return true; }},
        // --filter chooses the filter of every --size, wherever it stands.
        {"alpha.tga", {"--flip", "h", "--size", "64x48", "--filter", "hamming", "--alpha", "ellipse:20,80", "--gray"},
         [](CRGBAImage& i) {
             i.flipHorizontal();
             i.setSize(64, 48, CRGBAImage::HammingFilter, nullptr, nullptr);
             alpha(i, {TRANSP_ELL, 0, 0, 0, 0, 0, 20, 80, 0, 0, 0});
             return i.convertToGrayscale(), true;
         }},
    };
    const char* filters[] = {"box", "bilinear", "bicubic", "gaussian", "hamming", "blackman"};
    for (int f = 0; f < 6; ++f)
        cases.push_back({"scene.bmp", {"--size", "203x151", "--filter", filters[f]},
                         [f](CRGBAImage& i) { return i.setSize(203, 151, f + 1, nullptr, nullptr) != 0; }});
    for (const CASE& c : cases) {
        SCOPED_TRACE(std::string(c.input) + " " + joined(c.options));
        std::vector<std::string> args = {"convert", pic(c.input), work("out.tga")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        CRGBAImage image;
        ASSERT_TRUE(image.load(pic(c.input).c_str(), 0));
        const bool refused = !c.apply(image);
        ASSERT_TRUE(image.saveTGA(work("expected.tga").c_str()));
        fs::remove(work("out.tga"));
        const RUN r = run(args);
        if (refused) { // the program fails where the library does, with one line
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
            EXPECT_FALSE(fs::exists(work("out.tga")));
            continue;
        }
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_TRUE(tvntest::readFileBytes(work("out.tga")) == tvntest::readFileBytes(work("expected.tga")));
    }
}

#ifdef TIVORN_CLI_TEST_PNG
TEST_F(CliTest, PngHoldsTheLibraryPixels) {
    const RUN r = run({"convert", pic("alpha.tga"), work("out.png"), "--size", "90x70", "--alpha", "ellipse:0,60"});
    ASSERT_EQ(r.status, 0) << r.err;
    png_image png = png_image();
    png.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&png, work("out.png").c_str()));
    png.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> bytes(PNG_IMAGE_SIZE(png));
    ASSERT_TRUE(png_image_finish_read(&png, nullptr, bytes.data(), 0, nullptr));
    CRGBAImage image;
    ASSERT_TRUE(image.load(pic("alpha.tga").c_str(), 0));
    image.setSize(90, 70, CRGBAImage::BicubicFilter, nullptr, nullptr);
    alpha(image, {TRANSP_ELL, 0, 0, 0, 0, 0, 0, 60, 0, 0, 0});
    ASSERT_EQ(png.width, image.getWidth());
    ASSERT_EQ(png.height, image.getHeight());
    std::vector<unsigned char> expected; // PNG rows run top first, the library's bottom first
    for (TVN_DWORD y = png.height; y-- > 0;)
        for (TVN_DWORD x = 0; x < png.width; ++x) {
            const TVN_DWORD w = image.getBuffer()[y * png.width + x];
            expected.insert(expected.end(), {tvnGetRValue(w), tvnGetGValue(w), tvnGetBValue(w), tvnGetAValue(w)});
        }
    EXPECT_TRUE(bytes == expected);
}
#endif

// Help for every command on stdout; bad arguments: status 2, one line, no output.
TEST_F(CliTest, HelpAndBadArguments) {
    const std::string in = pic("scene.bmp"), out = work("out.tga");
    const std::vector<std::vector<std::string>> cases = {
        {"--help"}, {"info", "--help"}, {"convert", "--help"}, {"pack", "--help"}, {"demo", "--help"},
        {"frames", "--help"}, {"play", "--help"}, {"frobnicate"}, {"info"}, {"convert", in}, {"convert", in, out, work("third.tga")},
        {"convert", in, out, "--bogus"}, {"convert", in, out, "--size"}, {"convert", in, out, "--size", "0x5"},
        {"convert", in, out, "--size", "12"}, {"convert", in, out, "--size", "70000x5"},
        {"convert", in, out, "--filter", "lanczos"}, {"convert", in, out, "--alpha", "const:101"},
        {"convert", in, out, "--alpha", "gradient:1,2,3"}, {"convert", in, out, "--alpha", "chromakey:GG0000,5"},
        {"convert", in, out, "--alpha", "chromakey:00FF00,442"}, {"convert", in, out, "--flip", "x"},
        {"convert", in, out, "--blur", "-1"}, {"convert", in, out, "--trim=1"}, {"convert", in, work("out.jpg")},
        {"convert", work("picture.png"), out}, {"pack"}, {"pack", in, in}, {"demo", work("a"), work("b")}};
    for (const auto& args : cases) {
        SCOPED_TRACE(joined(args));
        const RUN r = run(args);
        const bool help = args.back() == "--help";
        EXPECT_EQ(r.status, help ? 0 : 2);
        EXPECT_EQ(r.out.rfind("usage: tivorn", 0), help ? 0u : std::string::npos);
        const auto errLines = lines(r.err);
        ASSERT_EQ(errLines.size(), help ? 0u : 1u) << r.err;
        EXPECT_TRUE(help || errLines[0].rfind("tivorn: ", 0) == 0) << r.err;
        EXPECT_FALSE(fs::exists(out));
    }
}

TEST_F(CliTest, UnreadableFilesGiveTheLibraryMessageOnce) {
    std::ofstream(work("damaged.bmp"), std::ios::binary) << "BM\x10\x00\x00";
    std::ofstream(work("damaged.tga"), std::ios::binary) << std::string("\0\0\2\0\0\0\0\0\0\0\0\0\x40\0\x40\0\x20\x08", 18);
    for (const char* name : {"missing.bmp", "damaged.bmp", "damaged.tga"}) {
        SCOPED_TRACE(name);
        std::vector<std::string> library; // the library's boxes on loading the file itself
        {
            tvntest::MessageRecorder recorder;
            CRGBAImage().load(work(name).c_str(), 0);
            for (const auto& box : recorder.boxes()) library.push_back("tivorn: " + box.text);
        }
        const RUN r = run({"convert", work(name), work("out.tga")});
        EXPECT_EQ(r.status, 1);
        const auto errLines = lines(r.err);
        ASSERT_EQ(errLines.size(), 1u) << r.err;
        if (!library.empty()) {
            EXPECT_EQ(errLines, library); // in the library's own words, once
        }
        EXPECT_FALSE(fs::exists(work("out.tga")));
    }
    // info goes on after a failed file and still fails as a whole
    const RUN r = run({"info", work("damaged.bmp"), pic("scene.bmp")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
    EXPECT_EQ(r.out.rfind(pic("scene.bmp") + ": BMP ", 0), 0u) << r.out;
    // an output that cannot be created
    const RUN w = run({"convert", pic("scene.bmp"), work("no/such/folder/out.tga")});
    EXPECT_EQ(w.status, 1);
    EXPECT_EQ(lines(w.err).size(), 1u) << w.err;
}

TEST_F(CliTest, InterruptedResizeLeavesNoOutput) {
    struct CASE { const char* at; const char* out; int status; };
    // scene.bmp is 160x120: a resize to 97 wide makes 120 + 97 progress calls.
    const CASE cases[] = {{"10", "first.tga", 130}, {"230", "second.png", 130}, {"100000", "never.tga", 0}};
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.at);
        const RUN r = run({"convert", pic("scene.bmp"), work(c.out), "--size", "97x61", "--size", "300x200"},
                          std::string("TIVORN_TEST_INTERRUPT_AT=") + c.at);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(fs::exists(work(c.out)), c.status == 0);
        if (c.status) {
            ASSERT_EQ(lines(r.err).size(), 1u) << r.err;
            EXPECT_NE(r.err.find("interrupted"), std::string::npos);
        }
    }
}

// The shipped spin0000.tga.. from the third frame on: listed, then converted frame by frame.
TEST_F(CliTest, FramesListsTheRunAndConvertTakesEveryFrame) {
    for (int k = 2; k < 8; ++k) {
        const std::string name = "spin000" + std::to_string(k) + ".tga";
        fs::copy_file(pic(name.c_str()), m_work / name);
    }
    RUN r = run({"frames", "spin0002.tga", "--preload"});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* part : {"6 frames", "last     spin0007.tga", "ended by spin0008.tga (missing)", "48x48"})
        EXPECT_NE(r.out.find(part), std::string::npos) << part << "\n" << r.out;
    r = run({"convert", "spin0002.tga", "small.tga", "--frames", "--size", "24x24", "-q"});
    ASSERT_EQ(r.status, 0) << r.err;
    for (int k = 0; k < 6; ++k) {
        CRGBAImage out;
        ASSERT_TRUE(out.load(work(("small000" + std::to_string(k) + ".tga").c_str()).c_str(), 0));
        EXPECT_EQ(out.getWidth(), 24u);
    }
    EXPECT_FALSE(fs::exists(m_work / "small0006.tga"));
    EXPECT_EQ(run({"frames", "nothing0001.tga"}).status, 1);
}

} // namespace
