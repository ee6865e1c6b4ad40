// The program as a child process: fork, a shell that execs it, a pipe for
// standard output, a file for standard error.
#include "tests/support/program_run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

std::string program_bin() {
    const char* bin = std::getenv("PALENDRO_BIN");
    return bin ? bin : "";
}

std::vector<uint8_t> test_read_file(const std::string& path) {
    const std::string text = program_read(path);
    return {text.begin(), text.end()};
}

std::string program_read(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

bool program_path_exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

size_t program_count_lines(const std::string& text, const std::string& prefix) {
    size_t n = 0;
    for (size_t at = 0; at < text.size();) {
        if (text.compare(at, prefix.size(), prefix) == 0) ++n;
        const size_t eol = text.find('\n', at);
        if (eol == std::string::npos) break;
        at = eol + 1;
    }
    return n;
}

std::string program_list(const std::string& dir) {
    // Through ls: the handheld's C library, which the suite is also built
    // for, reads no folders.
    std::string names;
    if (FILE* p = popen(("LC_ALL=C ls -A '" + dir + "' 2>/dev/null").c_str(), "r")) {
        char buf[4096];
        for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) names.append(buf, n);
        pclose(p);
    }
    return names;
}

std::string program_folder(const std::string& name) {
    const std::string path = testing::TempDir() + "/prog." + std::to_string(getpid()) + "." + name;
    std::system(("rm -rf '" + path + "'").c_str());
    mkdir(path.c_str(), 0777);
    return path;
}

// The child is asleep (blocked), not running: the state field of /proc/PID/stat.
static bool child_blocked(pid_t pid) {
    const std::string stat = program_read("/proc/" + std::to_string(pid) + "/stat");
    const size_t paren = stat.rfind(')');
    return paren != std::string::npos && paren + 2 < stat.size() && stat[paren + 2] == 'S';
}

ProgramResult program_run(const ProgramCall& call) {
    ProgramResult r;
    const std::string err_path = testing::TempDir() + "/prog." + std::to_string(getpid()) + ".err";
    const std::string cmd = call.before + " " +
                            (call.dir.empty() ? "" : "cd '" + call.dir + "' && ") + call.env +
                            " exec " + program_bin() + " " + call.args + " <" + call.input + " 2>" +
                            err_path + (call.output.empty() ? "" : " >" + call.output);
    int out[2];
    if (pipe(out) != 0) return r;
#ifdef F_SETPIPE_SZ
    if (call.while_blocked) fcntl(out[1], F_SETPIPE_SZ, 4096);
#endif
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    size_t lines = 0;
    bool sent = call.signals.empty();
    char buf[4096];
    for (;;) {
        if (!sent && lines >= call.signal_after_lines) {
            if (call.while_blocked)
                for (int i = 0; i < 1000 && !child_blocked(pid); ++i) usleep(10000);
            for (size_t i = 0; i < call.signals.size(); ++i) {
                if (i) usleep(100000);  // one at a time: signals of one kind do not queue
                kill(pid, call.signals[i]);
            }
            sent = true;
        }
        const ssize_t n = read(out[0], buf, sizeof buf);
        if (n <= 0) break;
        for (ssize_t i = 0; i < n; ++i) lines += buf[i] == '\n';
        r.out.append(buf, size_t(n));
    }
    close(out[0]);
    int status = 0;
#if defined(_NEWLIB_VERSION)  // the handheld's C library has no wait4
    waitpid(pid, &status, 0);
#else
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    r.peak_kib = usage.ru_maxrss;
#endif
    if (WIFEXITED(status)) r.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
    r.err = program_read(err_path);
    return r;
}

ProgramResult program_run(const std::string& args) {
    ProgramCall call;
    call.args = args;
    return program_run(call);
}
