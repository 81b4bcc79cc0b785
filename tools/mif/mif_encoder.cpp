// Shortest-form MIF encoding, row by row: a small dynamic programme over runs and literal
// stretches, ties going to runs, so that the output is fixed for a given picture.
#include "mif_encoder.h"

#include <algorithm>

void encodeMifRow(const uint8_t* row, int width, std::vector<uint8_t>& out)
{
    // same[i]: how many pixels from i on have row[i]'s colour (within the row).
    // cost[i]: fewest bytes for pixels i..width-1; take[i]: the code chosen at i, negative for a run.
    std::vector<int> same(width + 1, 0), cost(width + 1, 0), take(width + 1, 0);
    for (int i = width - 1; i >= 0; --i) {
        same[i] = (i + 1 < width && row[i + 1] == row[i]) ? same[i + 1] + 1 : 1;
        int best = -1, bestTake = 0;
        for (int n = std::min(same[i], MIF_MAX_CODE_PIXELS); n >= 1; --n)
            if (best < 0 || 2 + cost[i + n] < best) best = 2 + cost[i + n], bestTake = -n;
        for (int n = 1; n <= std::min(width - i, MIF_MAX_CODE_PIXELS); ++n)
            if (1 + n + cost[i + n] < best) best = 1 + n + cost[i + n], bestTake = n;
        cost[i] = best;
        take[i] = bestTake;
    }
    for (int i = 0; i < width;) {
        if (take[i] < 0) {
            const int n = -take[i];
            out.push_back(static_cast<uint8_t>(0x80 | n));
            out.push_back(row[i]);
            i += n;
        } else {
            const int n = take[i];
            out.push_back(static_cast<uint8_t>(n));
            out.insert(out.end(), row + i, row + i + n);
            i += n;
        }
    }
}

std::vector<uint8_t> encodeMif(const uint8_t* pixels, int width, int height)
{
    std::vector<uint8_t> out = {static_cast<uint8_t>(width), static_cast<uint8_t>(width >> 8),
                                static_cast<uint8_t>(height), static_cast<uint8_t>(height >> 8)};
    for (int y = 0; y < height; ++y) encodeMifRow(pixels + static_cast<size_t>(y) * width, width, out);
    return out;
}
