#pragma once
// The layers below word their messages as sentences for the window's message boxes ("The device
// hung up (was the adapter unplugged?)."). vantrelctl prints every message as one clause after
// "vantrelctl: ", as command-line tools do: lower case, no full stop, later sentences joined
// with "; ".

#include <QString>

namespace ctl {

class Clause {
public:
    static QString of(const QString& sentences);
};

} // namespace ctl
