// Runs the PC program (PALENDRO_BIN) as a child the way a shell would, for
// the tests that need the whole process: its exit status or the signal that
// ended it, standard output and standard error, and signals sent to it
// while it runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ProgramCall {
    std::string args;                 // shell words after the program's name
    std::string env;                  // assignments before it ("A=1 B=2")
    std::string before;               // shell commands before it ("trap '' INT;")
    std::string dir;                  // working folder; "" = the test's
    std::string input = "/dev/null";  // standard input
    std::string output;               // standard output to this file; "" = read through a pipe
    // Sent one after the other once `signal_after_lines` lines of standard
    // output have come; with `while_blocked` the lines are then no longer
    // read, and the signals go only once the program waits on the full pipe,
    // so they all arrive while it is in the middle of its run.
    std::vector<int> signals;
    size_t signal_after_lines = 0;
    bool while_blocked = false;
};

struct ProgramResult {
    int status = -1;     // exit status, -1 when a signal ended it
    int signal = 0;      // the signal that ended it
    long peak_kib = -1;  // its peak resident memory; -1 where the C library cannot tell
    std::string out, err;
};

// "" when PALENDRO_BIN is not set (the tests then skip).
std::string program_bin();
ProgramResult program_run(const ProgramCall& call);
ProgramResult program_run(const std::string& args);  // only arguments
// A fresh, empty folder of this process's own below the test folder.
std::string program_folder(const std::string& name);
std::string program_read(const std::string& path);
// The whole file as bytes (none when it cannot be read).
std::vector<uint8_t> test_read_file(const std::string& path);
bool program_path_exists(const std::string& path);
// The names in a folder, sorted ("" for a folder that cannot be read).
std::string program_list(const std::string& dir);
// The number of lines of `text` that start with `prefix`.
size_t program_count_lines(const std::string& text, const std::string& prefix);
