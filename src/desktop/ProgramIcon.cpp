#include "desktop/ProgramIcon.h"

#include <QDirIterator>

namespace desktop {

QIcon programIcon() {
    QIcon icon;
    QDirIterator pictures(QStringLiteral(":/vantrel/icons"), QDir::Files);
    while (pictures.hasNext())
        icon.addFile(pictures.next());
    return icon;
}

} // namespace desktop
