// The handheld's entry point: the real chip behind /dev/mem. It reads no
// command line and no environment.
#include "hw/hw_port.h"
#include "shell/main.h"

int main() {
    hw_set_port(hw_device_regs(), hw_device_system("/dev/mem"));
    return main_run();
}
