// The window's speaker on a machine whose sound device cannot open: it says
// so by returning false and leaves standard error to our own line.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "host/window/host_window.h"

namespace {

TEST(Speaker, FailedOpenKeepsTheSoundSystemQuiet) {
    // ALSA with a device name it does not know: it fails on every machine,
    // sound card or not, and complains on standard error.
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    setenv("AUDIODEV", "palendro_no_such_device", 1);
    const std::string path = testing::TempDir() + "/speaker." + std::to_string(getpid()) + ".err";
    std::fflush(stderr);
    const int saved = dup(2);
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(file, 0);
    dup2(file, 2);
    SimSpeaker* speaker = host_window_speaker();
    const bool opened = speaker->open(22100);
    if (opened) speaker->close();
    std::fputs("ours\n", stderr);  // standard error works again afterwards
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    close(file);
    FILE* f = std::fopen(path.c_str(), "r");
    ASSERT_NE(f, nullptr);
    char text[4096] = {};
    text[std::fread(text, 1, sizeof text - 1, f)] = 0;
    std::fclose(f);
    std::remove(path.c_str());
    EXPECT_FALSE(opened);
    EXPECT_EQ(std::string(text), "ours\n");
}

}  // namespace
