// The real Quorvanes.scr, started as Windows starts it.
#include <windows.h>

#include <gtest/gtest.h>

#include "wine_test_support.h"

namespace qv {
namespace {

using namespace wintest;

class SaverHostProcess : public ::testing::Test {
  protected:
    void SetUp() override { ResetConfiguration(); }
};

TEST_F(SaverHostProcess, SecondScreenSaverStartEndsAtOnceWhileTheFirstHoldsTheMutex) {
    const Child first = StartProgram(SaverHostCommand(L"/s"));
    ASSERT_TRUE(first.process);
    // The first instance stays up at its message box, holding the mutex.
    const auto box = WaitForMessageBox(first.pid, 20s);
    ASSERT_TRUE(box) << "the first instance showed nothing";

    // Watched for boxes from its start to its end: one would keep it up.
    const Child second = StartProgram(SaverHostCommand(L"/s"));
    ASSERT_TRUE(second.process);
    const EndWatched end = WaitForExitWatchingBoxes(second, 30s);
    EXPECT_EQ(end.exitCode, 0u) << "the second instance ends at once, silently";
    EXPECT_FALSE(end.box) << end.box->text;

    Answer(*box, IDOK);
    EXPECT_TRUE(WaitForExit(first, 15s));
}

TEST_F(SaverHostProcess, WindowNumberThatIsNoNumberIsReported) {
    const Child child = StartProgram(SaverHostCommand(L"/p abc"));
    const auto box = WaitForMessageBox(child.pid, 20s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "'abc' is not a valid window number.");
    EXPECT_EQ(box->caption, "Quorvanes");
    Answer(*box, IDOK);
    EXPECT_EQ(WaitForExit(child, 15s), 1u);
}

}  // namespace
}  // namespace qv
