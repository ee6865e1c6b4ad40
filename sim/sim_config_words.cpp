// The configuration's words, each written once (sim_config_words.h).
#include "sim/sim_config_words.h"

#include <cerrno>
#include <cstdlib>

namespace {

template <typename T> struct Word {
    const char* word;
    T value;
};

constexpr Word<SimOutput> TV_WORDS[] = {{"ntsc", SimOutput::TV_NTSC}, {"pal", SimOutput::TV_PAL}};
constexpr Word<SimBoard> BOARD_WORDS[] = {
    {"plain", SimBoard::PLAIN}, {"touch", SimBoard::TOUCH}, {"touch-low", SimBoard::TOUCH_LOW}};

template <typename T, size_t N>
bool find_word(const Word<T> (&table)[N], const std::string& word, T* out) {
    for (const Word<T>& w : table)
        if (word == w.word) {
            *out = w.value;
            return true;
        }
    return false;
}

}  // namespace

bool sim_parse_tv(const std::string& word, SimOutput* out) {
    return find_word(TV_WORDS, word, out);
}
bool sim_parse_board(const std::string& word, SimBoard* out) {
    return find_word(BOARD_WORDS, word, out);
}

bool sim_parse_number(const std::string& word, uint64_t max, uint64_t* out) {
    if (word.empty() || word[0] < '0' || word[0] > '9') return false;
    errno = 0;
    char* end = nullptr;
    unsigned long long v = std::strtoull(word.c_str(), &end, 10);
    if (errno || *end || v > max) return false;
    *out = v;
    return true;
}
