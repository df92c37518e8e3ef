// The message table and the message sink. (That a thrown message is the
// table's own buffer is relied on by every recorder of message numbers.)
#include <gtest/gtest.h>

#include <set>

#include "pixel/module_start.h"
#include "platform/platform.h"
#include "support/helpers.h"

TEST(Messages, TableHoldsTheTenTexts) {
    std::set<const char*> buffers;
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(std::string(tvn::pixel::messageText(n)), tvntest::MessageRecorder::expectedText(n)) << "message " << n;
        buffers.insert(tvn::pixel::messageText(n));
    }
    EXPECT_EQ(buffers.size(), 10u);
    EXPECT_EQ(std::string(tvn::pixel::messageText(4)), std::string(tvn::pixel::messageText(7))) << "same wording";
    EXPECT_NE(tvn::pixel::messageText(4), tvn::pixel::messageText(7)) << "but distinct entries";
}

TEST(Messages, LaterAttachesLeaveTheTableAlone) {
    tvn::pixel::messageText(2)[0] = 'X';
    tvn::pixel::moduleAttach(tvn::plat::moduleInstance(), tvn::pixel::kAttachThread);
    tvn::pixel::moduleAttach(tvn::plat::moduleInstance(), tvn::pixel::kAttachProcess);
    EXPECT_EQ(tvn::pixel::messageText(2)[0], 'X');
    tvn::pixel::messageText(2)[0] = tvntest::MessageRecorder::expectedText(2)[0];
}

TEST(Messages, SinkReceivesEveryBoxWithTheCaption) {
    {
        tvntest::MessageRecorder recorder;
        tvn::plat::showMessage(tvn::pixel::messageText(5), nullptr);
        tvn::plat::showMessage("second", nullptr);
        ASSERT_EQ(recorder.boxes().size(), 2u);
        EXPECT_EQ(recorder.boxes()[0].text, tvntest::MessageRecorder::expectedText(5));
        EXPECT_EQ(recorder.boxes()[0].caption, "tivorn.dll");
    }
    // With no proc installed the platform's own box is back; on POSIX it is one stderr line.
    if (tvn::plat::moduleInstance() == nullptr) {
        tvnSetMessageProc(nullptr, nullptr);
        testing::internal::CaptureStderr();
        tvn::plat::showMessage("hello", nullptr);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "tivorn.dll: hello\n");
        tvnSetMessageProc(&tvntest::stderrSink, nullptr);
    }
}
