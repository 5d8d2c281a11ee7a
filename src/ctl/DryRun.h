#pragma once
// How --dry-run prints what the session writes to the dry-run port: one line per write, in
// hex; with `decoded` also the message's name ("1F 02 0A 14 64 3C  DrawLineRect Filled 10 20
// 100 60"). The messages themselves come from the ordinary session, so a dry run writes what a
// real run writes, the detection's Identify included.

#include "protocol/MessageDecoder.h"

#include <QByteArray>
#include <QString>

namespace ctl {

class DryRunPrinter {
public:
    explicit DryRunPrinter(bool decoded) : decoded_(decoded) {}

    QString line(const QByteArray& message) {
        QString text = QString::fromLatin1(message.toHex(' ').toUpper());
        if (decoded_)
            text += QStringLiteral("  ") + decoder_.feed(message);
        return text;
    }

private:
    bool decoded_;
    protocol::MessageDecoder decoder_;
};

} // namespace ctl
