// The handheld's entry point: the real chip behind /dev/mem, the firmware's
// sound device, and no one to read a report (the demo just runs without
// music). It reads no command line and no environment.
#include "hw/hw_port.h"
#include "music/music_oss.h"
#include "music/music_output.h"
#include "shell/main.h"

int main() {
    hw_set_port(hw_device_regs(), hw_device_system("/dev/mem", HwDeviceReach::firmware));
    music_use_driver(music_oss_driver());
    return main_run();
}
