#pragma once
// frmAbout: name, version, rights notice, logo and the link to the maker's web page. Non-modal.
// A double-click on the logo unlocks screens 1..4 of the "Memory" panel. Nothing here sends.
//
//   name        caption / text             what it does
//   Picture1    (logo)                     double-click: screens 1..4 of "Memory" reachable,
//                                          screen 1 selected
//   lblTitle    "Vantrel"                  -
//   lblVersion  "Version x.y.z"            the version of project() in CMakeLists.txt
//   Label5      the web address            click or Space: opens it in the browser
//   cmdOK       "OK"                       closes the box

#include <QDialog>
#include <QUrl>
#include <functional>

class QLabel;
class QPushButton;
class LogoLabel;

class AboutBox : public QDialog {
    Q_OBJECT
public:
    static const char* const kMakerWebAddress;

    explicit AboutBox(QWidget* parent = nullptr);

    // Opens a web address in the desktop's default browser; tests replace it.
    std::function<void(const QUrl&)> openUrl;

public slots:
    void cmdOK_Click();
    void Label5_Click();
    void Picture1_DblClick();

signals:
    void fontScreensUnlocked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();

    LogoLabel* Picture1_;
    QLabel* lblTitle_;
    QLabel* lblVersion_;
    QLabel* Label5_;
    QPushButton* cmdOK_;
    // A left press on the link that has not been released yet: its release over the link is
    // the click.
    bool linkPressed_ = false;
};
