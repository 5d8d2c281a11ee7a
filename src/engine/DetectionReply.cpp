#include "engine/DetectionReply.h"

#include "protocol/CommandTable.h"

#include <algorithm>
#include <cctype>

namespace engine {

bool DetectionReply::accepted(const QByteArray& received) {
    return received.contains('6') || received.contains('!');
}

std::optional<int> DetectionReply::contrast(const QByteArray& received) {
    const qsizetype bang = received.indexOf('!');
    if (bang < 0)
        return std::nullopt;
    const QByteArray digits = received.left(bang).trimmed();
    // Nine digits at most: nothing wraps, and anything longer is out of range anyway.
    if (digits.isEmpty() || digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        return std::nullopt;
    const int value = digits.toInt();
    if (value > protocol::kMaxContrast)
        return std::nullopt;
    return value;
}

} // namespace engine
