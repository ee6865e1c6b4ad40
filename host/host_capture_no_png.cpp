// Screenshots where the build has no zlib (the web page, the handheld's
// builds, the ARM cores): the command line refuses --screenshot at the start,
// and a screenshot asked for some other way fails with a reason.
#include "host/host_capture.h"

#include <cerrno>

bool host_png_available() { return false; }

bool host_png_write(const std::string& path, const SimFrame&, std::string* error) {
    *error = "cannot write '" + path + "': this build writes no PNG files";
    return false;
}

bool host_png_write_file(HostOutFile* f, const SimFrame&) {
    f->error = ENOSYS;  // "Function not implemented": the run withdraws its files
    host_out_close(f);
    return false;
}
