#pragma once
// The glass as the user sees it: which of its 160 x 128 pixels the panel shows lit, once the
// display mode, rotation, page flip and LCD power have been applied to the display memory.
// Colours, backlight and contrast are left to whoever paints it. Every view of the board paints
// from glassOf(), so that no two views can disagree about a pixel.

#include "protocol/CommandCode.h"

#include <bitset>

namespace display {

class BoardModel;

class Glass {
public:
    static constexpr int kWidth = protocol::kColumns;
    static constexpr int kHeight = protocol::kRows;

    bool lit(int x, int y) const; // false outside the glass
    void setLit(int x, int y, bool lit);
    int litCount() const { return int(pixels_.count()); }

    bool operator==(const Glass&) const = default;

private:
    std::bitset<kWidth * kHeight> pixels_; // [y * kWidth + x]
};

// What the model's display memory and display settings show on the glass.
Glass glassOf(const BoardModel& model);

} // namespace display
