#pragma once
// The icon both windowed programs (vantrel and vantrel-board) show.

#include <QIcon>

namespace desktop {

// The program's icon at every size the icon theme gets (packaging/icons). The pictures are the
// program's resource ":/vantrel/icons", which the packaging adds to each program.
QIcon programIcon();

} // namespace desktop
