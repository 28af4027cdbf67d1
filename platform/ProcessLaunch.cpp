#include "platform/ProcessLaunch.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace orvello::platform {

namespace {

// How often a wait looks whether the program has ended. Short enough that the windows come
// back at once, long enough to cost nothing while a game runs.
constexpr int PollMilliseconds = 20;

QString Reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The spawn attributes and file actions, released however Start returns.
class SpawnSetup {
  public:
    SpawnSetup() {
        ok_ = posix_spawn_file_actions_init(&actions_) == 0;
        if (ok_ && posix_spawnattr_init(&attr_) != 0) {
            posix_spawn_file_actions_destroy(&actions_);
            ok_ = false;
        }
    }
    ~SpawnSetup() {
        if (!ok_) return;
        posix_spawnattr_destroy(&attr_);
        posix_spawn_file_actions_destroy(&actions_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    bool ok_ = false;
    posix_spawn_file_actions_t actions_{};
    posix_spawnattr_t attr_{};
};

}  // namespace

QString ChildProcess::Start(const std::vector<std::string>& argv, const std::string& workDir) {
    pid_ = -1;
    if (argv.empty() || argv.front().empty()) return Reason(ENOENT);
    SpawnSetup setup;
    if (!setup.ok_) return Reason(ENOMEM);
    // Only standard input, output and error go to the program.
    if (int e = posix_spawn_file_actions_addclosefrom_np(&setup.actions_, 3)) return Reason(e);
    if (!workDir.empty()) {
        if (int e = posix_spawn_file_actions_addchdir_np(&setup.actions_, workDir.c_str()))
            return Reason(e);
    }
    // The signals this program blocks or ignores are the default ones for the emulator.
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&setup.attr_, &none);
    posix_spawnattr_setsigdefault(&setup.attr_, &all);
    posix_spawnattr_setflags(&setup.attr_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    pid_t pid = -1;
    const int error = posix_spawn(&pid, argv.front().c_str(), &setup.actions_, &setup.attr_,
                                  args.data(), environ);
    if (error != 0) return Reason(error);
    pid_ = pid;
    return QString();
}

int ChildProcess::WaitForEnd() {
    if (pid_ <= 0) return -1;
    int status = 0;
    auto ended = [this, &status](int options) {
        pid_t r;
        do {
            r = ::waitpid(pid_, &status, options);
        } while (r < 0 && errno == EINTR);
        return r != 0;  // the program, or an error such as ECHILD: either way it is gone
    };
    if (QCoreApplication::instance() == nullptr) {
        ended(0);
    } else if (!ended(WNOHANG)) {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (ended(WNOHANG)) loop.quit();
        });
        poll.start(PollMilliseconds);
        loop.exec();
    }
    pid_ = -1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace orvello::platform
