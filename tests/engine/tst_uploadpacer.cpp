// The pacing arithmetic of the picture upload, driven by a hand-set clock.

#include "engine/UploadPacer.h"

#include <QTest>

namespace {
constexpr int kMessages = 2563; // the upload: three set-up messages and 2,560 page bytes
constexpr std::int64_t kStart = 5'000'000'000;
} // namespace

class TestUploadPacer : public QObject {
    Q_OBJECT
private slots:
    void lineTimes_data();
    void lineTimes();
    void dueWithin_data();
    void dueWithin();
    void batchesFollowTheClock();
    void capsTheBurstAfterAStall_data();
    void capsTheBurstAfterAStall();
    void countsWhatThePortStillHolds_data();
    void countsWhatThePortStillHolds();
    void slowRateStillSends();
    void wholeUploadStaysOnSchedule();
};

void TestUploadPacer::lineTimes_data() {
    QTest::addColumn<int>("baud");
    QTest::addColumn<qint64>("byteNs");
    QTest::addColumn<qint64>("messageNs");
    // 10 bits a byte; a message is two bytes and the 0.05 ms gap.
    QTest::newRow("2400") << 2400 << 4'166'667ll << 8'383'333ll;
    QTest::newRow("9600") << 9600 << 1'041'667ll << 2'133'333ll;
    QTest::newRow("115200") << 115200 << 86'806ll << 223'611ll;
}

void TestUploadPacer::lineTimes() {
    QFETCH(int, baud);
    QFETCH(qint64, byteNs);
    QFETCH(qint64, messageNs);
    const UploadPacer pacer(baud, 2, kMessages, [] { return std::int64_t(0); });
    QCOMPARE(qint64(pacer.byteNs()), byteNs);
    QCOMPARE(qint64(pacer.messageNs()), messageNs);
}

void TestUploadPacer::dueWithin_data() {
    QTest::addColumn<int>("baud");
    QTest::addColumn<qint64>("elapsedNs");
    QTest::addColumn<int>("due");
    QTest::newRow("before the start") << 9600 << -1ll << 0;
    QTest::newRow("9600 at once") << 9600 << 0ll << 1;
    QTest::newRow("9600 just before the second") << 9600 << 2'133'332ll << 1;
    QTest::newRow("9600 the second") << 9600 << 2'133'333ll << 2;
    QTest::newRow("9600 after 1 s") << 9600 << 1'000'000'000ll << 469;
    QTest::newRow("9600 just before the last") << 9600 << 5'465'599'145ll << 2562;
    QTest::newRow("9600 the last") << 9600 << 5'465'599'146ll << 2563;
    QTest::newRow("9600 long after") << 9600 << 60'000'000'000ll << 2563;
    QTest::newRow("115200 after 1 ms") << 115200 << 1'000'000ll << 5;
    QTest::newRow("115200 after 100 ms") << 115200 << 100'000'000ll << 448;
    QTest::newRow("115200 after 500 ms") << 115200 << 500'000'000ll << 2237;
    QTest::newRow("115200 the last") << 115200 << 572'891'382ll << 2563;
}

void TestUploadPacer::dueWithin() {
    QFETCH(int, baud);
    QFETCH(qint64, elapsedNs);
    QFETCH(int, due);
    const UploadPacer pacer(baud, 2, kMessages, [] { return std::int64_t(0); });
    QCOMPARE(pacer.dueWithin(elapsedNs), due);
}

