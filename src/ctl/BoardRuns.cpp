#include "ctl/BoardRuns.h"

#include "ctl/ExitStatus.h"
#include "ctl/PrefixedConsole.h"
#include "engine/BoardSession.h"
#include "serial/PortUrl.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <algorithm>

namespace ctl {

namespace {

// The port as the user wrote it, for messages about the command line.
QString asGiven(const Invocation::Port& port) {
    return port.path.isEmpty() ? QString::number(port.number) : port.path;
}

} // namespace

BoardRuns::BoardRuns(const Invocation& invocation, Console& console, MakePort makePort,
                     std::function<PortMap()> systemMap, QObject* parent)
    : QObject(parent), invocation_(invocation), console_(console), makePort_(std::move(makePort)),
      systemMap_(std::move(systemMap)) {
    struct Target {
        PortMap map;
        int number;
        QString device;
    };
    QList<Target> targets;
    if (invocation_.dryRun) {
        targets << Target{PortMap(), 1, QStringLiteral("the dry run")};
    } else {
        QList<Invocation::Port> ports = invocation_.ports;
        if (ports.isEmpty())
            ports << Invocation::Port{};
        std::optional<PortMap> system;  // read once, and only for port numbers
        QHash<QString, qsizetype> seen; // sameDeviceKey -> index in ports
        for (qsizetype i = 0; i < ports.size(); ++i) {
            const Invocation::Port& port = ports.at(i);
            Target target{PortMap({{1, port.path}}), 1, {}};
            if (port.path.isEmpty()) {
                if (!system)
                    system = systemMap_();
                target = Target{*system, port.number, {}};
            }
            target.device = target.map.devicePath(target.number);
            if (target.device.isEmpty())
                target.device = QStringLiteral("port %1").arg(target.number);
            const QString key = sameDeviceKey(target.device);
            if (seen.contains(key)) {
                refusal_ =
                    QStringLiteral("--port %1 and --port %2 name the same device, %3; "
                                   "give each board once")
                        .arg(asGiven(ports.at(seen.value(key))), asGiven(port), target.device);
                return;
            }
            seen.insert(key, i);
            targets << target;
        }
    }

    boards_.resize(std::size_t(targets.size()));
    for (std::size_t i = 0; i < boards_.size(); ++i) {
        const Target& target = targets.at(qsizetype(i));
        Board& board = boards_[i];
        board.device = target.device;
        board.port = makePort_(target.map);
        board.session = std::make_unique<engine::BoardSession>(*board.port);
        if (boards_.size() > 1)
            board.prefixed = std::make_unique<PrefixedConsole>(console_, target.device);
        Invocation own = invocation_; // the commands are shared, not copied
        own.portNumber = target.number;
        board.runner = std::make_unique<Runner>(*board.session, std::move(own), target.device,
                                                board.prefixed ? *board.prefixed : console_);
        connect(board.runner.get(), &Runner::finished, this,
                [this, i](int status) { boardFinished(i, status); });
    }
}

BoardRuns::~BoardRuns() = default;

void BoardRuns::tapSent(const std::function<void(const QByteArray& bytes)>& tap) {
    for (Board& board : boards_)
        connect(board.session.get(), &engine::BoardSession::traffic, this,
                [tap](engine::Direction direction, const QByteArray& bytes) {
                    if (direction == engine::Direction::ToBoard)
                        tap(bytes);
                });
}

QString BoardRuns::sameDeviceKey(const QString& device) {
    if (PortUrl::isNetworkName(device)) {
        // One server port, whichever way it is spoken to.
        if (const auto url = PortUrl::parse(device))
            return url->host.toLower() + u':' + QString::number(url->port);
        return device.toLower();
    }
    const QFileInfo info(device);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

void BoardRuns::start() {
    if (!refusal_.isEmpty()) {
        console_.err(QStringLiteral("vantrelctl: ") + refusal_);
        QMetaObject::invokeMethod(
            this, [this] { emit finished(kUsage); }, Qt::QueuedConnection);
        return;
    }
    for (Board& board : boards_)
        board.runner->start();
}

void BoardRuns::interrupt(int signalNumber) {
    for (Board& board : boards_)
        if (!board.status)
            board.runner->interrupt(signalNumber);
}

void BoardRuns::stopOnWriteError(const QString& reason) {
    for (Board& board : boards_)
        if (!board.status)
            board.runner->stopOnWriteError(reason);
}

void BoardRuns::boardFinished(std::size_t index, int status) {
    boards_[index].status = status;
    if (std::any_of(boards_.begin(), boards_.end(), [](const Board& b) { return !b.status; }))
        return;
    int highest = kDone;
    for (const Board& board : boards_) {
        highest = std::max(highest, *board.status);
        if (boards_.size() > 1)
            console_.out(
                *board.status == kDone
                    ? QStringLiteral("%1: done").arg(board.device)
                    : QStringLiteral("%1: failed, status %2").arg(board.device).arg(*board.status));
    }
    emit finished(highest);
}

} // namespace ctl
