#pragma once
// Collects what the picture decoders warn about while it lives, for the loader to judge: the
// JPEG decoder reports data that ends before the picture does only as a warning, and fills the
// rest with grey. Every message still goes on to the handler installed before (which decides
// what is shown). For the window's thread only, one at a time.

#include <QString>
#include <QStringList>
#include <QtGlobal>

class DecoderWarnings {
public:
    DecoderWarnings();
    ~DecoderWarnings();
    DecoderWarnings(const DecoderWarnings&) = delete;
    DecoderWarnings& operator=(const DecoderWarnings&) = delete;

    bool mention(const QString& text) const;

private:
    QStringList warnings_;
    QtMessageHandler previous_;
};
