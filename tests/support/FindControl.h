#pragma once
// Finds a control by its objectName below `root`; a missing control ends the test program with
// its name, since every later step would only fail less clearly.

#include <QObject>
#include <QString>

template <typename T> T* findControl(const QObject* root, const QString& name) {
    T* w = root->findChild<T*>(name);
    if (!w)
        qFatal("no control named %s", qPrintable(name));
    return w;
}

template <typename T> T* findControl(const QObject* root, const char* name) {
    return findControl<T>(root, QString::fromLatin1(name));
}
