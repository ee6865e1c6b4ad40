// A test build's /dev/dsp: a host process of the test (the device double)
// answers the sound device's open, ioctl and write over two named pipes
// below the test folder (dev/dsp for the requests, dev/dsp.answers for the
// answers). Only the device program's test build has it; the shipped binary
// opens the firmware's device.
#pragma once

namespace hh {

// The double's descriptor for `path` when it is the sound device: >= 0, or
// -1 with errno set; -2 when `path` is another file.
int dsp_double_open(const char* path);
// Whether `fd` is the double's descriptor.
bool dsp_double_is(int fd);
long dsp_double_ioctl(unsigned long request, void* arg);
long dsp_double_write(const void* bytes, int n);
void dsp_double_close();

}  // namespace hh
