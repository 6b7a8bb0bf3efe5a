#pragma once

// The busy clock's pictures, drawn once: ten seven-segment digits (36 × 48,
// lit segments red, unlit dark blue, on black) and the separator (12 × 48,
// two red dots on black). Images, not pixmaps: the clock's worker thread
// draws with them.

#include <QImage>

#include <array>

namespace korvan::shell {

struct ClockPictures {
    static constexpr int kDigitWidth = 36;
    static constexpr int kDigitHeight = 48;
    static constexpr int kColonWidth = 12;

    std::array<QImage, 10> digits;
    QImage colon;

    static ClockPictures create();

    int digitWidth() const;
    int digitHeight() const;
    int colonWidth() const { return colon.width(); }
    // The larger of the digit and separator heights.
    int height() const;
};

// The lit segments of a digit, bit 0..6 = a (top), b (top right),
// c (bottom right), d (bottom), e (bottom left), f (top left), g (middle).
int litSegments(int digit);

} // namespace korvan::shell
