// The files a run writes: all of them kept together or all withdrawn (the
// WAV too), with one line per failed capture and its reason; what is known at
// the start refused at the start with nothing left behind; what stands at an
// output's name respected; write errors counted; the input script a regular
// file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "host/host_capture.h"
#include "tests/support/program_run.h"

namespace {

// `text` with every "@" replaced by the case's folder.
std::string in(const std::string& text, const std::string& dir) {
    std::string out;
    for (char c : text) out += c == '@' ? dir : std::string(1, c);
    return out;
}

struct Case {
    const char* name;
    const char* before;  // shell commands that set the folder up
    const char* args;
    int status;
    const char* line;  // a part of the one line on standard error ("" = none expected)
};

// Every case starts with an old w.wav and the music in the folder, which must
// outlive a failed run, and leaves nothing else behind.
void expect_refused_or_withdrawn(const Case& c, const char* output = "") {
    const std::string dir = program_folder(c.name);
    const std::string music = program_read("bellwarm_harmonic.xm");
    std::system(in("cp bellwarm_harmonic.xm @ && cd @ && printf old > w.wav && "
                   "printf '0 -\\n' > in.txt && " +
                       std::string(c.before),
                   dir)
                    .c_str());
    const std::string listed = program_list(dir);
    ProgramCall call;
    call.dir = dir;
    call.args = "--headless --mute " + in(c.args, dir);
    call.output = output;
    const ProgramResult r = program_run(call);
    // A build without PNG files (the handheld's C library) refuses any screenshot first.
    const bool no_png =
        !host_png_available() && std::string(c.args).find("--screenshot") != std::string::npos;
    EXPECT_EQ(r.status, no_png ? 2 : c.status) << c.name << ": " << r.err;
    EXPECT_EQ(program_count_lines(r.err, ""), 1u) << c.name << ": " << r.err;
    EXPECT_NE(r.err.find(no_png ? "this build writes no PNG files" : in(c.line, dir)),
              std::string::npos)
        << c.name << ": " << r.err;
    EXPECT_EQ(program_list(dir), listed) << c.name;
    EXPECT_EQ(program_read(dir + "/w.wav"), "old") << c.name;
    EXPECT_EQ(program_read(dir + "/bellwarm_harmonic.xm"), music) << c.name;
}

TEST(Outputs, AFailedWriteStopsTheRunAndWithdrawsEveryCaptureTheWavToo) {
    if (program_bin().empty()) GTEST_SKIP() << "PALENDRO_BIN not set";
    const Case cases[] = {
        {"y4m_full", "true", "--frames 100000 --wav @/w.wav --record /dev/full", 1,
         "'/dev/full': recording failed: No space left on device"},
        {"wav_full", "true", "--frames 100000 --wav /dev/full --record @/w.wav", 1,
         "'/dev/full': No space left on device"},
        {"trace_full", "true", "--frames 100000 --wav @/w.wav --trace /dev/full", 1,
         "trace '/dev/full': No space left on device"},
    };
    for (const Case& c : cases) expect_refused_or_withdrawn(c);
    expect_refused_or_withdrawn({"hash_full", "true", "--frames 100000 --frame-hash --wav @/w.wav",
                                 1, "standard output: No space left on device"},
                                "/dev/full");
}

TEST(Outputs, WhatIsKnownAtTheStartIsRefusedThere) {
    if (program_bin().empty()) GTEST_SKIP() << "PALENDRO_BIN not set";
    const Case cases[] = {
        {"late_shot", "true", "--frames 10 --wav @/w.wav --screenshot 10:@/s.png", 2,
         "screenshot frame 10"},
        {"record_folder", "mkdir d", "--frames 3 --wav @/w.wav --record @/d", 2, "is a folder"},
        {"wav_folder", "mkdir d", "--frames 3 --wav @/d", 2, "is a folder"},
        {"wav_and_record", "true", "--frames 3 --wav @/w.wav --record @/./w.wav", 2,
         "name the same file"},
        {"record_and_shot", "mkdir d", "--frames 3 --record @/y --screenshot 1:@/d/../y", 2,
         "name the same file"},
        {"trace_and_wav", "ln -s w.wav link", "--frames 3 --trace @/link --wav @/w.wav", 2,
         "name the same file"},
        {"input_as_trace", "true", "--frames 3 --input in.txt --trace @/in.txt", 2,
         "is the input script"},
        {"module_as_wav", "true", "--frames 3 --wav bellwarm_harmonic.xm", 2,
         "is the music module"},
        {"bad_record_path", "true", "--frames 3 --wav @/n.wav --record @/none/r.y4m", 2,
         "cannot write '@/none/r.y4m': No such file or directory"},
        {"bad_shot_path", "true", "--frames 3 --wav @/n.wav --screenshot 1:@/none/s.png", 2,
         "cannot write '@/none/s.png'"},
        {"bad_trace_path", "true", "--frames 3 --wav @/n.wav --trace @/none/t", 2,
         "cannot write trace '@/none/t'"},
    };
    for (const Case& c : cases) expect_refused_or_withdrawn(c);
}

TEST(Outputs, TheInputScriptIsARegularFileOfAtMost64MiB) {
    if (program_bin().empty()) GTEST_SKIP() << "PALENDRO_BIN not set";
    const Case cases[] = {
        {"input_folder", "mkdir d", "--frames 3 --input @/d", 2, "it is a folder"},
        {"input_device", "true", "--frames 3 --input /dev/zero", 2, "not a regular file"},
        {"input_fifo", "mkfifo f", "--frames 3 --input @/f", 2, "not a regular file"},
        {"input_large", "truncate -s 64M big && echo >> big", "--frames 3 --input @/big", 2,
         "larger than 64 MiB"},
    };
    for (const Case& c : cases) expect_refused_or_withdrawn(c);
}

TEST(Outputs, WhatStandsAtTheNameIsRespected) {
    if (program_bin().empty()) GTEST_SKIP() << "PALENDRO_BIN not set";
    const std::string dir = program_folder("names");
    const std::string long_name = dir + "/" + std::string(251, 'n') + ".wav";  // 255 bytes
    std::system(in("cd @ && printf victim > victim && ln -s victim s.wav.part && mkfifo f && "
                   "(cat f > got &)",
                   dir)
                    .c_str());
    ProgramCall call;
    // A build without PNG files (the handheld's C library) refuses --screenshot.
    const std::string shot = host_png_available() ? " --screenshot 1:/dev/null" : "";
    call.args =
        in("--headless --mute --frames 5 --record /dev/null" + shot + " --wav @/s.wav", dir);
    ProgramResult r = program_run(call);
    EXPECT_EQ(r.status, 0) << r.err;
    struct stat st;
    ASSERT_EQ(stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    EXPECT_EQ(program_read(dir + "/victim"), "victim");  // the planted link is not followed
    EXPECT_EQ(program_read(dir + "/s.wav").size(), 44u + 1841 * 4);

    call.args = in("--headless --mute --frames 5 --wav @/f --record " + long_name, dir);
    r = program_run(call);
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(stat((dir + "/f").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    for (int i = 0; i < 200 && program_read(dir + "/got").size() < 44 + 1841 * 4; ++i)
        usleep(10000);
    EXPECT_EQ(program_read(dir + "/got").size(), 44u + 1841 * 4);
    EXPECT_GT(program_read(long_name).size(), 5u * 320 * 240 * 3);
    EXPECT_EQ(program_list(dir),
              "f\ngot\n" + long_name.substr(dir.size() + 1) + "\ns.wav\nvictim\n");
}

}  // namespace