void TestUploadPacer::batchesFollowTheClock() {
    std::int64_t now = kStart;
    UploadPacer pacer(9600, 2, kMessages, [&now] { return now; });
    pacer.start();
    QCOMPARE(pacer.take(), 1);
    QCOMPARE(pacer.take(), 0);
    QCOMPARE(qint64(pacer.nsUntilNext()), 2'133'333ll);
    now += 10'000'000;
    QCOMPARE(pacer.take(), 4);
    QCOMPARE(pacer.sent(), 5);
    QCOMPARE(qint64(pacer.nsUntilNext()), 666'665ll); // the sixth is due at 10.666665 ms
    now += 666'664;
    QCOMPARE(pacer.take(), 0);
    now += 1;
    QCOMPARE(pacer.take(), 1);
}

void TestUploadPacer::capsTheBurstAfterAStall_data() {
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("burst");
    QTest::addColumn<qint64>("resumeNs");
    // At most 50 ms of messages at once; the next when one message is left on the line.
    QTest::newRow("2400") << 2400 << 5 << 4 * 8'383'333ll;
    QTest::newRow("9600") << 9600 << 23 << 22 * 2'133'333ll;
    QTest::newRow("115200") << 115200 << 223 << 222 * 223'611ll;
}

void TestUploadPacer::capsTheBurstAfterAStall() {
    QFETCH(int, baud);
    QFETCH(int, burst);
    QFETCH(qint64, resumeNs);
    std::int64_t now = kStart;
    UploadPacer pacer(baud, 2, kMessages, [&now] { return now; });
    pacer.start();
    QCOMPARE(pacer.take(), 1);

    now += 10'000'000'000; // the event loop stood still for 10 s
    QCOMPARE(pacer.take(), burst);
    QCOMPARE(pacer.take(), 0);
    QCOMPARE(qint64(pacer.nsUntilNext()), resumeNs);
    const std::int64_t resume = now + resumeNs;
    now = resume - 1;
    QCOMPARE(pacer.take(), 0);
    now = resume;
    QCOMPARE(pacer.take(), 1);
    QCOMPARE(pacer.sent(), 1 + burst + 1);
}

void TestUploadPacer::countsWhatThePortStillHolds_data() {
    QTest::addColumn<qint64>("queuedBytes");
    QTest::addColumn<int>("taken");
    QTest::newRow("nothing queued") << 0ll << 23;
    QTest::newRow("25 ms queued") << 24ll << 11;
    QTest::newRow("50 ms queued") << 48ll << 0;
    QTest::newRow("far more queued") << 4096ll << 0;
}

void TestUploadPacer::countsWhatThePortStillHolds() {
    QFETCH(qint64, queuedBytes);
    QFETCH(int, taken);
    std::int64_t now = kStart;
    UploadPacer pacer(9600, 2, kMessages, [&now] { return now; });
    pacer.start();
    now += 1'000'000'000;
    QCOMPARE(pacer.take(queuedBytes), taken);
}

// A message longer than the cap still goes once the line is idle.
void TestUploadPacer::slowRateStillSends() {
    std::int64_t now = kStart;
    UploadPacer pacer(300, 2, 3, [&now] { return now; });
    pacer.start();
    QCOMPARE(pacer.take(), 1);
    QCOMPARE(pacer.take(), 0);
    now += pacer.nsUntilNext();
    QCOMPARE(pacer.take(), 1);
}

void TestUploadPacer::wholeUploadStaysOnSchedule() {
    std::int64_t now = kStart;
    UploadPacer pacer(115200, 2, kMessages, [&now] { return now; });
    pacer.start();
    int total = 0;
    for (int tick = 0; tick < 10'000 && !pacer.done(); ++tick) {
        const int taken = pacer.take();
        QVERIFY2(taken * pacer.messageNs() <= UploadPacer::kMaxQueuedNs,
                 "more than 50 ms of messages at once");
        total += taken;
        QVERIFY2(total <= pacer.dueWithin(now - kStart), "ahead of the line");
        now += 1'000'000 + (tick % 7) * 300'000; // an uneven timer
    }
    QVERIFY(pacer.done());
    QCOMPARE(total, kMessages);
    QCOMPARE(pacer.sent(), kMessages);
    QCOMPARE(pacer.take(), 0);
    QCOMPARE(qint64(pacer.nsUntilNext()), 0ll);
}

QTEST_APPLESS_MAIN(TestUploadPacer)
#include "tst_uploadpacer.moc"
