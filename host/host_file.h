// Output files that appear under their real name only when the run keeps
// them: written under a temporary name in the same folder (the real name plus
// ".part", or a shorter name when that one would be too long), created
// exclusively and never through a symlink, then renamed, or removed when the
// run withdraws its files. What stands at the name is respected: a character
// device or a FIFO there (/dev/null, a pipe) is written directly, with no
// temporary name. The captures and the WAV use it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

struct HostOutFile {
    std::string path;  // the real name
    std::string temp;  // written here until committed; "" = written to the name directly
    FILE* file = nullptr;
    int error = 0;  // errno of the first write, seek or close that failed, 0 = none
};

// False, with one line naming `path` and the reason, when it cannot be created.
bool host_out_open(HostOutFile* f, const std::string& path, std::string* error);
// False (and f->error set) when the bytes do not all go out.
bool host_out_write(HostOutFile* f, const void* data, size_t size);
// Flushes and closes; false (and f->error set) when that or an earlier write failed.
bool host_out_close(HostOutFile* f);
// The first failure's reason ("No space left on device").
std::string host_out_reason(const HostOutFile& f);
// Closes, then gives the temporary file its real name; false with one line
// when the rename fails (the temporary file is then removed).
bool host_out_commit(HostOutFile* f, std::string* error);
// Closes and removes the temporary file; nothing is left of it.
void host_out_withdraw(HostOutFile* f);
