#pragma once
// Where and how `render` and `convert` write a screen: --output FILE (- for standard output),
// the format by the file's extension or --format, --scale N and --plain for PNG, --name for the
// C and XBM arrays, and --force to replace a file that exists. Checked before anything runs.

#include "picture/ScreenFileFormat.h"

#include <QString>
#include <optional>

namespace ctl {

class Arguments;

struct OutputOptions {
    static constexpr int kMaxScale = 16;

    QString path;
    ScreenFileFormat format = ScreenFileFormat::Png;
    int scale = 1;
    bool plain = false;
    bool force = false;
    QString name; // empty: from the file's name

    bool toStandardOutput() const { return path == QStringLiteral("-"); }
    // The arrays' name as given, before it is made a C identifier.
    QString arrayName() const;

    // Takes the options above out of `a` and checks them together; none when one is wrong
    // (the reason is in `a`), also when FILE exists and --force is not given.
    static std::optional<OutputOptions> take(Arguments& a);
    // --output, --format, --scale, --name and --force take a value or stand alone, for
    // telling them from the first command's words.
    static bool isOption(const QString& word, bool& takesValue);
};

} // namespace ctl
