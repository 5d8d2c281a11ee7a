#pragma once
// The virtual boards running for this user, as they announce themselves: each vantrel-board
// keeps a symbolic link named with its process id, leading to its pseudo-terminal, in a folder
// of the user's runtime directory ($XDG_RUNTIME_DIR/vantrel/boards, or
// <TMPDIR or /tmp>/vantrel-<uid>/boards where XDG_RUNTIME_DIR is unset). So the window and
// vantrelctl find a board started from the menu without any VANTREL_COM<n>.
//
// Only a folder that is this user's own and closed to everyone else (not a link, mode 0700 or
// stricter) is read or written: in a shared temporary directory another user could have made
// the folder, or a link to one of theirs, to hand out a device of their choosing.

#include <QList>
#include <QProcessEnvironment>
#include <QString>

class AnnouncedBoards {
public:
    struct Board {
        qint64 processId = 0;
        QString link;   // the announcement: <folder>/<process id>
        QString device; // the pseudo-terminal it leads to, /dev/pts/4
    };

    // The announcement folder for `environment` (XDG_RUNTIME_DIR, TMPDIR); it may not exist.
    static QString folder(const QProcessEnvironment& environment);
    // The boards announced in `folder`, by process id. An announcement whose process has ended
    // is removed (its pseudo-terminal's number may already belong to another terminal); one that
    // leads to anything but a pseudo-terminal is passed over. A folder that is not ours gives
    // none and is left alone.
    static QList<Board> live(const QString& folder);
    // True when `path` is a folder (not a link) of this user that no one else may enter.
    static bool isPrivateFolder(const QString& path);
    // True when `path` is the slave side of a pseudo-terminal (a Unix 98 pty device).
    static bool isPseudoTerminal(const QString& path);
};
