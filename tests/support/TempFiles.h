#pragma once
// A file with the given bytes in a test's temporary folder; the test cannot go on without it.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

inline QString writeTempFile(const QTemporaryDir& dir, const QString& name,
                             const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}
