#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "LoopbackClient.h"
#include "support/TempDir.h"

extern char** environ;

namespace printdeck::test {
namespace {

using namespace std::chrono_literals;
using vp::Bytes;

// The built program, started with its standard output on a pipe.
class Program {
public:
    explicit Program(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), PRINTDECK_VP_PROGRAM);
        std::vector<char*> argv;
        for (auto& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        int fds[2];
        if (::pipe(fds) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        m_out = fds[0];
    }

    ~Program() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            Wait();
        }
        ::close(m_out);
    }

    bool Started() const { return m_pid > 0; }

    // The first line of standard output, without its newline.
    std::string FirstLine(std::chrono::milliseconds timeout = 5000ms) {
        std::string line;
        char c = 0;
        pollfd entry{m_out, POLLIN, 0};
        while (::poll(&entry, 1, static_cast<int>(timeout.count())) > 0 &&
               ::read(m_out, &c, 1) == 1 && c != '\n') {
            line += c;
        }
        return line;
    }

    void Signal(int number) { ::kill(m_pid, number); }

    // Exit status, or -1 when it did not exit normally.
    int Wait() {
        int status = 0;
        const pid_t pid = m_pid;
        m_pid = -1;
        if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
            return -1;
        }
        return WEXITSTATUS(status);
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
};

std::uint16_t PortOf(const std::string& line) {
    const auto colon = line.rfind(':');
    return colon == std::string::npos
               ? 0
               : static_cast<std::uint16_t>(std::stoi(line.substr(colon + 1)));
}

TEST(ProgramTest, AnnouncesItsPortAnswersAndStopsCleanlyOnSignals) {
    for (const int signal : {SIGTERM, SIGINT}) {
        TempDir dir;
        const auto record = dir / "record.bin";
        Program program({"--listen", "127.0.0.1:0", "--model", "_KT 220", "--msr", "0x39",
                         "--no-code-page", "--record", record.string()});
        ASSERT_TRUE(program.Started());
        const std::string line = program.FirstLine();
        ASSERT_EQ(line.rfind("listening on 127.0.0.1:", 0), 0u) << line;
        const std::uint16_t port = PortOf(line);
        ASSERT_NE(port, 0);

        LoopbackClient client(port);
        ASSERT_TRUE(client.Write({0x1D, 0x49, 0x45, 0x1D, 0x49, 0x43, 0x1B, 0x4D, 0x49}));
        EXPECT_EQ(client.Read(12),
                  (Bytes{'_', 'K', 'T', ' ', '2', '2', '0', 0x00, 0x37, 0x80, 0x39, 0x00}));
        program.Signal(signal);
        EXPECT_EQ(program.Wait(), 0) << "signal " << signal;
        EXPECT_EQ(ReadWholeFile(record), std::string("\x1D\x49\x45\x1D\x49\x43\x1B\x4D\x49"));
    }
}

TEST(ProgramTest, BadOptionsAndRemoteAddressesAreUsageErrors) {
    const std::vector<std::vector<std::string>> rows = {
        {"--fault", "bogus"},      {"--msr", "300"},
        {"--listen", "127.0.0.1"}, {"--code-page", "_PC850", "--no-code-page"},
        {"--listen", "0.0.0.0:0"}, {"--no-such-option", "1"},
    };
    for (const auto& arguments : rows) {
        Program program(arguments);
        ASSERT_TRUE(program.Started());
        EXPECT_EQ(program.Wait(), 2) << arguments.front() << " " << arguments[1];
    }
}

}  // namespace
}  // namespace printdeck::test
