#include "protocol/MessageDecoder.h"

#include "protocol/ReplyText.h"

#include <QStringList>

namespace protocol {

namespace {

const QString kContinued = QStringLiteral("… ");
const QString kUnfinished = QStringLiteral(" …");

QString hexByte(std::uint8_t b) {
    return QStringLiteral("0x") + QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}

QString figureName(int figure) {
    switch (Figure(figure)) {
    case Figure::Line:
        return QStringLiteral("Line");
    case Figure::Outline:
        return QStringLiteral("Outline");
    case Figure::Filled:
        return QStringLiteral("Filled");
    case Figure::Reversed:
        return QStringLiteral("Reversed");
    }
    return QString::number(figure);
}

QString parameterText(CommandCode code, int index, std::uint8_t value) {
    switch (code) {
    case CommandCode::PutPattern:
        return hexByte(value);
    case CommandCode::PutChar:
        return value >= 0x20 && value < 0x7F ? QStringLiteral("'%1'").arg(QChar(value))
                                             : hexByte(value);
    case CommandCode::ClearLineRect:
    case CommandCode::DrawLineRect:
        return index == 0 ? figureName(value) : QString::number(value);
    default:
        return QString::number(value);
    }
}

} // namespace

QString MessageDecoder::describe(const CommandInfo& command, const QByteArray& parameters) {
    QString text = QString::fromLatin1(command.name);
    if (command.isText())
        return text + u' ' + quotedText(parameters);
    QString outOfRange;
    for (int i = 0; i < parameters.size() && i < CommandInfo::kMaxParameters; ++i) {
        const auto value = static_cast<std::uint8_t>(parameters[i]);
        const ParameterInfo& parameter = command.parameters[std::size_t(i)];
        const bool fixed = parameter.min == parameter.max;
        if (!parameter.accepts(value)) {
            if (outOfRange.isEmpty())
                outOfRange = QStringLiteral(" (%1 out of range %2..%3)")
                                 .arg(QLatin1String(parameter.name))
                                 .arg(parameter.min)
                                 .arg(parameter.max);
            text += u' ' + hexByte(value);
        } else if (!fixed) {
            // A fixed byte (the pixel prefix, the query) says nothing a user needs to read.
            text += u' ' + parameterText(command.code, i, value);
        }
    }
    return text + outOfRange;
}

QString MessageDecoder::finish() {
    const QString text = (continued_ ? kContinued : QString()) + describe(*current_, parameters_);
    current_ = nullptr;
    parameters_.clear();
    continued_ = false;
    return text;
}

QString MessageDecoder::feed(const QByteArray& chunk) {
    QStringList parts;
    const bool carried = current_ != nullptr;
    const qsizetype carriedBytes = parameters_.size();
    for (char c : chunk) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (!current_) {
            current_ = commandInfo(byte);
            if (!current_)
                parts << QStringLiteral("unknown %1").arg(hexByte(byte));
            continue;
        }
        if (current_->isText()) {
            if (byte == kEndOfString) {
                parts << finish();
                continue;
            }
            parameters_ += c;
            // The board ends a string by itself at its length limit.
            if (parameters_.size() == kStringLimit)
                parts << finish();
            continue;
        }
        parameters_ += c;
        if (parameters_.size() == current_->parameterCount)
            parts << finish();
    }
    if (current_) {
        if (carried && parts.isEmpty()) {
            // Still the message of an earlier chunk: this one adds to it.
            const QByteArray added = parameters_.mid(carriedBytes);
            parts << kContinued +
                         (current_->isText() ? quotedText(added)
                                             : QStringLiteral("%1 of %2 parameter bytes")
                                                   .arg(parameters_.size())
                                                   .arg(current_->parameterCount)) +
                         kUnfinished;
        } else {
            parts << (current_->isText() ? describe(*current_, parameters_)
                                         : QString::fromLatin1(current_->name)) +
                         kUnfinished;
        }
        continued_ = true;
    }
    return parts.join(QStringLiteral("; "));
}

void MessageDecoder::reset() {
    current_ = nullptr;
    parameters_.clear();
    continued_ = false;
}

} // namespace protocol
