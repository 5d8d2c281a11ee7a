#include "engine/ScriptWriter.h"

#include "engine/SentMessages.h"
#include "engine/TrafficFormat.h"
#include "protocol/BaudRates.h"
#include "protocol/CommandTable.h"
#include "protocol/CommandWords.h"
#include "protocol/MessageDecoder.h"
#include "protocol/Messages.h"

#include <vector>

namespace engine {

namespace {

using protocol::CommandCode;
using Parameters = const QByteArray&;
using Message = SentMessage;

int at(Parameters p, int i) {
    return std::uint8_t(p[i]);
}

QString numbers(const char* word, Parameters p, const char* suffix = "") {
    QString text = QString::fromLatin1(word);
    for (char c : p)
        text += u' ' + QString::number(std::uint8_t(c));
    return text + QString::fromLatin1(suffix);
}

// The command line's words for the messages whose arguments are not plain numbers in message
// order; the others come from the command language's table (protocol::wordsOf). A message
// neither gives words is written as `raw`.
struct ScriptWord {
    CommandCode code;
    QString (*words)(Parameters);
};

const ScriptWord kWords[] = {
    {CommandCode::ClearDisplay,
     [](Parameters p) {
         // ClearDisplay 16 is also what "stop" sends; "clear" says what it does.
         return at(p, 0) == protocol::kWholeScreen ? QStringLiteral("clear") : QString();
     }},
    {CommandCode::PutPattern, [](Parameters p) { return numbers("pattern", p); }},
    {CommandCode::SetTouchMode,
     [](Parameters p) {
         switch (at(p, 0)) {
         case protocol::kTouchOff:
             return QStringLiteral("touch off");
         case protocol::kTouchCoordinates:
             return QStringLiteral("touch coordinates");
         }
         return QString();
     }},
    {CommandCode::SetKeypadMode,
     [](Parameters p) {
         switch (at(p, 0)) {
         case protocol::kKeypadWithoutFlip:
             return QStringLiteral("touch keypad");
         case protocol::kKeypadWithFlip:
             return QStringLiteral("touch keypad-flip");
         }
         return QString();
     }},
    {CommandCode::SetBacklight,
     [](Parameters p) {
         return at(p, 0) == 1   ? QStringLiteral("backlight on")
                : at(p, 0) == 0 ? QStringLiteral("backlight off")
                                : QString();
     }},
    {CommandCode::SetLcdPower,
     [](Parameters p) {
         return at(p, 0) == 1   ? QStringLiteral("lcd on")
                : at(p, 0) == 0 ? QStringLiteral("lcd off")
                                : QString();
     }},
    {CommandCode::SetBaudRate,
     [](Parameters p) {
         const int baud = protocol::baudOfIndex(at(p, 0));
         return baud > 0 ? QStringLiteral("baud %1").arg(baud) : QString();
     }},
    {CommandCode::CalibrateTouch,
     [](Parameters p) { return at(p, 0) == 1 ? QStringLiteral("calibrate") : QString(); }},
    {CommandCode::RestoreTouchCalibration,
     [](Parameters p) {
         return at(p, 0) == 1 ? QStringLiteral("restore-calibration") : QString();
     }},
    {CommandCode::SetRotation,
     [](Parameters p) {
         return at(p, 0) == 0   ? QStringLiteral("rotate 0")
                : at(p, 0) == 1 ? QStringLiteral("rotate 180")
                                : QString();
     }},
};

QString wordsOf(const Message& m) {
    return m.complete && m.info ? ScriptWriter::words(m.info->byte(), m.parameters()) : QString();
}

bool isCommand(const Message& m, CommandCode code) {
    return m.complete && m.info && m.info->code == code;
}

// A character the command line's `text` takes inside double quotes and sends as it is: printable
// ISO 8859-1, no control code.
bool typable(std::uint8_t c) {
    return (c >= 0x20 && c < 0x7F) || c >= 0xA0;
}

// A typed character (PutChar) that can be part of a `text "..."` line.
bool isTypedCharacter(const Message& m) {
    return isCommand(m, CommandCode::PutChar) && typable(std::uint8_t(m.bytes[1]));
}

QString quotedForScript(const QByteArray& characters) {
    QString text = QStringLiteral("\"");
    for (char c : characters) {
        if (c == '"' || c == '\\')
            text += u'\\';
        text += QChar::fromLatin1(c);
    }
    return text + u'"';
}

} // namespace

QString ScriptWriter::words(std::uint8_t code, const QByteArray& parameters) {
    const protocol::CommandInfo* info = protocol::commandInfo(code);
    if (!info || (!info->isText() && parameters.size() != info->parameterCount))
        return {};
    for (const ScriptWord& w : kWords)
        if (w.code == info->code)
            if (QString words = w.words(parameters); !words.isEmpty())
                return words;
    return protocol::wordsOf(info->code, parameters);
}

QStringList ScriptWriter::lines(std::span<const TrafficRow> rows) {
    const std::vector<Message> messages = SentMessage::of(rows);
    QStringList out;
    QStringList patternValues;
    QStringList rawMeanings;
    QByteArray rawBytes;
    QByteArray typed;                   // a run of typed characters, written as `text`
    const Message* fontBeforeTyping = nullptr; // SelectFont right before the run: its --font
    auto flushRaw = [&] {
        if (rawBytes.isEmpty())
            return;
        out << QStringLiteral("# ") + rawMeanings.join(QStringLiteral("; "));
        out << QStringLiteral("raw ") + hexText(rawBytes);
        rawMeanings.clear();
        rawBytes.clear();
    };
    auto addRaw = [&](const Message& m) {
        rawMeanings << m.describe();
        rawBytes += m.bytes;
        if (rawMeanings.size() == kRawMessagesPerLine)
            flushRaw();
    };
    auto flushFont = [&] {
        if (fontBeforeTyping)
            addRaw(*fontBeforeTyping);
        fontBeforeTyping = nullptr;
    };
    auto flushTyped = [&] {
        if (typed.isEmpty())
            return;
        // A leading "-" would read as an option.
        if (typed.startsWith('-')) {
            flushFont();
            for (char c : std::as_const(typed))
                addRaw(Message{protocol::putChar(std::uint8_t(c)), 0, 0,
                               protocol::commandInfo(std::uint8_t(CommandCode::PutChar)), true});
            typed.clear();
            return;
        }
        flushRaw();
        QString line = QStringLiteral("text ") + quotedForScript(typed);
        if (fontBeforeTyping)
            line += QStringLiteral(" --font %1").arg(std::uint8_t(fontBeforeTyping->bytes[1]));
        fontBeforeTyping = nullptr;
        out << line;
        typed.clear();
    };
    auto flushPattern = [&] {
        if (!patternValues.isEmpty())
            out << QStringLiteral("pattern ") + patternValues.join(u',');
        patternValues.clear();
    };

    const Message* previous = nullptr;
    for (const Message& m : messages) {
        if (!previous) {
            out << QStringLiteral("# ") + timeOfDay(m.firstMs);
        } else if (m.firstMs - previous->lastMs >= kGapCommentMs) {
            flushTyped();
            flushFont();
            flushPattern();
            flushRaw();
            out << QStringLiteral("# %1, %2 later")
                       .arg(timeOfDay(m.firstMs), durationText(m.firstMs - previous->lastMs));
        }
        previous = &m;

        if (isTypedCharacter(m)) {
            flushPattern();
            if (typed.isEmpty() && !fontBeforeTyping)
                flushRaw();
            typed += m.bytes[1];
            continue;
        }
        flushTyped();
        if (isCommand(m, CommandCode::SelectFont)) {
            flushPattern();
            flushFont();
            fontBeforeTyping = &m;
            continue;
        }
        flushFont();
        if (isCommand(m, CommandCode::Identify)) {
            // The window's detection, at connecting and after a baud-rate change; the command
            // line detects by itself at the same points, so the replay sends it once.
            flushPattern();
            flushRaw();
            out << QStringLiteral("# identify (the connection's detection; vantrelctl detects "
                                  "by itself)");
            continue;
        }
        if (m.isPattern()) {
            flushRaw();
            patternValues << QString::number(std::uint8_t(m.bytes[1]));
            if (patternValues.size() == kPatternValuesPerLine)
                flushPattern();
            continue;
        }
        flushPattern();
        const QString words = wordsOf(m);
        if (!words.isEmpty()) {
            flushRaw();
            out << words;
            continue;
        }
        addRaw(m);
    }
    flushTyped();
    flushFont();
    flushPattern();
    flushRaw();
    return out;
}

} // namespace engine
