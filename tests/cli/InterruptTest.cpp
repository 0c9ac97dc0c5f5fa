#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "CliRun.h"
#include "support/TempDir.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck::cli {
namespace {

using namespace std::chrono;
using ::testing::HasSubstr;

class InterruptTest : public test::VirtualPrinterTest {
protected:
    bool EventSeen(const std::string& suffix) const {
        for (const vp::CommandEvent& event : Events()) {
            if (event.handler.ends_with(suffix)) {
                return true;
            }
        }
        return false;
    }

    // Runs printdeck-cli in a child process, sends it Ctrl-C `count` times
    // after `delay`, and returns its exit status and how long it took.
    std::pair<int, milliseconds> RunAndInterrupt(const std::vector<std::string>& args, int count,
                                                 milliseconds delay) {
        const auto start = steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            std::ostringstream out;
            std::ostringstream err;
            _exit(test::RunCliWith(test::OnPrinter(*this, args), out, err));
        }
        std::this_thread::sleep_for(delay);
        for (int i = 0; i < count; ++i) {
            kill(child, SIGINT);
            std::this_thread::sleep_for(milliseconds(50));
        }
        int status = 0;
        waitpid(child, &status, 0);
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return {code, duration_cast<milliseconds>(steady_clock::now() - start)};
    }

    test::IsolatedFiles m_files;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

// The first Ctrl-C lets the step that runs finish and stops before the
// next; the printer may then hold part of the write, and the user is told
// how to see what it holds.
TEST_F(InterruptTest, FirstCtrlCStopsTheWriteRunBetweenSteps) {
    SetFault("slow=20");
    std::thread interrupter([this] {
        const auto until = steady_clock::now() + seconds(20);
        while (!EventSeen("setting-start") && steady_clock::now() < until) {
            std::this_thread::sleep_for(milliseconds(5));
        }
        raise(SIGINT);
    });
    const int status =
        test::RunCliWith(test::OnPrinter(*this, {"settings", "set", "Density=7"}), m_out, m_err);
    interrupter.join();

    EXPECT_EQ(status, 130);
    EXPECT_FALSE(std::filesystem::exists(m_files.StorePath()))
        << "the run stopped before its last step, so nothing was stored";
    EXPECT_THAT(m_err.str(), HasSubstr("The printer may already hold part of this change; "
                                       "printdeck-cli settings get shows what it holds.\n"));
    EXPECT_EQ(m_out.str(), "");
}

TEST_F(InterruptTest, SecondCtrlCOrOneOutsideAStepMachineEndsAtOnce) {
    SetFault("silent");
    // A silent printer holds a step for seconds; the second Ctrl-C does not wait.
    const auto [settingsStatus, settingsTime] = RunAndInterrupt({"settings", "get"}, 2, 300ms);
    EXPECT_EQ(settingsStatus, 130);
    EXPECT_LT(settingsTime, 1500ms);

    const auto [identifyStatus, identifyTime] = RunAndInterrupt({"identify"}, 1, 300ms);
    EXPECT_EQ(identifyStatus, 130);
    EXPECT_LT(identifyTime, 1500ms);
}

TEST_F(InterruptTest, FirstCtrlCInAStepMachineWaitsForTheStepToEnd) {
    SetFault("silent");
    const auto [status, time] = RunAndInterrupt({"nv", "list"}, 1, 300ms);
    EXPECT_EQ(status, 130);
    EXPECT_GE(time, 1000ms) << "the step ran to its end";
}

}  // namespace
}  // namespace printdeck::cli
