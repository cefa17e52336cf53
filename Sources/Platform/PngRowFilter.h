#pragma once

#include <cstddef>

namespace pendra {

// Undoes the filters a PNG file stores its rows with, for pictures of four
// bytes a pixel: each filter predicts a byte from its neighbours to the left
// and above and keeps only the difference.
class PngRowFilter {
public:
    static constexpr std::size_t bytesPerPixel = 4;

    // Writes the row's bytes into out, given the filtered bytes and the row
    // above as it was before filtering (all zero for the first row); bytes
    // is a whole number of pixels. False for a filter there is no such kind of.
    static bool undo(unsigned char filter, const unsigned char* in, const unsigned char* above, unsigned char* out,
                     std::size_t bytes);
};

} // namespace pendra
