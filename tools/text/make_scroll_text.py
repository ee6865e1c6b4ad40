#!/usr/bin/env python3
"""Writes the scroll text: 1296 characters of the production's message.

    make_scroll_text.py OUT.txt

Phrases are joined by pauses of blanks (at most 20 in a row); the pauses are
widened evenly until the message fills 1268 characters, then 28 blanks end
it. The file holds exactly the 1296 characters, no terminator and no newline:
the program adds the terminating zero.
"""
import sys

LENGTH = 1296
TAIL = 28  # the text ends in blanks, so the scroll runs out into empty space
MAX_PAUSE = 20
# Letters, the digits 2 and 3, these marks and blanks: every one has a glyph.
ALLOWED = set("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz23!'(),-.: ")

PHRASES = [
    "Hello and welcome to PALENDRO!",
    "A little demo for a handheld with two ARM cores and one LCD, made with love.",
    "What you see: a tall picture gliding on the video layer, cubes tumbling out of the dark,"
    " and these letters waving in front of it all.",
    "Sit back, turn it up and enjoy the ride.",
    "Every pixel up here comes from a tiny software renderer - fixed point, scan lines, no GPU.",
    "The keys: volume up and down set the loudness, press both to mute.",
    "START pauses the demo and opens the menu: play to go on, the camera to look at the frozen"
    " screen, exit to leave.",
    "In a hurry: hold L and R together and you are back in the menu of your handheld at once.",
    "Code, pixels and words by the Palendro crew, music by our friend on the tracker.",
    "Greetings fly out to: Quartz Lemming - Nebula Bakery - Copper Owls - Pixel Fjord -"
    " Sine Dynasty - Blitter Ghosts - Rasterfarians - Moss and Chrome - The Dithering Dukes -"
    " Velvet Vectors - Kilobyte Kittens - Hyperpaste.",
    "Special thanks to everybody who still writes demos for small machines.",
    "Be kind, write code, share it. See you at the next party!",
    "Palendro signs off.",
]


def build():
    for p in PHRASES:
        bad = set(p) - ALLOWED
        if bad:
            sys.exit(f"make_scroll_text: characters without a glyph: {sorted(bad)}")
    body = LENGTH - TAIL
    gaps = len(PHRASES) - 1
    words = sum(len(p) for p in PHRASES)
    room = body - words
    if room < gaps or room > gaps * MAX_PAUSE:
        sys.exit(f"make_scroll_text: {words} characters of phrases do not fit {body}")
    pauses = [room // gaps + (1 if i < room % gaps else 0) for i in range(gaps)]
    text = PHRASES[0]
    for pause, phrase in zip(pauses, PHRASES[1:]):
        text += " " * pause + phrase
    text += " " * TAIL
    assert len(text) == LENGTH
    return text


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_scroll_text.py OUT.txt")
    with open(sys.argv[1], "wb") as f:
        f.write(build().encode("ascii"))


if __name__ == "__main__":
    main()
