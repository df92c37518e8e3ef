// `tivorn demo` end to end: every listed file, the installed program finding its
// pictures, and the page in a headless browser.
#include "cli_run.h"

namespace {

using namespace clitest;

const char* const kDemoFiles[] = {
    "load-scene-bmp.png", "load-alpha-tga.png", "load-interlaced-gif.png", "load-photo-jpeg.png",
    "load-greenscreen-bmp.png", "filter-box.png", "filter-bilinear.png", "filter-bicubic.png", "filter-gaussian.png",
    "filter-hamming.png", "filter-blackman.png", "rough.png", "resize-twice.png", "blur.png", "alpha-const.png",
    "alpha-gradient.png", "alpha-ellipse.png", "alpha-mask.png", "alpha-chromakey.png", "alpha-original.png",
    "alpha-resized.png", "gray.png", "bgra.png", "flip-h.png", "flip-v.png", "trim.png", "stretch.png",
    "pack-roundtrip.png", "index.html"};

TEST_F(CliTest, DemoWritesEveryListedFile) {
    const RUN r = run({"demo", work("demo"), "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string page = slurp(m_work / "demo" / "index.html");
    for (const char* file : kDemoFiles) {
        SCOPED_TRACE(file);
        const std::string bytes = slurp(m_work / "demo" / file);
        EXPECT_FALSE(bytes.empty());
        if (fs::path(file).extension() == ".png") {
            EXPECT_EQ(bytes.rfind("\x89PNG\r\n\x1a\n", 0), 0u);
            EXPECT_NE(page.find(std::string("src=\"") + file + "\""), std::string::npos);
        }
    }
}

TEST_F(CliTest, InstalledProgramFindsItsPictures) {
    const fs::path prefix = m_work / "prefix";
    const std::string install = quote(env("TIVORN_CMAKE")) + " --install " + quote(env("TIVORN_BUILD_DIR")) +
                                " --prefix " + quote(prefix.string()) + " >/dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0);
    const RUN r = run({"demo", work("demo")}, "", (prefix / "bin" / "tivorn").string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("pictures from " + (prefix / "share" / "tivorn" / "demo-pictures").string(), 0), 0u)
        << r.out;
}

TEST_F(CliTest, DemoPageShowsEveryPictureInChromium) {
    const RUN which = run({"-c", "command -v chromium || command -v chromium-browser"}, "", "/bin/sh");
    if (which.status != 0)
        GTEST_SKIP() << "chromium is not installed";
    const std::string chromium = lines(which.out).at(0);
    ASSERT_EQ(run({"demo", work("demo"), "-q"}).status, 0);
    const std::string url = "file://" + (m_work / "demo" / "index.html").string();
    const std::vector<std::string> flags = {
        "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
        "--disable-background-networking", "--disable-component-update", "--disable-sync",
        "--user-data-dir=" + work("profile"), "--virtual-time-budget=10000", "--window-size=1400,3000"};
    std::vector<std::string> dump = flags, shot = flags;
    dump.insert(dump.end(), {"--dump-dom", url});
    shot.insert(shot.end(), {"--screenshot=" + work("demo-screenshot.png"), url});
    const RUN dom = run(dump, "", chromium);
    ASSERT_EQ(dom.status, 0) << dom.err;
    const int pictures = static_cast<int>(sizeof kDemoFiles / sizeof *kDemoFiles) - 1;
    EXPECT_NE(dom.out.find("all " + std::to_string(pictures) + " pictures loaded"), std::string::npos) << dom.out;
    EXPECT_EQ(dom.out.find("data-loaded=\"no\""), std::string::npos);
    EXPECT_EQ(run(shot, "", chromium).status, 0);
    EXPECT_GT(fs::file_size(work("demo-screenshot.png")), 1000u); // kept for a look
}

} // namespace
