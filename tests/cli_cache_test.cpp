// `tivorn cache` end to end: what each command writes and says, an interrupted
// save leaving the cache as it was, and verify naming the first fault.
#include "cli_run.h"
#include "support/helpers.h"

namespace {

using namespace clitest;

TEST_F(CliTest, CacheCommandsEndToEnd) {
    std::vector<std::vector<TVN_DWORD>> frames;
    for (int k = 0; k < 3; ++k) {
        frames.push_back(tvntest::randomPixels(6, 4, 40 + k));
        CRGBAImage(frames.back().data(), 6, 4).saveTGA(work(("walk000" + std::to_string(k) + ".tga").c_str()).c_str());
    }
    ASSERT_EQ(run({"cache", "new", "c.kac"}).status, 0);
    EXPECT_EQ(fs::file_size(m_work / "c.kac"), 23u);
    const RUN again = run({"cache", "new", "c.kac"});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(lines(again.err).size(), 1u) << again.err;

    // Stopped on the first frame as by Ctrl-C: status 130 and the file untouched.
    const RUN stopped = run({"cache", "add", "c.kac", "walk0000.tga"}, "TIVORN_TEST_INTERRUPT_AT=1");
    EXPECT_EQ(stopped.status, 130) << stopped.err;
    EXPECT_EQ(fs::file_size(m_work / "c.kac"), 23u);

    ASSERT_EQ(run({"cache", "add", "c.kac", "walk0000.tga", "-q"}).status, 0);
    const RUN list = run({"cache", "list", "c.kac"});
    EXPECT_NE(list.out.find("entry 0: walk0000.tga, 3 frames"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("6x4"), std::string::npos);
    EXPECT_NE(list.out.find("source unchanged"), std::string::npos);
    EXPECT_EQ(run({"cache", "verify", "c.kac"}).status, 0);
    ASSERT_EQ(run({"cache", "extract", "c.kac", "0", "out", "--format", "tga"}).status, 0);
    for (int k = 0; k < 3; ++k) {
        CRGBAImage back;
        ASSERT_TRUE(back.load(work(("out/frame000" + std::to_string(k) + ".tga").c_str()).c_str(), 0));
        EXPECT_EQ(tvntest::pixelsOf(back), frames[k]);
    }

    std::string bytes = slurp(m_work / "c.kac");
    auto word = [&bytes](std::size_t at) {
        return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
    };
    bytes[word(19 + 4 + 12 + 4 + 8) + 28] = 5; // the last frame's height: 6x5 no longer unpacks
    std::ofstream(m_work / "bad.kac", std::ios::binary) << bytes;
    const RUN bad = run({"cache", "verify", "bad.kac"});
    EXPECT_EQ(bad.status, 1);
    ASSERT_EQ(lines(bad.err).size(), 1u) << bad.err;
    EXPECT_NE(bad.err.find("entry 0 frame 2"), std::string::npos) << bad.err;

    ASSERT_EQ(run({"cache", "rm", "c.kac", "0", "-q"}).status, 0);
    EXPECT_EQ(fs::file_size(m_work / "c.kac"), 23u);
}

} // namespace
