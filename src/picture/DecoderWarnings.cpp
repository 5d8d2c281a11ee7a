#include "picture/DecoderWarnings.h"

#include <cstring>

namespace {

QStringList* collecting = nullptr;
QtMessageHandler passOn = nullptr;

void collect(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    // The image plug-ins log under qt.gui.imageio (qt.gui.imageio.jpeg for the JPEG decoder).
    constexpr char kImageIo[] = "qt.gui.imageio";
    if (collecting && type == QtWarningMsg && context.category &&
        std::strncmp(context.category, kImageIo, sizeof kImageIo - 1) == 0)
        collecting->append(message);
    if (passOn)
        passOn(type, context, message);
}

} // namespace

DecoderWarnings::DecoderWarnings() {
    collecting = &warnings_;
    previous_ = qInstallMessageHandler(collect);
    passOn = previous_;
}

DecoderWarnings::~DecoderWarnings() {
    qInstallMessageHandler(previous_);
    collecting = nullptr;
    passOn = nullptr;
}

bool DecoderWarnings::mention(const QString& text) const {
    for (const QString& warning : warnings_)
        if (warning.contains(text))
            return true;
    return false;
}
