// The process-wide random generator, the clock seam and the frame pacing arithmetic.
#include "base/Clock.h"
#include "app/FramePacer.h"
#include "app/LoopGuard.h"
#include "base/Random.h"

#include <QtTest>

class TestSeams : public QObject
{
    Q_OBJECT
private slots:
    // Seed 1 gives the classic C library's first draws.
    void seedOneGivesTheClassicSequence()
    {
        Random::seed(1);
        QCOMPARE(Random::draw(), 41);
        QCOMPARE(Random::draw(), 18467);
        QCOMPARE(Random::draw(), 6334);
        QCOMPARE(Random::draw(), 26500);
    }

    // Draws stay in 0..32767 and reseeding replays the same sequence.
    void drawsStayInRangeAndReplay()
    {
        Random::seed(123456789u);
        QVector<int> first;
        for (int i = 0; i < 10000; ++i) {
            const int v = Random::draw();
            QVERIFY(v >= 0 && v <= Random::Max);
            first << v;
        }
        Random::seed(123456789u);
        for (int i = 0; i < 10000; ++i)
            QCOMPARE(Random::draw(), first[i]);
    }

    // Seeds that differ only above 16 bits still give different sequences.
    void highSeedBitsMatter()
    {
        Random::seed(0x00010000u);
        const int a = Random::draw();
        Random::seed(0x00020000u);
        QVERIFY(Random::draw() != a);
    }

    // The loop's code becomes 0 or 1; an exception escaping it prints "エラー" and exits with 1.
    void loopGuardTurnsAnEscapeIntoFailure()
    {
        QCOMPARE(LoopGuard::run([] { return 0; }), 0);
        QCOMPARE(LoopGuard::run([] { return 3; }), 1);
        QTest::ignoreMessage(QtDebugMsg, "エラー");
        QCOMPARE(LoopGuard::run([]() -> int { throw std::runtime_error("lost"); }), 1);
    }

    // A set time source is what every reader of the wall clock sees, until reset.
    void clockSeamOverridesAndResets()
    {
        Clock::setTimeSource([] { return QTime(12, 34, 56, 789); });
        QCOMPARE(Clock::currentTime(), QTime(12, 34, 56, 789));
        qint64 now = 1000;
        Clock::setMonotonicSource([&now] { return now; });
        QCOMPARE(Clock::monotonicMs(), 1000);
        now = 2500;
        QCOMPARE(Clock::monotonicMs(), 2500);
        Clock::reset();
        QVERIFY(qAbs(Clock::currentTime().msecsTo(QTime::currentTime())) < 1000);
        const qint64 a = Clock::monotonicMs();
        QVERIFY(Clock::monotonicMs() >= a);
    }

    // Frames land on multiples of 1000/60 ms, so one second holds exactly 60 of them.
    void pacerHitsSixtyFramesASecond()
    {
        qint64 t = 0;
        int frames = 0;
        while (true) {
            t += FramePacer::delayToNextFrame(t);
            if (t > 1000)
                break;
            ++frames;
        }
        QCOMPARE(frames, 60);
        QCOMPARE(FramePacer::delayToNextFrame(0), 17);
        QCOMPARE(FramePacer::delayToNextFrame(16), 1);
        QCOMPARE(FramePacer::delayToNextFrame(50), 17);
        QCOMPARE(FramePacer::delayToNextFrame(17), 17);
    }
};

QTEST_GUILESS_MAIN(TestSeams)
#include "tst_seams.moc"
