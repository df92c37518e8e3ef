// `tivorn demo` end to end: every listed file, the installed program finding its
// pictures, and the page in a headless browser.
#include "cli_run.h"
#include "support/helpers.h"

namespace {

using namespace clitest;

// The demo goes on past a step the library refuses, marks it in the page and
// exits with 1. Which steps the library refuses is asked of the library itself:
// the mask mode needs a mask picture it can load and stretch.
bool libraryTakesMasks(const std::string& pictures) {
    CRGBAImage image;
    return image.load((fs::path(pictures) / "scene.bmp").string().c_str(), 0) &&
           image.setTransparency(IMG_TRANSP{TRANSP_MASK, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                 (fs::path(pictures) / "photo.jpg").string().c_str());
}

const char kMaskShot[] = "alpha-mask.png";

std::vector<std::string> demoFiles() {
    std::vector<std::string> files = {
        "load-scene-bmp.png", "load-alpha-tga.png", "load-interlaced-gif.png", "load-photo-jpeg.png",
        "load-greenscreen-bmp.png", "rough.png", "resize-twice.png", "blur.png", "alpha-const.png",
        "alpha-gradient.png", "alpha-ellipse.png", "alpha-mask.png", "alpha-chromakey.png", "alpha-original.png",
        "alpha-resized.png", "gray.png", "bgra.png", "flip-h.png", "flip-v.png", "trim.png", "stretch.png",
        "pack-roundtrip.png", "spin.kac", "index.html"};
    for (const char* f : {"box", "bilinear", "bicubic", "gaussian", "hamming", "blackman"})
        files.push_back(std::string("filter-") + f + ".png");
    for (int k = 0; k < 8; ++k)
        for (const char* run : {"anim-spin-", "cache-frame-"}) files.push_back(run + std::to_string(k) + ".png");
    return files;
}

TEST_F(CliTest, DemoWritesEveryListedFile) {
    const bool masks = libraryTakesMasks(m_pictures);
    const RUN r = run({"demo", work("demo"), "--quiet"});
    ASSERT_EQ(r.status, masks ? 0 : 1) << r.err;
    EXPECT_EQ(lines(r.err).size(), masks ? 0u : 1u) << r.err;
    const std::string page = slurp(m_work / "demo" / "index.html");
    for (const std::string& file : demoFiles()) {
        SCOPED_TRACE(file);
        if (!masks && file == kMaskShot) {
            EXPECT_FALSE(fs::exists(m_work / "demo" / file));
            EXPECT_NE(page.find("<figure class=\"failed\"><div class=\"missing\">failed</div>\n<figcaption><b>Mask</b>"),
                      std::string::npos);
            continue;
        }
        const std::string bytes = slurp(m_work / "demo" / file);
        EXPECT_FALSE(bytes.empty());
        if (fs::path(file).extension() == ".png") {
            EXPECT_EQ(bytes.rfind("\x89PNG\r\n\x1a\n", 0), 0u);
            EXPECT_NE(page.find("src=\"" + file + "\""), std::string::npos);
        }
    }
}

TEST_F(CliTest, InstalledProgramFindsItsPictures) {
    const fs::path prefix = m_work / "prefix";
    const std::string install = quote(env("TIVORN_CMAKE")) + " --install " + quote(env("TIVORN_BUILD_DIR")) +
                                " --prefix " + quote(prefix.string()) + " >/dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0);
    const RUN r = run({"demo", work("demo")}, "", (prefix / "bin" / "tivorn").string());
    ASSERT_EQ(r.status, libraryTakesMasks(m_pictures) ? 0 : 1) << r.err;
    EXPECT_EQ(r.out.rfind("pictures from " + (prefix / "share" / "tivorn" / "demo-pictures").string(), 0), 0u)
        << r.out;
}

// Added to a copy of index.html: checks the page as Chromium shows it - every
// picture decoded, each animation showing exactly one frame whenever sampled and
// more than one frame over the samples - and writes its verdict into the DOM for
// --dump-dom. The samples run in Chromium's virtual time (--virtual-time-budget),
// which the page's timers follow whatever the machine's load.
const char kPageCheck[] = R"(<script>
addEventListener('load', () => {
  const problems = new Set(), anims = [...document.querySelectorAll('figure.anim')], seen = anims.map(() => new Set());
  for (const img of document.images) if (!img.naturalWidth) problems.add('not decoded: ' + img.getAttribute('src'));
  if (!anims.length) problems.add('no animation');
  let samples = 0;
  const timer = setInterval(() => {
    anims.forEach((figure, f) => {
      const shown = [...figure.querySelectorAll('img')].filter(img => img.getClientRects().length);
      if (shown.length === 1) seen[f].add(shown[0].getAttribute('src'));
      else problems.add('animation ' + f + ' shows ' + shown.length + ' frames at once');
    });
    if (++samples < 40) return;
    clearInterval(timer);
    seen.forEach((frames, f) => frames.size < 2 && problems.add('animation ' + f + ' does not advance'));
    const verdict = document.body.appendChild(document.createElement('pre'));
    verdict.id = 'verdict';
    verdict.textContent = [...problems].join('\n') || 'pass';
  }, 50);
});
</script>
)";

TEST_F(CliTest, DemoPageShowsEveryPictureInChromium) {
    const RUN which = run({"-c", "command -v chromium || command -v chromium-browser"}, "", "/bin/sh");
    if (which.status != 0)
        GTEST_SKIP() << "chromium is not installed";
    const std::string chromium = lines(which.out).at(0);
    const bool masks = libraryTakesMasks(m_pictures);
    ASSERT_EQ(run({"demo", work("demo"), "-q"}).status, masks ? 0 : 1);
    const fs::path demo = m_work / "demo";
    std::string page = slurp(demo / "index.html");
    const std::size_t end = page.rfind("</body>");
    ASSERT_NE(end, std::string::npos);
    std::ofstream(demo / "check.html", std::ios::binary) << page.insert(end, kPageCheck);

    // The screenshot is kept as a build artifact, next to the other builds' screenshots.
    const fs::path artifacts = fs::path(env("TIVORN_BUILD_DIR")) / "artifacts";
    fs::create_directories(artifacts);
    const std::string screenshot = (artifacts / "demo-page.png").string();
    fs::remove(screenshot);
    const std::vector<std::string> flags = {
        "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
        "--disable-background-networking", "--disable-component-update", "--disable-sync",
        "--user-data-dir=" + work("profile"), "--virtual-time-budget=10000", "--window-size=1400,4000"};
    std::vector<std::string> dump = flags, shot = flags;
    dump.insert(dump.end(), {"--dump-dom", "file://" + (demo / "check.html").string()});
    shot.insert(shot.end(), {"--screenshot=" + screenshot, "file://" + (demo / "index.html").string()});
    const RUN dom = run(dump, "", chromium);
    ASSERT_EQ(dom.status, 0) << dom.err;
    const std::size_t verdict = dom.out.find("<pre id=\"verdict\">");
    ASSERT_NE(verdict, std::string::npos) << "the check wrote no verdict:\n" << dom.out.substr(0, 2000);
    EXPECT_EQ(dom.out.substr(verdict + 18, dom.out.find("</pre>", verdict) - verdict - 18), "pass");
    int pictures = masks ? 0 : -1;
    for (const std::string& file : demoFiles()) pictures += fs::path(file).extension() == ".png" ? 1 : 0;
    EXPECT_NE(dom.out.find("all " + std::to_string(pictures) + " pictures loaded"), std::string::npos); // its own report
    EXPECT_EQ(run(shot, "", chromium).status, 0);
    EXPECT_GT(fs::file_size(screenshot), 1000u);
}

} // namespace
