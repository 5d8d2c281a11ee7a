#pragma once
// A running virtual board's announcement (see AnnouncedBoards): a link named with this
// process's id, leading to its pseudo-terminal, in the user's announcement folder. The folder
// and its parent are made 0700 where missing; existing ones that are not this user's own and
// private are refused. The link goes with withdraw() or the object.

#include <QString>

class BoardAnnouncement {
public:
    BoardAnnouncement() = default;
    ~BoardAnnouncement();
    BoardAnnouncement(const BoardAnnouncement&) = delete;
    BoardAnnouncement& operator=(const BoardAnnouncement&) = delete;

    // Announces `device` in `folder`; false with errorString() when it cannot.
    bool announce(const QString& folder, const QString& device);
    // Removes the link, if it still leads to the announced device.
    void withdraw();

    QString linkPath() const { return link_; }
    QString errorString() const { return error_; }

private:
    bool makePrivateFolder(const QString& path);

    QString link_;
    QString device_;
    QString error_;
};
