#include "protocol/CommandWords.h"

#include "protocol/CommandTable.h"

#include <QStringList>

namespace protocol {

namespace {

using C = CommandCode;
using W = CommandWord;

constexpr int kFigureLine = int(Figure::Line);
constexpr int kFigureOutline = int(Figure::Outline);
constexpr int kFigureFilled = int(Figure::Filled);
constexpr int kFigureReversed = int(Figure::Reversed);

// clang-format off
constexpr CommandWord kWords[] = {
    {"clear",   C::ClearDisplay,  "",        W::kNoFixedParameter, "PAGE", 0, kPages - 1},
    {"pixel",   C::DrawPixel,     "",        kDrawPixelPrefix, "X Y"},
    {"line",    C::DrawLineRect,  "",        kFigureLine,     "X1 Y1 X2 Y2"},
    {"line",    C::ClearLineRect, "--clear", kFigureLine,     "X1 Y1 X2 Y2"},
    {"rect",    C::DrawLineRect,  "",        kFigureOutline,  "X1 Y1 X2 Y2"},
    {"rect",    C::ClearLineRect, "--clear", kFigureOutline,  "X1 Y1 X2 Y2"},
    {"fill",    C::DrawLineRect,  "",        kFigureFilled,   "X1 Y1 X2 Y2"},
    {"fill",    C::ClearLineRect, "--clear", kFigureFilled,   "X1 Y1 X2 Y2"},
    {"reverse", C::ClearLineRect, "",        kFigureReversed, "X1 Y1 X2 Y2"},
    {"circle",  C::DrawCircle,    "",        W::kNoFixedParameter, "R X Y"},
    {"circle",  C::ClearCircle,   "--clear", W::kNoFixedParameter, "R X Y"},
    {"contrast", C::SetContrast,  "",        W::kNoFixedParameter, "LEVEL"},
    {"mode",    C::SetDisplayMode, "",       W::kNoFixedParameter, "MODE"},
    {"flip",    C::FlipPage,      "",        W::kNoFixedParameter, "PAGE"},
    // Screens 1..4 hold the fonts: only `save N --replace-font` writes them.
    {"save",    C::SaveScreen,    "",        W::kNoFixedParameter, "N", kFirstFreeScreen, kLastScreen},
    {"load",    C::LoadScreen,    "",        W::kNoFixedParameter, "N"},
    {"animate", C::RunAnimation,  "",        W::kNoFixedParameter, "DELAY START STOP"},
};
// clang-format on

QStringList namesOf(const CommandWord& w) {
    return QString::fromLatin1(w.arguments).split(u' ', Qt::SkipEmptyParts);
}

} // namespace

int CommandWord::argumentCount() const {
    return int(namesOf(*this).size());
}

QString CommandWord::argumentName(int i) const {
    return namesOf(*this).value(i);
}

int CommandWord::argumentMin(int i) const {
    if (i == 0 && narrowedMin >= 0)
        return narrowedMin;
    return commandInfo(code).parameters[std::size_t(parameterIndex(i))].min;
}

int CommandWord::argumentMax(int i) const {
    if (i == 0 && narrowedMax >= 0)
        return narrowedMax;
    return commandInfo(code).parameters[std::size_t(parameterIndex(i))].max;
}

std::span<const CommandWord> commandWords() {
    return kWords;
}

const CommandWord* commandWord(QAnyStringView word, QAnyStringView flag) {
    for (const CommandWord& w : kWords)
        if (word == QLatin1String(w.word) && flag == QLatin1String(w.flag))
            return &w;
    return nullptr;
}

QString argumentRanges(const CommandWord& w) {
    // Neighbours with the same range share it: "X1, Y1, X2 and Y2 0..255."
    QStringList groups;
    const int count = w.argumentCount();
    for (int i = 0; i < count;) {
        int j = i + 1;
        while (j < count && w.argumentMin(j) == w.argumentMin(i) &&
               w.argumentMax(j) == w.argumentMax(i))
            ++j;
        QStringList names;
        for (int k = i; k < j; ++k)
            names << w.argumentName(k);
        QString joined = names.size() == 1
                             ? names.first()
                             : names.mid(0, names.size() - 1).join(QStringLiteral(", ")) +
                                   QStringLiteral(" and ") + names.last();
        groups << QStringLiteral("%1 %2..%3").arg(joined).arg(w.argumentMin(i)).arg(w.argumentMax(i));
        i = j;
    }
    return groups.isEmpty() ? QString() : groups.join(QStringLiteral("; ")) + u'.';
}

QString wordsOf(CommandCode code, const QByteArray& parameters) {
    for (const CommandWord& w : kWords) {
        if (w.code != code)
            continue;
        const bool fixed = w.fixedParameter >= 0;
        if (parameters.size() != w.argumentCount() + (fixed ? 1 : 0))
            continue;
        if (fixed && std::uint8_t(parameters[0]) != w.fixedParameter)
            continue;
        QString text = QString::fromLatin1(w.word);
        bool inRange = true;
        for (int i = 0; i < w.argumentCount(); ++i) {
            const int value = std::uint8_t(parameters[w.parameterIndex(i)]);
            inRange = inRange && value >= w.argumentMin(i) && value <= w.argumentMax(i);
            text += u' ' + QString::number(value);
        }
        if (!inRange)
            continue;
        if (*w.flag)
            text += u' ' + QLatin1String(w.flag);
        return text;
    }
    return {};
}

} // namespace protocol
