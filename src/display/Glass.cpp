#include "display/Glass.h"

#include "display/BoardModel.h"
#include "display/Memory.h"

namespace display {

namespace {

// Whether display mode `mode` reverses the glass pixel (x, y); the halves and quarters are
// those of the glass as the user sees it, whatever the rotation.
bool reversedAt(int mode, int x, int y) {
    const bool right = x >= Glass::kWidth / 2;
    const bool bottom = y >= Glass::kHeight / 2;
    switch (mode) {
    case 1:
        return true;
    case 2:
        return bottom;
    case 3:
        return !bottom;
    case 4:
        return right;
    case 5:
        return right == bottom; // top left and bottom right
    case 6:
        return right != bottom; // top right and bottom left
    default:
        return false;
    }
}

} // namespace

bool Glass::lit(int x, int y) const {
    return onDisplay(x, y) && pixels_[std::size_t(y * kWidth + x)];
}

void Glass::setLit(int x, int y, bool lit) {
    if (onDisplay(x, y))
        pixels_[std::size_t(y * kWidth + x)] = lit;
}

Glass glassOf(const BoardModel& model) {
    Glass glass;
    if (!model.lcdOn())
        return glass; // nothing is driven
    const bool rotated = model.rotated180();
    const int flipRows = model.flipPage() * 8;
    for (int y = 0; y < Glass::kHeight; ++y)
        for (int x = 0; x < Glass::kWidth; ++x) {
            // Rotation turns the scan of the glass; the flip page is the memory row the scan
            // starts at.
            const int scanX = rotated ? Glass::kWidth - 1 - x : x;
            const int scanY = rotated ? Glass::kHeight - 1 - y : y;
            const int memoryY = (scanY + flipRows) % Glass::kHeight;
            glass.setLit(x, y,
                         model.pixel(scanX, memoryY) != reversedAt(model.displayMode(), x, y));
        }
    return glass;
}

} // namespace display
