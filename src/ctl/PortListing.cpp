#include "ctl/PortListing.h"

#include "ctl/Clause.h"
#include "ctl/Console.h"
#include "ctl/ExitStatus.h"
#include "serial/PortMap.h"

#include <QFile>
#include <sys/stat.h>

namespace ctl {

namespace {

bool isCharacterDevice(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISCHR(status.st_mode);
}

} // namespace

int PortListing::print(const PortMap& map, Console& console) {
    int listed = 0;
    for (const PortEntry& entry : map.entries()) {
        if (!isCharacterDevice(entry.devicePath)) {
            console.err(QStringLiteral("vantrelctl: port %1 is left out: %2 is no device")
                            .arg(entry.number)
                            .arg(entry.devicePath));
            continue;
        }
        console.out(entry.label());
        ++listed;
    }
    if (listed == 0)
        console.err(QStringLiteral("vantrelctl: ") + Clause::of(map.noPortDescription()));
    return kDone;
}

} // namespace ctl
