#pragma once
// The "Display" page of the Utilities tab set: LCD power, whole and split reverse modes, page and
// screen clearing, page flipping and rotation. Every button and rotation option sends one
// two-byte message; the scroll bars only choose a page. The preview pictures the display's
// quarters as the last Normal/Reverse button left them (it is never read from the board).

#include <QColor>
#include <QWidget>

class Dialogs;
namespace engine {
class BoardSession;
}
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class ShapeWidget;

class DisplayPanel : public QWidget {
    Q_OBJECT
public:
    DisplayPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent = nullptr);

    // Preview colours of a quarter: normal blue, reverse pale cyan.
    static QColor normalColour() { return QColor(0, 0, 255); }
    static QColor reverseColour() { return QColor(192, 255, 255); }

public slots:
    void cmdLCDON_Click();
    void cmdLCDOFF_Click();
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();
    void Command11_Click();
    void Command12_Click();
    void Command13_Click();
    void Command14_Click();
    void Command15_Click();
    void Command16_Click();
    void Command21_Click();
    // Run when the option becomes selected.
    void optRotate0_Click();
    void optRotate180_Click();

private:
    void setPreview(bool topReverse, bool bottomReverse);
    void setQuarter(ShapeWidget* shape, const QString& quarter, bool reverse);
    void send(const QByteArray& message);

    engine::BoardSession& session_;
    Dialogs& dialogs_;

    QScrollBar* HScroll9_;
    QLineEdit* Text8_;
    QPushButton* Command16_;
    QScrollBar* HScroll8_;
    QLineEdit* Text1_;
    QPushButton* Command21_;
    ShapeWidget* Shape1_;
    ShapeWidget* Shape2_;
    ShapeWidget* Shape3_;
    ShapeWidget* Shape4_;
    QPushButton* cmdLCDON_;
    QPushButton* cmdLCDOFF_;
    QPushButton* Command8_;
    QPushButton* Command9_;
    QPushButton* Command10_;
    QPushButton* Command11_;
    QPushButton* Command12_;
    QPushButton* Command13_;
    QPushButton* Command14_;
    QPushButton* Command15_;
    QRadioButton* optRotate0_;
    QRadioButton* optRotate180_;
};
