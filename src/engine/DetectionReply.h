#pragma once
// The rule that accepts the board's answer to Identify, and the contrast it carries.
//
// The answer is accepted as soon as what has arrived holds "64", "6" or "!" anywhere (a "6"
// suffices, since "64" holds one). An answer with "!" carries the contrast: the decimal digits
// before the first "!", 0..127, blanks around them allowed.

#include <QByteArray>
#include <optional>

namespace engine {

class DetectionReply {
public:
    static bool accepted(const QByteArray& received);
    // None when there is no "!" yet, or what stands before it is no contrast.
    static std::optional<int> contrast(const QByteArray& received);
};

} // namespace engine
