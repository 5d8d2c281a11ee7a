// Every command message against its bytes on the wire.
#include "protocol/BaudRates.h"
#include "protocol/LineSettings.h"
#include "protocol/Messages.h"
#include "support/HexCompare.h"

#include <QTest>

using namespace protocol;

class tst_Messages : public QObject {
    Q_OBJECT
private slots:
    void messageBytes_data();
    void messageBytes();
    void rateTable_data();
    void rateTable();
    void rateTextRefusals_data();
    void rateTextRefusals();
};

void tst_Messages::messageBytes_data() {
    QTest::addColumn<QByteArray>("actual");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("ClearDisplay page 15") << clearDisplay(15) << bytesOf("01 0F");
    QTest::newRow("ClearDisplay whole screen") << clearDisplay(kWholeScreen) << bytesOf("01 10");
    QTest::newRow("PutChar H") << putChar('H') << bytesOf("02 48");
    QTest::newRow("PutChar 0xFF") << putChar(0xFF) << bytesOf("02 FF");
    QTest::newRow("PutPattern 0") << putPattern(0) << bytesOf("03 00");
    QTest::newRow("PutPattern 255") << putPattern(255) << bytesOf("03 FF");
    QTest::newRow("SetTouchMode off") << setTouchMode(kTouchOff) << bytesOf("05 00");
    QTest::newRow("SetTouchMode coordinates")
        << setTouchMode(kTouchCoordinates) << bytesOf("05 01");
    QTest::newRow("SetPage 15") << setPage(15) << bytesOf("06 0F");
    QTest::newRow("LoadScreen 20") << loadScreen(20) << bytesOf("08 14");
    QTest::newRow("SetBacklight on") << setBacklight(true) << bytesOf("09 01");
    QTest::newRow("SetBacklight off") << setBacklight(false) << bytesOf("09 00");
    QTest::newRow("DrawPixel prefix") << drawPixelPrefix() << bytesOf("0A 01");
    QTest::newRow("DrawPixel coordinates") << drawPixelCoordinates(5, 7) << bytesOf("05 07");
    QTest::newRow("SetDisplayMode 6") << setDisplayMode(6) << bytesOf("0B 06");
    QTest::newRow("SetLcdPower on") << setLcdPower(true) << bytesOf("0D 01");
    QTest::newRow("SetLcdPower off") << setLcdPower(false) << bytesOf("0D 00");
    QTest::newRow("SetBaudRate 19200") << setBaudRate(4) << bytesOf("0F 04");
    QTest::newRow("SetContrast 127") << setContrast(127) << bytesOf("10 7F");
    QTest::newRow("SaveScreen 5") << saveScreen(5) << bytesOf("11 05");
    QTest::newRow("SetColumn 159") << setColumn(159) << bytesOf("12 9F");
    QTest::newRow("SelectFont 3") << selectFont(3) << bytesOf("15 03");
    QTest::newRow("CalibrateTouch") << calibrateTouch() << bytesOf("19 01");
    QTest::newRow("RestoreTouchCalibration") << restoreTouchCalibration() << bytesOf("1A 01");
    QTest::newRow("RunAnimation") << runAnimation(100, 202, 203) << bytesOf("1B 64 CA CB");
    QTest::newRow("SetKeypadMode flip") << setKeypadMode(kKeypadWithFlip) << bytesOf("1C 02");
    QTest::newRow("FlipPage 3") << flipPage(3) << bytesOf("1D 03");
    QTest::newRow("ClearLineRect reversed")
        << clearLineRect(Figure::Reversed, 0, 255, 10, 20) << bytesOf("1E 03 00 FF 0A 14");
    QTest::newRow("DrawLineRect filled")
        << drawLineRect(Figure::Filled, 10, 20, 100, 60) << bytesOf("1F 02 0A 14 64 3C");
    QTest::newRow("ClearCircle") << clearCircle(10, 64, 32) << bytesOf("20 0A 40 20");
    QTest::newRow("DrawCircle") << drawCircle(10, 64, 32) << bytesOf("21 0A 40 20");
    QTest::newRow("BeginString CR") << beginString(kEndOfString) << bytesOf("26 0D");
    QTest::newRow("SetRotation 180") << setRotation(true) << bytesOf("27 01");
    QTest::newRow("SetRotation 0") << setRotation(false) << bytesOf("27 00");
    QTest::newRow("Identify") << identify() << bytesOf("49 44");
}

void tst_Messages::messageBytes() {
    QFETCH(QByteArray, actual);
    QFETCH(QByteArray, expected);
    COMPARE_HEX(actual, expected);
}

void tst_Messages::rateTable_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("baud");
    QTest::addColumn<QString>("settings");
    const int rates[] = {2400, 4800, 9600, 14400, 19200, 28800, 38400, 57600, 115200};
    for (int i = 0; i < 9; ++i)
        QTest::addRow("index %d", i) << i << rates[i] << QStringLiteral("%1,N,8,1").arg(rates[i]);
}

void tst_Messages::rateTable() {
    QFETCH(int, index);
    QFETCH(int, baud);
    QFETCH(QString, settings);
    QCOMPARE(baudOfIndex(index), baud);
    QCOMPARE(LineSettings::ofRateIndex(index)->text(), settings);
    QCOMPARE(indexOfRateText(QString::number(baud)), std::optional<int>(index));
    QCOMPARE(LineSettings::fromText(settings), LineSettings::ofRateIndex(index));
    QCOMPARE(rateTexts().at(index), QString::number(baud));
}

void tst_Messages::rateTextRefusals_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("not a rate") << QStringLiteral("9601");
    QTest::newRow("letters") << QStringLiteral("fast");
    QTest::newRow("negative") << QStringLiteral("-9600");
    QTest::newRow("with unit") << QStringLiteral("9600 baud");
}

void tst_Messages::rateTextRefusals() {
    QFETCH(QString, text);
    QCOMPARE(indexOfRateText(text), std::nullopt);
    QCOMPARE(LineSettings::ofRateIndex(-1), std::nullopt);
    QCOMPARE(LineSettings::ofRateIndex(9), std::nullopt);
    QCOMPARE(LineSettings::fromText(QStringLiteral("9600,E,7,2")), std::nullopt);
    QCOMPARE(LineSettings::fromText(text), std::nullopt);
}

QTEST_APPLESS_MAIN(tst_Messages)
#include "tst_messages.moc"
