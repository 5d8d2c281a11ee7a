#pragma once
// Names the bytes sent to the board in the words a user reads: "SetPage 0", "PutPattern 0x3C",
// "DrawLineRect Outline 10 20 30 40", "BeginString \"Hi\"". Used by the traffic monitor and by
// the command line's --verbose output, so both read the same.
//
// Bytes are fed chunk by chunk, as they were written. A message cut across writes (the pixel
// command goes in two, a string is sent key by key) is carried over: the chunk that starts it
// reads "DrawPixel …", the one that ends it names the whole message. Several messages in one
// chunk are joined with "; ". A byte where a command code belongs that is no command reads
// "unknown 0x99"; a parameter outside its range is marked, never hidden.

#include "protocol/CommandTable.h"

#include <QByteArray>
#include <QString>

namespace protocol {

class MessageDecoder {
public:
    // The meaning of one chunk, given everything fed before it.
    QString feed(const QByteArray& chunk);
    // True while a message has begun and waits for more bytes.
    bool midMessage() const { return current_ != nullptr; }
    void reset();

    // One whole message (code and parameters); for BeginString the characters without the
    // carriage return.
    static QString describe(const CommandInfo& command, const QByteArray& parameters);

private:
    QString finish();

    const CommandInfo* current_ = nullptr;
    QByteArray parameters_;
    bool continued_ = false; // the message began in an earlier chunk
};

} // namespace protocol
