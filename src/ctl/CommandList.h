#pragma once
// The commands of a run, held compactly. A script of millions of short lines gives millions of
// commands, and as Command values (strings and lists, each its own allocation) they took hundreds
// of bytes apiece. Here a command is one small record, the messages of all commands lie in one
// byte array, and each command name and script name is kept once. at() gives a Command back.

#include "ctl/Command.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace ctl {

class CommandList {
public:
    class const_iterator {
    public:
        const_iterator(const CommandList* list, qsizetype index) : list_(list), index_(index) {}
        Command operator*() const { return list_->at(index_); }
        const_iterator& operator++() {
            ++index_;
            return *this;
        }
        bool operator==(const const_iterator& other) const { return index_ == other.index_; }

    private:
        const CommandList* list_;
        qsizetype index_;
    };

    qsizetype size() const { return records_.size(); }
    bool isEmpty() const { return records_.isEmpty(); }
    Command at(qsizetype index) const;
    // The messages of command `index`, without building the whole command.
    qsizetype messageCount(qsizetype index) const;
    QByteArray message(qsizetype index, qsizetype messageIndex) const;

    void append(const Command& command);
    void append(const CommandList& other);
    // Gives the commands appended without a name this name and origin.
    void nameUnnamed(const QString& name, const QString& script, int line);
    void clear() { *this = CommandList(); }

    CommandList& operator<<(const Command& command) {
        append(command);
        return *this;
    }
    CommandList& operator<<(const CommandList& other) {
        append(other);
        return *this;
    }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    static constexpr quint32 kNone = 0xFFFFFFFF;
    struct Record {
        quint32 firstMessage; // index into messageEnds_
        quint32 name;         // index into texts_; kNone until named
        quint32 script;       // index into texts_; kNone on the command line
        quint32 line;
        quint32 extra; // index into extras_; kNone for Send
        Command::Action action;
    };
    // What the few commands other than Send carry.
    struct Extra {
        int rateIndex = -1;
        std::shared_ptr<const engine::Screen> screen;
        std::optional<qint64> listenMs;
    };

    quint32 textIndex(const QString& text);
    QString text(quint32 index) const { return index == kNone ? QString() : texts_.at(index); }

    QList<Record> records_;
    QByteArray bytes_;           // the messages of every command, one after the other
    QList<quint32> messageEnds_; // where each message ends in bytes_
    QStringList texts_;          // command names and script names
    QList<Extra> extras_;
};

} // namespace ctl
