#pragma once
// The command lines of the two modes that open no port and write a screen:
//   vantrelctl render OUTPUT-OPTIONS COMMAND [ARGS] [-- COMMAND [ARGS]]...
//   vantrelctl convert IMAGE [PICTURE-OPTIONS] OUTPUT-OPTIONS
// (OutputOptions: --output FILE, --format, --scale, --plain, --name, --force.)

#include "ctl/CommandParser.h"
#include "ctl/Invocation.h"
#include "ctl/PictureOptions.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ctl {

class ScreenCommands {
public:
    static constexpr const char* kRenderUsage =
        "render --output FILE [--format F] [--scale N] [--plain] [--name NAME] [--force] COMMAND...";
    static constexpr const char* kConvertUsage =
        "convert IMAGE [--fit|--fill|--stretch|--original] [--threshold N|--dither M] [--invert] "
        "--output FILE [--format F] [--scale N] [--plain] [--name NAME] [--force]";

    // `groups`: the words between "--", the first beginning with "render". Fills `run`;
    // returns why the command line is refused, or empty.
    static QString parseRender(QList<QStringList> groups, CommandParser& parser, Invocation& run);
    // `words`: the one group, beginning with "convert".
    static QString parseConvert(const QStringList& words, CommandParser& parser, Invocation& run);
};

} // namespace ctl
