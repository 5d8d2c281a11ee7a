#pragma once
// The nine line rates of the board. The rate index (0..8) is the position in the rate lists of
// the window and the parameter of SetBaudRate.

#include <QString>
#include <QStringList>
#include <optional>

namespace protocol {

inline constexpr int kRateCount = 9;
inline constexpr int kDefaultRateIndex = 2; // 9600

int baudOfIndex(int rateIndex);                          // 0 for an index out of range
std::optional<int> indexOfRateText(const QString& text); // "19200" -> 4; other text -> none
QStringList rateTexts();                                 // "2400" ... "115200"

} // namespace protocol
