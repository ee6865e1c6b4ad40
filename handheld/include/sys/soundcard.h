/* The handheld's sound device (/dev/dsp): the few requests of the Open Sound
   System interface that our sound driver (music/music_oss.cpp) and the
   device double of the tests use, with the values of the 2.4 kernel's
   linux/soundcard.h (requests of type 'P'). */
#pragma once
#include <sys/ioctl.h>

#define SOUND_VERSION 0x030802

typedef struct audio_buf_info {
    int fragments; /* whole fragments free */
    int fragstotal;
    int fragsize; /* bytes */
    int bytes;    /* bytes free */
} audio_buf_info;

#define SNDCTL_DSP_RESET _IO('P', 0)
#define SNDCTL_DSP_SYNC _IO('P', 1)
#define SNDCTL_DSP_SPEED _IOWR('P', 2, int)
#define SNDCTL_DSP_STEREO _IOWR('P', 3, int)
#define SNDCTL_DSP_GETBLKSIZE _IOWR('P', 4, int)
#define SNDCTL_DSP_SETFMT _IOWR('P', 5, int)
#define SNDCTL_DSP_CHANNELS _IOWR('P', 6, int)
#define SNDCTL_DSP_POST _IO('P', 8)
#define SNDCTL_DSP_SETFRAGMENT _IOWR('P', 10, int)
#define SNDCTL_DSP_GETFMTS _IOR('P', 11, int)
#define SNDCTL_DSP_GETOSPACE _IOR('P', 12, audio_buf_info)

#define AFMT_MU_LAW 0x00000001
#define AFMT_U8 0x00000008
#define AFMT_S16_LE 0x00000010
#define AFMT_S16_BE 0x00000020
