// Port names from outside: a --port or VANTREL_COM<n> value, a network name typed or set in the
// environment. The input is split at line breaks: the first line goes through PortUrl as a
// name, and up to 16 lines become VANTREL_COM1..16 for PortMap (with a fixed list of system
// devices, of which only /dev/tty* exist). A name that parses reads back the same from its
// text; a network name either parses or has a problem to tell; the port list holds numbers
// 1..16 in order, each once.

#include "serial/PortMap.h"
#include "serial/PortUrl.h"

#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

void checkName(const QString& name) {
    const auto url = PortUrl::parse(name);
    if (url) {
        check(PortUrl::isNetworkName(name), "a parsed name is a network name");
        check(PortUrl::problem(name).isEmpty(), "no problem with a parsed name");
        check(url->port >= 1, "port 1..65535");
        const auto again = PortUrl::parse(url->text());
        check(again && again->scheme == url->scheme && again->host == url->host &&
                  again->port == url->port,
              "text() reads back");
        url->hostAndPort();
    } else if (PortUrl::isNetworkName(name)) {
        check(!PortUrl::problem(name).isEmpty(), "a bad network name has a problem");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = text.split(u'\n');
    checkName(lines.first());

    QProcessEnvironment environment;
    for (qsizetype i = 0; i < lines.size() && i < PortMap::kLastPort; ++i) {
        checkName(lines[i]);
        environment.insert(QStringLiteral("VANTREL_COM%1").arg(i + 1), lines[i]);
    }
    const QStringList system{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyS0"),
                             QStringLiteral("/dev/ttyACM1"), QStringLiteral("/dev/ttyUSB10")};
    const PortMap map = PortMap::build(environment, system, [](const QString& path) {
        return path.startsWith(QStringLiteral("/dev/tty"));
    });
    const QList<int> ports = map.existingPorts();
    for (qsizetype i = 0; i < ports.size(); ++i) {
        check(ports[i] >= PortMap::kFirstPort && ports[i] <= PortMap::kLastPort, "number 1..16");
        check(i == 0 || ports[i] > ports[i - 1], "ascending, each once");
        check(!map.devicePath(ports[i]).isEmpty(), "a listed port has a device");
    }
    check(map.entries().size() == ports.size(), "one entry per port");
    if (ports.isEmpty())
        check(!map.noPortDescription().isEmpty(), "says why no port");
    return 0;
}
