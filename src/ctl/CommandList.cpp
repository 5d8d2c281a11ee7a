#include "ctl/CommandList.h"

namespace ctl {

quint32 CommandList::textIndex(const QString& text) {
    if (text.isEmpty())
        return kNone;
    // A few dozen names at most; the latest is the likeliest.
    for (qsizetype i = texts_.size() - 1; i >= 0; --i)
        if (texts_.at(i) == text)
            return quint32(i);
    texts_ << text;
    return quint32(texts_.size() - 1);
}

qsizetype CommandList::messageCount(qsizetype index) const {
    const qsizetype end =
        index + 1 < records_.size() ? records_.at(index + 1).firstMessage : messageEnds_.size();
    return end - records_.at(index).firstMessage;
}

QByteArray CommandList::message(qsizetype index, qsizetype messageIndex) const {
    const qsizetype at = records_.at(index).firstMessage + messageIndex;
    const qsizetype begin = at == 0 ? 0 : messageEnds_.at(at - 1);
    return bytes_.mid(begin, messageEnds_.at(at) - begin);
}

Command CommandList::at(qsizetype index) const {
    const Record& record = records_.at(index);
    Command command;
    command.action = record.action;
    command.name = text(record.name);
    command.script = text(record.script);
    command.line = int(record.line);
    const qsizetype count = messageCount(index);
    command.messages.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        command.messages << message(index, i);
    if (record.extra != kNone) {
        const Extra& extra = extras_.at(record.extra);
        command.rateIndex = extra.rateIndex;
        command.screen = extra.screen;
        command.listenMs = extra.listenMs;
    }
    return command;
}

void CommandList::append(const Command& command) {
    Record record{quint32(messageEnds_.size()),
                  textIndex(command.name),
                  textIndex(command.script),
                  quint32(command.line),
                  kNone,
                  command.action};
    for (const QByteArray& message : command.messages) {
        bytes_ += message;
        messageEnds_ << quint32(bytes_.size());
    }
    // Most commands carry nothing more (identify, listen until Ctrl+C): they need no Extra.
    if (command.rateIndex >= 0 || command.screen || command.listenMs) {
        record.extra = quint32(extras_.size());
        extras_ << Extra{command.rateIndex, command.screen, command.listenMs};
    }
    records_ << record;
}

void CommandList::append(const CommandList& other) {
    if (isEmpty()) {
        *this = other; // shared, not copied
        return;
    }
    QList<quint32> texts;
    for (const QString& text : other.texts_)
        texts << textIndex(text);
    const auto mapped = [&texts](quint32 index) { return index == kNone ? kNone : texts[index]; };
    const quint32 messageBase = quint32(messageEnds_.size());
    const quint32 byteBase = quint32(bytes_.size());
    const quint32 extraBase = quint32(extras_.size());
    for (Record record : other.records_) {
        record.firstMessage += messageBase;
        record.name = mapped(record.name);
        record.script = mapped(record.script);
        if (record.extra != kNone)
            record.extra += extraBase;
        records_ << record;
    }
    bytes_ += other.bytes_;
    for (quint32 end : other.messageEnds_)
        messageEnds_ << end + byteBase;
    extras_ << other.extras_;
}

void CommandList::nameUnnamed(const QString& name, const QString& script, int line) {
    // The unnamed ones are the last ones appended.
    const quint32 nameIndex = textIndex(name);
    const quint32 scriptIndex = textIndex(script);
    for (qsizetype i = records_.size() - 1; i >= 0 && records_.at(i).name == kNone; --i) {
        Record& record = records_[i];
        record.name = nameIndex;
        record.script = scriptIndex;
        record.line = quint32(line);
    }
}

} // namespace ctl
