/* Device control on the handheld's Linux kernel (newlib has no such header).
   A request number holds its direction (bits 30-31: 1 write, 2 read), the
   size of its argument (bits 16-29), a type letter (8-15) and a number (0-7). */
#pragma once

#define _IOC(dir, type, nr, size)                                                                  \
    (((unsigned long)(dir) << 30) | ((unsigned long)(size) << 16) | ((type) << 8) | (nr))
#define _IO(type, nr) _IOC(0u, (type), (nr), 0)
#define _IOW(type, nr, t) _IOC(1u, (type), (nr), sizeof(t))
#define _IOR(type, nr, t) _IOC(2u, (type), (nr), sizeof(t))
#define _IOWR(type, nr, t) _IOC(3u, (type), (nr), sizeof(t))

#ifdef __cplusplus
extern "C" {
#endif
int ioctl(int fd, unsigned long request, ...);
#ifdef __cplusplus
}
#endif
