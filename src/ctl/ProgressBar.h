#pragma once
// The one-line progress of an upload on a terminal: a bar, the bytes sent, the rate and the time
// left, such as
//   [###########.............]  1280/2560 bytes  1.4 kB/s  0:01 left

#include <QString>
#include <QtGlobal>

namespace ctl {

class ProgressBar {
public:
    static constexpr int kBarWidth = 24;

    // `elapsedMs` since the first byte was handed over.
    static QString render(int sent, int total, qint64 elapsedMs);
};

} // namespace ctl
