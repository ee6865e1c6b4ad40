// Temporary files and folders (mkstemp, mkdtemp and their kin): newlib's own
// have no mkdir behind mkdtemp on this target, and its file of them comes as
// a whole, so the whole family is here. A name's trailing X's become letters
// and digits from the process id and a counter; the file or folder is created
// exclusively, so an existing one means the next name.
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char LETTERS[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr int TRIES = 10000;
unsigned g_temp_counter = 0;

// The X's before `suffix` characters at the end; false when there are fewer than six.
bool fill(char* name, int suffix) {
    const int n = int(strlen(name)) - suffix;
    int x = 0;
    while (x < n && name[n - 1 - x] == 'X') ++x;
    if (n < 0 || x < 6) {
        errno = EINVAL;
        return false;
    }
    unsigned v = unsigned(getpid()) * 2654435761u + 40503u * ++g_temp_counter;
    for (int i = 0; i < x; ++i) {
        name[n - 1 - i] = LETTERS[v % 62];
        v = v / 62 + 7919u * g_temp_counter + unsigned(i);
    }
    return true;
}

enum Kind { FILE_, FOLDER, NAME };

// Turns `name`'s X's into a new file (opened with `flags` besides read and
// write, its descriptor returned), a new folder (0 returned) or just a name
// nothing has yet (0 returned). -1 with errno set when none can be made.
int make(char* name, int suffix, int flags, Kind kind) {
    char* original = strdup(name);
    int r = -1;
    for (int i = 0; i < TRIES && original; ++i) {
        strcpy(name, original);
        if (!fill(name, suffix)) break;
        struct stat st;
        if (kind == NAME) {
            if (stat(name, &st) == 0) continue;
            r = errno == ENOENT ? 0 : -1;
        } else {
            r = kind == FOLDER ? mkdir(name, 0700)
                               : open(name, O_RDWR | O_CREAT | O_EXCL | (flags & ~O_ACCMODE), 0600);
            if (r < 0 && errno == EEXIST) continue;
        }
        break;
    }
    free(original);
    return r;
}

}  // namespace

extern "C" {
int mkstemp(char* name) { return make(name, 0, 0, FILE_); }
int mkstemps(char* name, int suffix) { return make(name, suffix, 0, FILE_); }
int mkostemp(char* name, int flags) { return make(name, 0, flags, FILE_); }
int mkostemps(char* name, int suffix, int flags) { return make(name, suffix, flags, FILE_); }
char* mkdtemp(char* name) { return make(name, 0, 0, FOLDER) == 0 ? name : nullptr; }
char* mktemp(char* name) {
    if (make(name, 0, 0, NAME) != 0) name[0] = 0;  // an empty name says it failed
    return name;
}
int _mkstemp_r(struct _reent*, char* name) { return make(name, 0, 0, FILE_); }
int _mkstemps_r(struct _reent*, char* name, int suffix) { return make(name, suffix, 0, FILE_); }
int _mkostemp_r(struct _reent*, char* name, int flags) { return make(name, 0, flags, FILE_); }
int _mkostemps_r(struct _reent*, char* name, int suffix, int flags) {
    return make(name, suffix, flags, FILE_);
}
char* _mkdtemp_r(struct _reent*, char* name) {
    return make(name, 0, 0, FOLDER) == 0 ? name : nullptr;
}
char* _mktemp_r(struct _reent*, char* name) {
    if (make(name, 0, 0, NAME) != 0) name[0] = 0;
    return name;
}
}
