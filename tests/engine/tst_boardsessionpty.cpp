// The board session against the virtual board over a real pseudo-terminal, without widgets:
// detection with the contrast, a reply, the change to 19200 baud and detection there, a whole
// picture byte for byte, and the board's end going away.

#include "board/VirtualBoard.h"
#include "engine/BoardSession.h"
#include "protocol/Messages.h"
#include "transport/QtSerialPort.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

using engine::BoardSession;
using engine::SessionState;
using engine::UploadEnding;

class tst_BoardSessionPty : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void wholeSession();
    void boardEndGoneIsPortLost();

private:
    bool connectAt(int rateIndex);

    std::unique_ptr<VirtualBoard> board_;
    std::unique_ptr<QtSerialPort> port_;
    std::unique_ptr<BoardSession> session_;
};

void tst_BoardSessionPty::init() {
    board_ = std::make_unique<VirtualBoard>();
    QVERIFY2(board_->open(), qPrintable(board_->errorString()));
    port_ = std::make_unique<QtSerialPort>(
        PortMap({{1, board_->devicePath()}}, [](const QString&) { return true; }));
    session_ = std::make_unique<BoardSession>(*port_);
}

void tst_BoardSessionPty::cleanup() {
    session_.reset();
    port_.reset();
    board_.reset();
}

bool tst_BoardSessionPty::connectAt(int rateIndex) {
    if (!session_->connectTo(1, *protocol::LineSettings::ofRateIndex(rateIndex)))
        return false;
    return QTest::qWaitFor([&] { return session_->state() == SessionState::Polling; }, 10000);
}

void tst_BoardSessionPty::wholeSession() {
    QSignalSpy contrasts(session_.get(), &BoardSession::contrastReported);
    QSignalSpy replies(session_.get(), &BoardSession::replyReceived);
    board_->model().setContrast(77);
    QVERIFY(connectAt(2));
    QCOMPARE(contrasts.count(), 1);
    QCOMPARE(contrasts.first().first().toInt(), 77);

    // A touch report arrives as a reply.
    QVERIFY(session_->send(protocol::setTouchMode(protocol::kTouchCoordinates)));
    QTRY_VERIFY(board_->model().touchMode() == display::BoardModel::TouchMode::Coordinates);
    board_->touch(12, 34);
    QTRY_COMPARE(replies.count(), 1);
    QCOMPARE(replies.first().first().toByteArray(), QByteArray("X12Y34!"));

    // 9600 -> 19200: the board switches, the session detects it there.
    QVERIFY(session_->changeBaudRate(4));
    QTRY_COMPARE_WITH_TIMEOUT(session_->state(), SessionState::Polling, 10000);
    QCOMPARE(board_->model().baud(), 19200);
    QCOMPARE(session_->settingsText(), QStringLiteral("19200,N,8,1"));

    // A whole screen, byte for byte, in the board's memory.
    BoardSession::Screen screen;
    for (std::size_t i = 0; i < screen.size(); ++i)
        screen[i] = std::uint8_t(i * 7 + i / 160);
    QSignalSpy finished(session_.get(), &BoardSession::uploadFinished);
    QVERIFY(session_->startUpload(screen));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
    QCOMPARE(finished.first().at(0).value<UploadEnding>(), UploadEnding::Completed);
    // The last byte has left the program; the board has it once its event loop has run.
    QTRY_COMPARE(board_->model().pageByte(protocol::kPages - 1, protocol::kColumns - 1),
                 screen.back());
    for (int page = 0; page < protocol::kPages; ++page)
        for (int column = 0; column < protocol::kColumns; ++column)
            QCOMPARE(board_->model().pageByte(page, column),
                     screen[std::size_t(page * protocol::kColumns + column)]);
}

void tst_BoardSessionPty::boardEndGoneIsPortLost() {
    QVERIFY(connectAt(2));
    QSignalSpy lost(session_.get(), &BoardSession::portLost);
    board_.reset();
    QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 10000);
    QCOMPARE(session_->state(), SessionState::Disconnected);
    QVERIFY(!session_->portOpen());
    QVERIFY(!session_->send(protocol::setLcdPower(true)));
}

QTEST_GUILESS_MAIN(tst_BoardSessionPty)
#include "tst_boardsessionpty.moc"
