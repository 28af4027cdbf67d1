// Runs the built orvello-arc with the given arguments and keeps what it printed.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Fixtures.h"

namespace orvello::testing {

struct ToolRun {
    int status = -1;
    std::string out, err;
};

inline std::string ShellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline ToolRun RunTool(const std::vector<std::string>& args) {
    TempDir io;
    std::string cmd = ShellQuoted(std::string(ORVELLO_BUILD_DIR) + "/orvello-arc");
    for (const auto& a : args)
        cmd += " " + ShellQuoted(a);
    cmd += " >" + ShellQuoted(io.Path() + "/out") + " 2>" + ShellQuoted(io.Path() + "/err");
    ToolRun r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ostringstream out, err;
    out << std::ifstream(io.Path() + "/out").rdbuf();
    err << std::ifstream(io.Path() + "/err").rdbuf();
    r.out = out.str();
    r.err = err.str();
    return r;
}

}  // namespace orvello::testing
