// Starting a program without a shell: its arguments arrive exactly as given, it runs in the
// given folder with only the standard files open, and each way of failing to start gives the
// system's reason.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/ProcessLaunch.h"

using orvello::platform::ChildProcess;

namespace {

class ProcessLaunchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        root_ = dir_.path().toStdString();
    }

    // A program that writes its arguments, one per line, then its working folder, then
    // whether the file descriptor `watched` is open in it, to log, and ends with the given
    // code. It looks at the descriptor before it makes any pipe or redirection of its own.
    std::string Recorder(int exitCode, int watched = 0) {
        const std::string path = root_ + "/rec order";
        const std::string log = "'" + root_ + "/log'";
        std::ofstream(path) << "#!/bin/sh\n"
                            << "if [ -e /proc/$$/fd/" << watched
                            << " ]; then fd=open; else fd=closed; fi\n"
                            << "for a in \"$0\" \"$@\"; do printf '%s\\n' \"$a\"; done > " << log
                            << "\npwd >> " << log << "\necho \"$fd\" >> " << log << "\nexit "
                            << exitCode << "\n";
        chmod(path.c_str(), 0755);
        return path;
    }
    std::vector<std::string> Log() {
        std::ifstream in(root_ + "/log", std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    QTemporaryDir dir_;
    std::string root_;
};

}  // namespace

TEST_F(ProcessLaunchTest, ArgumentsArriveAsGivenInTheWorkingFolder) {
    mkdir((root_ + "/emu dir").c_str(), 0755);
    // A file of ours open without close-on-exec must not reach the program.
    const int stray = ::open((root_ + "/stray").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(stray, 3);
    const std::string program = Recorder(3, stray);
    ChildProcess child;
    const std::vector<std::string> argv{program, "-y", "a rom; rm -rf ~ $(x) *.smc", "Sp\x81l.smc",
                                        ""};
    EXPECT_EQ(child.Start(argv, root_ + "/emu dir"), "");
    EXPECT_TRUE(child.Started());
    EXPECT_EQ(child.WaitForEnd(), 3);
    ::close(stray);
    EXPECT_FALSE(child.Started());

    const auto log = Log();
    ASSERT_EQ(log.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 5), argv);
    EXPECT_EQ(log[5], root_ + "/emu dir");
    EXPECT_EQ(log[6], "closed") << "descriptor " << stray;
}

TEST_F(ProcessLaunchTest, EachWayOfNotStartingGivesTheSystemsReason) {
    ChildProcess child;
    EXPECT_EQ(child.Start({root_ + "/missing"}, root_), "No such file or directory");
    EXPECT_FALSE(child.Started());
    EXPECT_EQ(child.WaitForEnd(), -1);

    const std::string notExecutable = root_ + "/plain";
    std::ofstream(notExecutable) << "#!/bin/sh\n";
    chmod(notExecutable.c_str(), 0644);
    EXPECT_EQ(child.Start({notExecutable}, root_), "Permission denied");

    const std::string garbage = root_ + "/garbage";
    std::ofstream(garbage) << "MZ this is no program for this system";
    chmod(garbage.c_str(), 0755);
    EXPECT_EQ(child.Start({garbage}, root_), "Exec format error");

    EXPECT_EQ(child.Start({Recorder(0)}, root_ + "/no such folder"), "No such file or directory");
    EXPECT_EQ(child.Start({""}, root_), "No such file or directory");
    EXPECT_EQ(child.Start({}, root_), "No such file or directory");
    EXPECT_FALSE(child.Started());
}

TEST_F(ProcessLaunchTest, ProgramIsNotLookedUpInThePath) {
    ChildProcess child;
    // "sh" is found through PATH by a shell; started as a path it is a file in the folder.
    EXPECT_EQ(child.Start({"sh", "-c", "exit 0"}, root_), "No such file or directory");
}
