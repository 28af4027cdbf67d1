// Starting a program without a shell, and waiting for it without freezing the event loop.
#pragma once

#include <QString>

#include <sys/types.h>

#include <string>
#include <vector>

namespace orvello::platform {

// A started program. Waiting for it reaps it; the caller always waits for what it started.
class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts argv[0] (a path: no search of PATH) with argv as its arguments, argv[0]
    // included, in workDir, with this process's environment, its standard input and output,
    // and none of its other open files. Empty when the program started; otherwise the
    // system's reason (no such file, no permission, not an executable format, ...).
    QString Start(const std::vector<std::string>& argv, const std::string& workDir);

    bool Started() const { return pid_ > 0; }

    // Returns once the program has ended, running the event loop meanwhile (timers fire,
    // windows repaint) when there is one; blocks otherwise. The exit code, 128 and the
    // signal's number when a signal ended the program (as a shell reports it), or -1 when
    // none was started.
    int WaitForEnd();

  private:
    pid_t pid_ = -1;
};

}  // namespace orvello::platform
