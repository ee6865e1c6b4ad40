// Output files under a temporary name until the run keeps them.
#include "host/host_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#ifndef O_NOFOLLOW
#define O_NOFOLLOW 0
#endif
#ifndef NAME_MAX
#define NAME_MAX 255
#endif

namespace {

// A fresh file at `temp`, created exclusively: a file, a leftover of an
// interrupted run, or a planted symlink at that name is removed (unlink never
// follows a symlink) and the creation tried once more.
int create_exclusive(const std::string& temp) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST || attempt) return fd;
        if (unlink(temp.c_str()) != 0) {
            errno = EEXIST;
            return -1;
        }
    }
    return -1;
}

}  // namespace

bool host_out_open(HostOutFile* f, const std::string& path, std::string* error) {
    *f = HostOutFile{};
    f->path = path;
    struct stat st;
    int fd = -1;
    if (stat(path.c_str(), &st) == 0 && (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))) {
        fd = open(path.c_str(), O_WRONLY);
    } else {
        const size_t slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
        const std::string name = path.substr(folder.size());
        f->temp = path + ".part";
        // A name that is legal alone may be too long with the suffix.
        if (name.size() + 5 > NAME_MAX)
            f->temp = folder + ".palendro-" + std::to_string(getpid()) + "-" +
                      std::to_string(name.size()) + ".part";
        fd = create_exclusive(f->temp);
    }
    if (fd >= 0) f->file = fdopen(fd, "wb");
    if (!f->file) {
        *error = "cannot write '" + path + "': " + std::strerror(errno);
        if (fd >= 0) close(fd);
        if (!f->temp.empty()) unlink(f->temp.c_str());
        *f = HostOutFile{};
        return false;
    }
    return true;
}

bool host_out_write(HostOutFile* f, const void* data, size_t size) {
    if (!f->file || f->error) return false;
    if (std::fwrite(data, 1, size, f->file) == size) return true;
    f->error = errno ? errno : EIO;
    return false;
}

bool host_out_close(HostOutFile* f) {
    if (!f->file) return !f->error;
    errno = 0;
    if (std::fflush(f->file) != 0 && !f->error) f->error = errno ? errno : EIO;
    if (std::ferror(f->file) && !f->error) f->error = EIO;
    if (std::fclose(f->file) != 0 && !f->error) f->error = errno ? errno : EIO;
    f->file = nullptr;
    return !f->error;
}

std::string host_out_reason(const HostOutFile& f) { return std::strerror(f.error ? f.error : EIO); }

bool host_out_commit(HostOutFile* f, std::string* error) {
    host_out_close(f);
    if (f->temp.empty()) return true;
    if (std::rename(f->temp.c_str(), f->path.c_str()) != 0) {
        *error = "cannot rename to '" + f->path + "': " + std::strerror(errno);
        unlink(f->temp.c_str());
        f->temp.clear();
        return false;
    }
    f->temp.clear();
    return true;
}

void host_out_withdraw(HostOutFile* f) {
    host_out_close(f);
    if (!f->temp.empty()) unlink(f->temp.c_str());
    f->temp.clear();
}
