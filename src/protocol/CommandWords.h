#pragma once
// The words of the command language that vantrelctl reads (on its command line and in scripts)
// and the traffic monitor writes ("Save as Script"), for the commands whose arguments are the
// numbers of one message, in the message's order: which message each word sends, which of its
// parameters the word fixes, the names of the typed arguments and their ranges. The ranges are
// the command table's, narrowed where the word leaves part of a range to another word ("clear"
// without a page clears the whole screen) or behind an option (screens 1..4 hold the fonts).
//
//   rect 10 20 100 60           DrawLineRect, figure 1 fixed, X1 Y1 X2 Y2 0..255
//   rect 10 20 100 60 --clear   ClearLineRect, the same
//   contrast 45                 SetContrast, LEVEL 0..127

#include "protocol/CommandCode.h"

#include <QAnyStringView>
#include <QByteArray>
#include <QString>
#include <span>

namespace protocol {

struct CommandWord {
    static constexpr int kMaxArguments = 3;
    static constexpr int kNoFixedParameter = -1;

    const char* word;
    CommandCode code;
    const char* flag = "";     // the option that picks this message ("--clear"), or none
    int fixedParameter = kNoFixedParameter; // the message's first parameter, when the word fixes it
    const char* arguments = ""; // the typed arguments' names, blank-separated ("X1 Y1 X2 Y2")
    int narrowedMin = -1;       // the first argument's range, where narrower than the table's
    int narrowedMax = -1;

    // How many numbers the word takes, and the range and name of number `i`.
    int argumentCount() const;
    QString argumentName(int i) const;
    int argumentMin(int i) const;
    int argumentMax(int i) const;
    // The index of message parameter that number `i` goes to.
    int parameterIndex(int i) const { return i + (fixedParameter >= 0 ? 1 : 0); }
};

std::span<const CommandWord> commandWords();
// The row of `word` (with `flag`, or the row without a flag), or nullptr.
const CommandWord* commandWord(QAnyStringView word, QAnyStringView flag = {});

// The ranges as help shows them: "X1, Y1, X2 and Y2 0..255."; "LEVEL 0..127."
QString argumentRanges(const CommandWord& word);

// The words that send exactly `code` with `parameters` ("rect 10 20 100 60 --clear"), or empty
// when no row of the table does.
QString wordsOf(CommandCode code, const QByteArray& parameters);

} // namespace protocol
