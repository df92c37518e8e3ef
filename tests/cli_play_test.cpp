// `tivorn play` end to end: what it counts and reports on a frame run and on a
// cache entry, bad arguments and unreadable sources, and the window on a virtual
// display, whose screenshot must hold the last frame. Rates and late counts are
// never checked against numbers: the machine is shared and busy.
#include <regex>

#include "cli_run.h"
#include "support/helpers.h"

namespace {

using namespace clitest;

// The number a field of the JSON summary holds; -1 when it is missing.
double field(const std::string& json, const std::string& name) {
    std::smatch m;
    if (!std::regex_search(json, m, std::regex("\"" + name + "\": (-?[0-9.]+)"))) return -1;
    return std::stod(m[1]);
}

// walk0000.tga ... of the given pixel sets.
void writeRun(const fs::path& dir, const std::vector<std::vector<TVN_DWORD>>& frames, TVN_DWORD w, TVN_DWORD h) {
    for (std::size_t k = 0; k < frames.size(); ++k)
        CRGBAImage(frames[k].data(), w, h).saveTGA((dir / ("walk000" + std::to_string(k) + ".tga")).string().c_str());
}

TEST_F(CliTest, PlayShowsEveryFrameOfARunAndOfACacheEntry) {
    std::vector<std::vector<TVN_DWORD>> frames;
    for (unsigned k = 0; k < 4; ++k) frames.push_back(tvntest::randomPixels(6, 4, 70 + k));
    writeRun(m_work, frames, 6, 4);
    ASSERT_EQ(run({"cache", "add", "c.kac", "walk0000.tga", "-q"}).status, 0);
    struct CASE { std::vector<std::string> args; int frames, shown; };
    const CASE cases[] = {
        {{"walk0000.tga", "--loop", "3"}, 4, 12},
        {{"walk0001.tga", "--keep-ready", "1"}, 3, 3},
        {{"c.kac"}, 4, 4},
        {{"c.kac", "--entry=0", "--loop", "2"}, 4, 8},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + std::to_string(c.shown));
        std::vector<std::string> args = {"play", "--fps", "400", "--json"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const RUN r = run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(field(r.out, "frames"), c.frames);
        EXPECT_EQ(field(r.out, "shown"), c.shown);
        EXPECT_EQ(field(r.out, "count"), c.shown); // one fetch per frame shown
        EXPECT_EQ(field(r.out, "failed"), 0);
        EXPECT_EQ(field(r.out, "width"), 6);
        EXPECT_EQ(field(r.out, "height"), 4);
        const double late = field(r.out, "late");
        std::smatch at;
        ASSERT_TRUE(std::regex_search(r.out, at, std::regex("\"late_at\": \\[([0-9, ]*)\\]"))) << r.out;
        EXPECT_EQ(std::count(at[1].first, at[1].second, ',') + (at[1].length() > 0), late);
        EXPECT_LE(late, c.shown - 1); // the first frame starts the clock
        EXPECT_LE(field(r.out, "p50"), field(r.out, "p99"));
        EXPECT_LE(field(r.out, "p99"), field(r.out, "max"));
        EXPECT_NE(r.out.find(c.args[0] == "c.kac" ? "\"kind\": \"cache\"" : "\"kind\": \"run\""), std::string::npos);
        EXPECT_NE(r.out.find("\"stopped\": null"), std::string::npos);
    }
    const RUN text = run({"play", "walk0000.tga", "--fps", "400", "--loop", "2", "-q"});
    ASSERT_EQ(text.status, 0) << text.err;
    for (const char* part : {"walk0000.tga: 4 frames, 6x4, at 400 fps, 2 loops\n", "  shown     8 frames in ",
                             "  achieved  ", "  late      ", "  getFrame  p50 "})
        EXPECT_NE(text.out.find(part), std::string::npos) << part << "\n" << text.out;
}

TEST_F(CliTest, PlayRefusesBadArgumentsAndUnreadableSources) {
    writeRun(m_work, {tvntest::randomPixels(6, 4, 1), tvntest::randomPixels(6, 4, 2), tvntest::randomPixels(6, 4, 3)}, 6, 4);
    ASSERT_EQ(run({"cache", "add", "c.kac", "walk0000.tga", "-q"}).status, 0);
    const std::vector<std::vector<std::string>> usage = {
        {}, {"a.tga", "b.tga"}, {"walk0000.tga", "--bogus"}, {"walk0000.tga", "--fps"}, {"walk0000.tga", "--fps", "0"},
        {"walk0000.tga", "--fps", "-5"}, {"walk0000.tga", "--fps", "1e3"}, {"walk0000.tga", "--fps", "1001"},
        {"walk0000.tga", "--fps", "1.2.3"}, {"walk0000.tga", "--loop", "x"}, {"c.kac", "--entry", "-1"},
        {"c.kac", "--keep-ready", "2"}, {"walk0000.tga", "--screenshot", "s.png"},
        {"walk0000.tga", "--window", "--screenshot", "s.jpg"}, {"walk0000.tga", "--json=1"}};
    // Bad arguments give status 2, unreadable sources 1; either way one line and no output.
    auto refused = [&](std::vector<std::string> args, int status) {
        args.insert(args.begin(), "play");
        SCOPED_TRACE(joined(args));
        const RUN r = run(args);
        EXPECT_EQ(r.status, status);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
    };
    for (const auto& args : usage) refused(args, 2);
    std::ofstream(m_work / "bad.kac", std::ios::binary) << "not a cache at all";
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"missing0000.tga"}, {"missing.kac"}, {"bad.kac"}, {"c.kac", "--entry", "1"}})
        refused(args, 1);
    // A broken frame in the middle: the others are shown, the summary says so, status 1.
    std::ofstream(m_work / "walk0001.tga", std::ios::binary) << "broken";
    const RUN broken = run({"play", "walk0000.tga", "--fps", "400", "--json"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(field(broken.out, "shown"), 2);
    EXPECT_EQ(field(broken.out, "failed"), 1);
    EXPECT_NE(lines(broken.err).back().find("1 frame was not shown"), std::string::npos) << broken.err;
    // --window with no display to open it on (or in a build without SDL2).
    const RUN window = run({"play", "walk0002.tga", "--window"}, "env -u DISPLAY -u WAYLAND_DISPLAY");
    EXPECT_EQ(window.status, env("TIVORN_CLI_SDL2") == "1" ? 1 : 2);
    EXPECT_EQ(lines(window.err).size(), 1u) << window.err;
}

// Run by the ctest entry cli_play_window_test on a virtual X display of its own.
TEST_F(CliTest, PlayWindowShowsTheLastFrameOnAVirtualDisplay) {
    if (env("TIVORN_PLAY_WINDOW") != "1") GTEST_SKIP() << "runs under cli_play_window_test, on Xvfb";
    // The scene three ways round, opaque, so the window shows each frame's own pixels.
    CRGBAImage scene;
    ASSERT_TRUE(scene.load(pic("scene.bmp").c_str(), 0));
    const TVN_DWORD w = scene.getWidth(), h = scene.getHeight();
    std::vector<std::vector<TVN_DWORD>> frames;
    for (int k = 0; k < 3; ++k) {
        CRGBAImage frame(scene);
        if (k == 1) frame.flipHorizontal();
        if (k == 2) frame.flipVertical();
        frames.push_back(tvntest::pixelsOf(frame));
        for (TVN_DWORD& p : frames.back()) p |= 0xFF000000u;
    }
    writeRun(m_work, frames, w, h);
    const RUN r = run({"play", "walk0000.tga", "--fps", "30", "--loop", "2", "--window", "--screenshot", "shot.tga", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(field(r.out, "shown"), 6);
    EXPECT_NE(r.out.find("\"window\": true"), std::string::npos);
    CRGBAImage shot;
    ASSERT_TRUE(shot.load(work("shot.tga").c_str(), 0));
    ASSERT_EQ(shot.getWidth(), w); // the window opens at the frame's size
    ASSERT_EQ(shot.getHeight(), h);
    EXPECT_TRUE(tvntest::pixelsOf(shot) == frames[2]);
    const std::string artifact = (fs::path(env("TIVORN_BUILD_DIR")) / "artifacts" / "play-window.png").string();
    fs::create_directories(fs::path(artifact).parent_path());
    EXPECT_EQ(run({"convert", "shot.tga", artifact}).status, 0);
}

} // namespace
