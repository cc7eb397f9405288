// The sound manager through its recording test double: what is loaded from the archive, which
// sound each call plays, the silence rules, looping, and the WAV data that reaches the device.
#include "GameHarness.h"
#include "SoundRecorder.h"
#include "base/ArchiveWords.h"
#include "sound/Archive.h"
#include "sound/ArchiveBuffer.h"
#include "sound/ArrivingDevice.h"
#include "sound/AudioSet.h"
#include "sound/FadeDevice.h"
#include "sound/LoopDevice.h"
#include "sound/SinkOutput.h"
#include "sound/SoundBytes.h"
#include "sound/SoundSettings.h"
#include "sound/WavData.h"
#include "sound/WaveFile.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QSettings>
#include <QtEndian>
#include <QtTest>
#include <iterator>

#include <sys/stat.h>

#include <cstring>
#include <thread>

namespace
{

QStringList messages;

void collect(QtMsgType, const QMessageLogContext &, const QString &text)
{
    messages << text;
}

QByteArray wav(const QByteArray &samples, int rate = 44100, int channels = 2, int bits = 16,
               const QByteArray &extraChunk = QByteArray())
{
    QByteArray fmt;
    QDataStream f(&fmt, QIODevice::WriteOnly);
    f.setByteOrder(QDataStream::LittleEndian);
    f << quint16(1) << quint16(channels) << quint32(rate) << quint32(rate * channels * bits / 8)
      << quint16(channels * bits / 8) << quint16(bits);
    QByteArray body = "WAVE";
    auto chunk = [&](const QByteArray &id, const QByteArray &payload) {
        QByteArray c = id;
        QDataStream s(&c, QIODevice::Append);
        s.setByteOrder(QDataStream::LittleEndian);
        s << quint32(payload.size());
        c += payload;
        if (payload.size() % 2)
            c += '\0';
        return c;
    };
    body += chunk("fmt ", fmt);
    if (!extraChunk.isEmpty())
        body += chunk("LIST", extraChunk);
    body += chunk("data", samples);
    QByteArray out = "RIFF";
    QDataStream s(&out, QIODevice::Append);
    s.setByteOrder(QDataStream::LittleEndian);
    s << quint32(body.size());
    return out + body;
}

// An entry named "!name" is stored as name with a broken seal: it cannot be read.
bool pack(const QString &path, const QVector<QPair<QByteArray, QByteArray>> &entries)
{
    Archive::keyCipher(AudioSet::ArchiveKey);
    Archive archive;
    for (const auto &e : entries) {
        ArchiveBuffer b;
        b.loadBytes(reinterpret_cast<const unsigned char *>(e.second.constData()),
                    std::size_t(e.second.size()));
        const bool broken = e.first.startsWith('!');
        b.setEntryName(e.first.mid(broken ? 1 : 0).toStdString());
        b.compress();
        b.seal();
        if (broken)
            b.bytes()[0] ^= 0xff;
        archive.addEntry(b);
    }
    const ArchiveWords words = ArchiveWords::draw();
    return archive.write(path.toStdString(), Archive::Enciphered | Archive::Compressed, words.a,
                         words.b);
}

QByteArray pattern(int n, char seed)
{
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = char(seed + i * 7);
    return b;
}

// A stream with nothing to give at this moment, though more is to come.
class DryDevice : public QIODevice
{
public:
    bool isSequential() const override { return true; }
    bool atEnd() const override { return false; }

protected:
    qint64 readData(char *, qint64) override { return 0; }
    qint64 writeData(const char *, qint64) override { return -1; }
};

// The loudest sample of a channel's samples, 0..1.
double peakOf(const QByteArray &samples, QAudioFormat::SampleFormat format)
{
    double peak = 0;
    if (format == QAudioFormat::UInt8) {
        for (char c : samples)
            peak = qMax(peak, std::abs(int(quint8(c)) - 128) / 128.0);
        return peak;
    }
    for (qsizetype i = 0; i + 1 < samples.size(); i += 2)
        peak =
            qMax(peak, std::abs(int(qFromLittleEndian<qint16>(samples.constData() + i))) / 32768.0);
    return peak;
}

// Every sound operation and the one event it must cause.
const struct {
    const char *name;
    // A plain function, not a pointer to member: an -O1 sanitizer build of GCC 12 called the
    // first row's member for every row of such a table.
    void (*call)(AudioSet *);
    const char *event;
} Calls[] = {
    {"playBgm1", [](AudioSet *a) { a->playBgm1(); }, "play bgm1"},
    {"stopBgm1", [](AudioSet *a) { a->stopBgm1(); }, "stop bgm1"},
    {"playBgm2", [](AudioSet *a) { a->playBgm2(); }, "play bgm2"},
    {"stopBgm2", [](AudioSet *a) { a->stopBgm2(); }, "stop bgm2"},
    {"playBgm3", [](AudioSet *a) { a->playBgm3(); }, "play bgm3"},
    {"stopBgm3", [](AudioSet *a) { a->stopBgm3(); }, "stop bgm3"},
    {"playWin", [](AudioSet *a) { a->playWin(); }, "play win"},
    {"playLose", [](AudioSet *a) { a->playLose(); }, "play lose"},
    {"playMove", [](AudioSet *a) { a->playMove(); }, "play samegame24"},
    {"playMiss", [](AudioSet *a) { a->playMiss(); }, "play miss"},
    {"playDraw", [](AudioSet *a) { a->playDraw(); }, "play draw"},
    {"playSamegame24", [](AudioSet *a) { a->playSamegame24(); }, "play samegame24"},
    {"playSamegame5Over", [](AudioSet *a) { a->playSamegame5Over(); }, "play samegame5Over"},
    {"playSamegameOtetsuki", [](AudioSet *a) { a->playSamegameOtetsuki(); },
     "play samegameOtetsuki"}};
} // namespace

class TestAudioSet : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;
    std::shared_ptr<SoundRecorder> recorder;

    // The sounds decode behind the caller; unless told otherwise this waits for all of them.
    AudioSet *create(const QString &archive, bool finish = true)
    {
        AudioSet::destroyInstance();
        recorder = std::make_shared<SoundRecorder>();
        messages.clear();
        qInstallMessageHandler(collect);
        AudioSet::createInstance(recorder, archive);
        if (finish)
            AudioSet::getInstance()->finishLoading();
        qInstallMessageHandler(nullptr);
        return AudioSet::getInstance();
    }

    AudioSet *createFromGame() { return create(QStringLiteral(TOVIRA_GAME_DIR "/Tovira.fka")); }

private slots:
    void cleanup() { AudioSet::destroyInstance(); }

    // The game's own archive fills all fourteen sounds, each with its row's output format.
    void theBuiltArchiveFillsEverySoundInItsFormat()
    {
        AudioSet *audio = createFromGame();
        QVERIFY(audio);
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join("; ")));
        struct Row {
            const char *member;
            int rate;
            int channels;
            QAudioFormat::SampleFormat f;
            bool loop;
        };
        const Row rows[] = {
            {"bgm1", 44100, 2, QAudioFormat::Int16, true},
            {"bgm2", 44100, 2, QAudioFormat::Int16, true},
            {"bgm3", 44100, 2, QAudioFormat::Int16, true},
            {"win", 22050, 1, QAudioFormat::Int16, false},
            {"lose", 44100, 2, QAudioFormat::Int16, false},
            {"draw", 44100, 2, QAudioFormat::Int16, false},
            {"samegame24", 44100, 2, QAudioFormat::Int16, false},
            {"samegame5Over", 44100, 1, QAudioFormat::Int16, false},
            {"samegameOtetsuki", 44100, 1, QAudioFormat::Int16, false},
            {"miss", 44100, 2, QAudioFormat::Int16, false},
            {"extra3", 22050, 1, QAudioFormat::Int16, false},
            {"extra4", 22050, 1, QAudioFormat::UInt8, false},
            {"extra5", 22050, 1, QAudioFormat::Int16, false},
            {"extra6", 22050, 1, QAudioFormat::Int16, false},
        };
        for (const Row &r : rows) {
            const WaveFile *wave = audio->sound(r.member);
            QVERIFY2(wave, r.member);
            QVERIFY2(wave->hasOutput(), r.member);
            QVERIFY2(!wave->samples().isEmpty(), r.member);
            QCOMPARE(wave->isLooping(), r.loop);
            const QAudioFormat f = recorder->format(r.member);
            QCOMPARE(f.sampleRate(), r.rate);
            QCOMPARE(f.channelCount(), r.channels);
            QCOMPARE(f.sampleFormat(), r.f);
            // Our WAV files say the same as the table.
            const QByteArray head = wave->bytes().left(36);
            QCOMPARE(qFromLittleEndian<quint16>(head.constData() + 22), quint16(r.channels));
            QCOMPARE(qFromLittleEndian<quint32>(head.constData() + 24), quint32(r.rate));
            QCOMPARE(qFromLittleEndian<quint16>(head.constData() + 34),
                     quint16(r.f == QAudioFormat::UInt8 ? 8 : 16));
        }
        // The music loops last between one and two minutes.
        for (const char *m : {"bgm1", "bgm2", "bgm3"}) {
            const double seconds = audio->sound(m)->samples().size() / (44100.0 * 4);
            QVERIFY2(seconds >= 60 && seconds <= 120, m);
        }
    }

    // Each operation starts the one sound it names.
    void eachCallPlaysItsOwnSound_data()
    {
        QTest::addColumn<int>("row");
        for (int r = 0; r < int(std::size(Calls)); ++r)
            QTest::newRow(Calls[r].name) << r;
    }
    void eachCallPlaysItsOwnSound()
    {
        QFETCH(int, row);
        AudioSet *a = createFromGame();
        Calls[row].call(a);
        QCOMPARE(recorder->events(), QStringList{QString::fromLatin1(Calls[row].event)});
    }

    // While silent, the move and miss sounds stay quiet; the others never do.
    void silenceHoldsBackOnlyMoveAndMiss()
    {
        AudioSet *a = createFromGame();
        QVERIFY(!a->isSilent());
        a->setSilent(true);
        a->playMove();
        a->playMiss();
        QVERIFY(recorder->events().isEmpty());
        a->playSamegame24();
        a->playWin();
        a->playBgm1();
        QCOMPARE(recorder->events(), (QStringList{"play samegame24", "play win", "play bgm1"}));
        a->setSilent(false);
        a->playMove();
        a->playMiss();
        QCOMPARE(recorder->playCount("samegame24"), 2);
        QCOMPARE(recorder->playCount("miss"), 1);
    }

    // Every effect plays the recording the table gives it; over a button the silent flag holds
    // back the game effects, never the menu's and dialogs' own sounds.
    void eachEffectPlaysItsRecordingUnlessSilent_data()
    {
        QTest::addColumn<int>("effect");
        for (int e = 0; e < int(AudioSet::Effect::Count); ++e)
            QTest::newRow(qPrintable(AudioSet::memberOf(AudioSet::Effect(e)))) << e;
    }
    void eachEffectPlaysItsRecordingUnlessSilent()
    {
        QFETCH(int, effect);
        const auto e = AudioSet::Effect(effect);
        const std::shared_ptr<SoundRecorder> every = GameHarness::recordEverySound();
        QVERIFY(every);
        AudioSet *a = AudioSet::getInstance();
        a->play(e);
        QCOMPARE(every->events(), QStringList{"play " + AudioSet::memberOf(e)});
        every->clear();
        a->setSilent(true);
        a->play(e);
        QCOMPARE(every->events().isEmpty(), AudioSet::isGameEffect(e));
    }

    // The recordings of the effects are known by their whole names: "se/round_win.wav" does not
    // take the place of "win.wav". An archive without them plays what it has and says nothing.
    void effectRecordingsAreMatchedByTheirWholeName()
    {
        const QString path = dir.filePath("effects.fka");
        QVERIFY(pack(path, {{"win.wav", pattern(400, 1)},
                            {"se/round_win.wav", wav(pattern(800, 2), 48000, 2)},
                            {"draw.wav", pattern(400, 3)}}));
        AudioSet *a = create(path);
        QCOMPARE(a->sound("win")->bytes(), pattern(400, 1));
        const QAudioFormat f = recorder->format("round_win");
        QCOMPARE(f.sampleRate(), 48000); // from the recording's own header
        QCOMPARE(f.channelCount(), 2);
        a->play(AudioSet::Effect::JankenDraw);
        a->play(AudioSet::Effect::JankenHand);
        a->play(AudioSet::Effect::Click);
        QCOMPARE(recorder->events(), QStringList{"play draw"});
        // Only the four extras, beyond the three entries, are missed aloud.
        QCOMPARE(messages.filter("readError").size(), 4);
    }

    // The player's volumes reach the channels at once, music and effects apart; mute silences
    // all and gives the volumes back. They are kept in the settings file between runs.
    void volumesAndMuteReachEveryChannelAndPersist()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        AudioSet *a = createFromGame();
        a->setMusicVolume(0.3);
        a->setEffectsVolume(0.6);
        QCOMPARE(recorder->volume("bgm2"), 0.3);
        QCOMPARE(recorder->volume("win"), 0.6);
        a->setMuted(true);
        QCOMPARE(recorder->volume("bgm2"), 0.0);
        QCOMPARE(recorder->volume("extra4"), 0.0);
        // An effect while muted is not held back to sound when the mute ends.
        recorder->clear();
        a->playWin();
        a->playBgm2();
        QCOMPARE(recorder->events(), QStringList{"play bgm2"});
        SoundSettings::save(*a);
        QVERIFY(SoundSettings::filePath().startsWith(config.path()));
        a = createFromGame();
        QVERIFY(!a->isMuted());
        SoundSettings::load(*a);
        QVERIFY(a->isMuted());
        QCOMPARE(a->musicVolume(), 0.3);
        QCOMPARE(a->effectsVolume(), 0.6);
        a->setMuted(false);
        QCOMPARE(recorder->volume("bgm1"), 0.3);
        QCOMPARE(recorder->volume("lose"), 0.6);
        qunsetenv("XDG_CONFIG_HOME");
    }

    // Playing again restarts from the start; the listener first hears the data chunk, not the
    // RIFF header.
    void playingAgainRestartsFromTheFirstSample()
    {
        AudioSet *a = createFromGame();
        const QByteArray first = a->sound("win")->samples().left(SoundRecorder::HeadLength);
        QVERIFY(!a->sound("win")->bytes().startsWith(first));
        a->playWin();
        QCOMPARE(recorder->firstBytes("win"), first);
        a->playWin();
        QCOMPARE(recorder->events(), (QStringList{"play win", "stop win", "play win"}));
        QCOMPARE(recorder->firstBytes("win"), first);
        a->playBgm2();
        a->stopBgm2();
        a->playBgm2();
        QCOMPARE(recorder->firstBytes("bgm2"), a->sound("bgm2")->samples().left(16));
    }

    // Music runs on at the end of its data; an effect stops there.
    void musicLoopsAndEffectsEndWhenTheirDataRunsOut()
    {
        AudioSet *a = createFromGame();
        a->playBgm1();
        a->playLose();
        recorder->clear();
        recorder->finish("bgm1");
        recorder->finish("lose");
        QCOMPARE(recorder->events(), (QStringList{"stop bgm1", "play bgm1", "stop lose"}));
        QVERIFY(a->sound("bgm1")->isPlaying());
        QVERIFY(!a->sound("lose")->isPlaying());
        // A stopped track does not come back on its own.
        a->stopBgm1();
        recorder->clear();
        recorder->finish("bgm1");
        QVERIFY(recorder->events().isEmpty());
    }

    // The loudest effect over the loudest music stays 1 dB under full scale at the gains the
    // channels play at, and the music keeps most of its level.
    void theMixOfMusicAndAnEffectLeavesHeadroom()
    {
        AudioSet *a = createFromGame();
        double music = 0, effect = 0;
        // The designed sounds and every effect the games name.
        QStringList members = {"bgm1",       "bgm2",          "bgm3",
                               "win",        "lose",          "draw",
                               "samegame24", "samegame5Over", "samegameOtetsuki",
                               "miss",       "extra3",        "extra4",
                               "extra5",     "extra6"};
        for (int e = 0; e < int(AudioSet::Effect::Count); ++e)
            members << AudioSet::memberOf(AudioSet::Effect(e));
        members.removeDuplicates();
        for (const QString &name : members) {
            const WaveFile *sound = a->sound(name);
            QVERIFY2(sound, qPrintable(name));
            const double peak = peakOf(sound->samples(), recorder->format(name).sampleFormat()) *
                                recorder->gain(name);
            const bool loops = sound->isLooping();
            (loops ? music : effect) = qMax(loops ? music : effect, peak);
            if (loops)
                QVERIFY2(recorder->gain(name) >= 0.7, qPrintable(name));
        }
        QVERIFY2(music + effect <= std::pow(10.0, -1.0 / 20),
                 qPrintable(QString("music %1 + effect %2").arg(music).arg(effect)));
    }

    // A channel lost with its audio server is made anew at the next play; a loop that was
    // playing comes back by itself, a stopped one does not.
    void aLostChannelIsMadeAnewAtTheNextPlay()
    {
        AudioSet *a = createFromGame();
        a->playWin();
        recorder->fail("win");
        a->playWin();
        QCOMPARE(recorder->madeCount("win"), 2);
        QCOMPARE(recorder->events(), (QStringList{"play win", "play win"}));
        a->playBgm1();
        recorder->fail("bgm1");
        QTRY_COMPARE(recorder->playCount("bgm1"), 2);
        QCOMPARE(recorder->madeCount("bgm1"), 2);
        a->stopBgm1();
        recorder->fail("bgm1");
        a->playMiss();
        QTRY_COMPARE(recorder->playCount("miss"), 1);
        QTest::qWait(WaveFile::RetryMilliseconds + 200);
        QCOMPARE(recorder->playCount("bgm1"), 2);
    }

    // A sink that goes idle while its sound still has data (an underrun) is told that data is
    // there, so a sink that stopped asking after an empty read plays on; the sound is not ended.
    void anUnderrunWakesTheSinkInsteadOfEndingTheSound()
    {
        QAudioFormat f;
        f.setSampleRate(44100);
        f.setChannelCount(2);
        f.setSampleFormat(QAudioFormat::Int16);
        SinkOutput output(QAudioDevice(), f, "t");
        LoopDevice loop(pattern(4000, 1));
        loop.open(QIODevice::ReadOnly);
        output.start(&loop);
        QSignalSpy woken(output.findChild<FadeDevice *>(), &QIODevice::readyRead);
        QSignalSpy states(&output, &AudioOutput::stateChanged);
        emit output.findChild<QAudioSink *>()->stateChanged(QAudio::IdleState);
        QCOMPARE(woken.count(), 1);
        QVERIFY(!states.contains(QVariantList{QVariant::fromValue(QAudio::IdleState)}));
    }

    // Entries are matched by the file name inside their name; folders and unknown names do not
    // matter, a later match replaces an earlier one, and missing positions 3..6 say "readError".
    void entriesAreMatchedByNameAndExtrasByPosition()
    {
        const QString path = dir.filePath("small.fka");
        QVERIFY(pack(path, {{"deep/folder/BGM_2.wav", wav(pattern(400, 1))},
                            {"readme.txt", "not a sound"},
                            {"x/BGM_2.wav.bak", wav(pattern(800, 2))},
                            {"fourth.raw", pattern(10, 3)}}));
        AudioSet *a = create(path);
        QCOMPARE(messages.count("readError"), 3);
        QVERIFY(!messages.contains("readArchiveError: Tovira.fka"));
        QCOMPARE(a->sound("bgm2")->samples(), pattern(800, 2));
        QVERIFY(!a->sound("bgm1"));
        QVERIFY(!a->sound("win"));
        QCOMPARE(a->sound("extra3")->bytes(), pattern(10, 3));
        for (const char *m : {"extra4", "extra5", "extra6"}) {
            QVERIFY(a->sound(m));
            QVERIFY(a->sound(m)->bytes().isEmpty());
        }
        // Sounds missing from the archive are quiet, not fatal; empty ones are never started.
        a->playWin();
        a->playBgm1();
        a->stopBgm3();
        QVERIFY(recorder->events().isEmpty());
    }

    // A hostile archive costs only the sounds it damages: an entry cut short by the end of the
    // file, a damaged entry that a later one of its name replaces (it is never decoded), and a
    // FIFO in place of the archive (unreadable, and start-up does not wait for a writer).
    void hostileArchivesSpareTheOtherSounds_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<QString>("playable");
        QTest::newRow("one byte short") << "short" << QStringList{"readError"} << "bgm1";
        QTest::newRow("replaced damaged entry") << "replaced" << QStringList() << "miss";
        QTest::newRow("fifo") << "fifo"
                              << QStringList{"readArchiveError: Tovira.fka", "readError",
                                             "readError", "readError", "readError"}
                              << QString();
    }
    void hostileArchivesSpareTheOtherSounds()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, said);
        QFETCH(QString, playable);
        const QString path = dir.filePath(kind + ".fka");
        QFile::remove(path);
        if (kind == "short") {
            // Cut one byte into the last designed sound: the effects after it go as well.
            QVERIFY(QFile::copy(TOVIRA_GAME_DIR "/Tovira.fka", path));
            Archive game;
            QVERIFY(game.open(path.toStdString(), "pelorn_quives"));
            qint64 end = QFileInfo(path).size();
            for (int i = game.entryCount() - 1; i >= 0 && game.entryName(i) != "se/miss.wav"; --i)
                end -= game.entry(i)->storedSize;
            QVERIFY(QFile::resize(path, end - 1));
        } else if (kind == "replaced") {
            QVERIFY(pack(path, {{"!a/miss.wav", wav(pattern(400, 1))},
                                {"b/miss.wav", wav(pattern(400, 2))},
                                {"c", "3"},
                                {"d", "4"},
                                {"e", "5"},
                                {"f", "6"},
                                {"g", "7"}}));
        } else {
            QCOMPARE(mkfifo(path.toLocal8Bit().constData(), 0600), 0);
        }
        AudioSet *a = create(path);
        QCOMPARE(messages, said);
        if (!playable.isEmpty()) {
            QVERIFY(!a->sound(playable)->samples().isEmpty());
            recorder->clear();
            a->playBgm1();
            a->playMiss();
            QCOMPARE(recorder->playCount(playable), 1);
        }
    }

    // Without an archive the game still starts: one message for the archive, one per extra.
    void aMissingArchiveLeavesEverythingQuiet()
    {
        AudioSet *a = create(dir.filePath("absent.fka"));
        QVERIFY(a);
        QCOMPARE(messages.count("readArchiveError: Tovira.fka"), 1);
        QCOMPARE(messages.count("readError"), 4);
        QCOMPARE(messages.size(), 5);
        a->playBgm1();
        a->playWin();
        a->playMove();
        a->stopBgm2();
        QVERIFY(recorder->events().isEmpty());
    }

    // Creating the manager returns before the sounds are decoded: a sound asked for at once
    // waits for its own decoding and plays its first samples, and the message of a damaged entry
    // comes afterwards, from the event loop, in loading order.
    void soundsDecodeBehindTheCaller()
    {
        const QString path = dir.filePath("behind.fka");
        QVERIFY(pack(path, {{"BGM_1.wav", wav(pattern(4000, 1))},
                            {"!BGM_2.wav", wav(pattern(400, 2))},
                            {"BGM_3.wav", wav(pattern(4000, 3))}}));
        AudioSet::destroyInstance();
        recorder = std::make_shared<SoundRecorder>();
        messages.clear();
        qInstallMessageHandler(collect);
        AudioSet::createInstance(recorder, path);
        AudioSet *a = AudioSet::getInstance();
        a->playBgm3();
        a->setSilent(true);
        a->playMiss();
        const QStringList early = messages;
        QTRY_COMPARE(messages, (QStringList{"readError", "readError", "readError", "readError",
                                            "readError"}));
        qInstallMessageHandler(nullptr);
        QVERIFY2(early.isEmpty(), qPrintable(early.join("; ")));
        QCOMPARE(recorder->events(), QStringList{"play bgm3"});
        QCOMPARE(recorder->firstBytes("bgm3"), pattern(4000, 3).left(SoundRecorder::HeadLength));
        QVERIFY(a->sound("bgm2")->bytes().isEmpty());
        QCOMPARE(a->sound("bgm1")->samples(), pattern(4000, 1));
    }

    // There is only ever one instance.
    void aSecondInstanceIsRefused()
    {
        createFromGame();
        AudioSet *first = AudioSet::getInstance();
        QVERIFY(!AudioSet::createInstance(std::make_shared<SoundRecorder>(), "x"));
        QCOMPARE(AudioSet::getInstance(), first);
        AudioSet::destroyInstance();
        QVERIFY(!AudioSet::getInstance());
    }

    // The loop device hands out its samples over and over with no gap at the seam.
    void theLoopDeviceWrapsWithoutAGap()
    {
        const QByteArray samples = pattern(1000, 5);
        LoopDevice device(samples);
        QVERIFY(device.open(QIODevice::ReadOnly));
        const QByteArray got = device.read(2500);
        QCOMPARE(got, samples + samples + samples.left(500));
        QVERIFY(!device.atEnd());
        device.close();
        device.open(QIODevice::ReadOnly);
        QCOMPARE(device.read(10), samples.left(10));
    }

    // Music fades in after a start and out after a stop over a few milliseconds, then is silent;
    // what lies between passes untouched, so a loop's wrap stays seamless.
    void theFadeDeviceFadesOnlyAtStartAndStop()
    {
        QAudioFormat f;
        f.setSampleRate(8000); // 40 frames of fade
        f.setChannelCount(2);
        f.setSampleFormat(QAudioFormat::Int16);
        QByteArray level;
        for (int i = 0; i < 200; ++i)
            level += QByteArray::fromHex("1027f0d8"); // 10000 left, -10000 right
        LoopDevice loop(level);
        loop.open(QIODevice::ReadOnly);
        FadeDevice fade;
        QVERIFY(fade.start(&loop, f));
        bool mirrored = true; // both channels get the same gain
        auto frames = [&](int count) {
            const QByteArray got = fade.read(count * 4);
            QList<int> left;
            for (int i = 0; i + 3 < got.size(); i += 4) {
                left << qFromLittleEndian<qint16>(got.constData() + i);
                mirrored &= qFromLittleEndian<qint16>(got.constData() + i + 2) == -left.last();
            }
            return left;
        };
        const QList<int> in = frames(300);
        QCOMPARE(in.size(), 300);
        QCOMPARE(in[0], 0);
        QCOMPARE(in[20], 5000);
        for (int i = 1; i < 40; ++i)
            QVERIFY(in[i] > in[i - 1]);
        QVERIFY(std::all_of(in.begin() + 40, in.end(), [](int v) { return v == 10000; }));
        fade.fadeOut();
        loop.close();
        const QList<int> out = frames(100);
        QCOMPARE(out.size(), 100);
        QCOMPARE(out[0], 9750);
        for (int i = 1; i < 40; ++i)
            QVERIFY(out[i] < out[i - 1]);
        QVERIFY(std::all_of(out.begin() + 39, out.end(), [](int v) { return v == 0; }));
        QVERIFY(!fade.atEnd());
        QVERIFY(mirrored);
        // A source with nothing at this moment gives silence, never an empty read; at a gain,
        // everything past the fade-in is scaled.
        DryDevice dry;
        dry.open(QIODevice::ReadOnly);
        QVERIFY(fade.start(&dry, f));
        QCOMPARE(fade.read(8), QByteArray(8, '\0'));
        QVERIFY(fade.start(&loop, f, 0.5));
        loop.open(QIODevice::ReadOnly);
        QCOMPARE(frames(100).last(), 5000);
        loop.close();
        // Silence leads in when asked for, then the fade-in begins.
        QVERIFY(fade.start(&loop, f, 1.0, 5, 0, 10)); // 80 frames
        loop.open(QIODevice::ReadOnly);
        QList<int> led = frames(80);
        led += frames(21);
        QVERIFY(std::all_of(led.begin(), led.begin() + 81, [](int v) { return v == 0; }));
        QCOMPARE(led[100], 5000);
        loop.close();
        // A sound that runs out is followed by the silence asked for, then the device ends.
        QBuffer shortSound;
        shortSound.setData(level.left(40));
        shortSound.open(QIODevice::ReadOnly);
        QVERIFY(fade.start(&shortSound, f, 1.0, 1, 10)); // 80 frames of silence
        QList<int> ended = frames(100);
        ended += frames(100);
        QCOMPARE(ended.size(), 90);
        QCOMPARE(ended[9], 10000);
        QVERIFY(std::all_of(ended.begin() + 10, ended.end(), [](int v) { return v == 0; }));
        QVERIFY(fade.atEnd());
        QCOMPARE(fade.read(4), QByteArray());
        // Unsigned bytes are silent at their middle.
        f.setSampleFormat(QAudioFormat::UInt8);
        QVERIFY(fade.start(&loop, f));
        fade.fadeOut();
        QCOMPARE(fade.read(4), QByteArray(4, char(0x80)));
    }

    // A change of track: the old one fades out over 200 ms while the new one fades in over the
    // same span, so their sum never rises above either track's own level.
    void aCrossfadeOverlapsWithoutGettingLouder()
    {
        QAudioFormat f;
        f.setSampleRate(8000);
        f.setChannelCount(1);
        f.setSampleFormat(QAudioFormat::Int16);
        QByteArray level;
        for (int i = 0; i < 4000; ++i)
            level += QByteArray::fromHex("1027"); // 10000
        LoopDevice oldTrack(level), newTrack(level);
        oldTrack.open(QIODevice::ReadOnly);
        newTrack.open(QIODevice::ReadOnly);
        FadeDevice outgoing, incoming;
        const int fadeMs = AudioSet::CrossfadeMilliseconds;
        QVERIFY(fadeMs >= 150 && fadeMs <= 300);
        QVERIFY(outgoing.start(&oldTrack, f, 1.0, fadeMs));
        outgoing.read(8000); // well past its own fade-in
        outgoing.fadeOut();
        QVERIFY(incoming.start(&newTrack, f, 1.0, fadeMs));
        const int frames = 8000 * 400 / 1000;
        const QByteArray out = outgoing.read(frames * 2), in = incoming.read(frames * 2);
        int overlap = 0;
        for (int i = 0; i < frames; ++i) {
            const int a = qFromLittleEndian<qint16>(out.constData() + 2 * i);
            const int b = qFromLittleEndian<qint16>(in.constData() + 2 * i);
            QVERIFY2(a + b <= 10000, qPrintable(QString("frame %1: %2 + %3").arg(i).arg(a).arg(b)));
            if (a > 0 && b > 0)
                ++overlap;
            if (i > 0 && a > 0)
                QVERIFY(a <= qFromLittleEndian<qint16>(out.constData() + 2 * (i - 1)));
        }
        const int overlapMs = overlap * 1000 / 8000;
        QVERIFY2(overlapMs >= 150 && overlapMs <= 300, qPrintable(QString::number(overlapMs)));
    }

    // Only a well-formed WAV file is cut down to its data chunk; anything else plays whole.
    void onlyTheDataChunkOfAWellFormedWavIsPlayed()
    {
        qsizetype off = 0, len = 0;
        const QByteArray s = pattern(101, 9);
        const QByteArray withList = wav(s, 22050, 1, 16, "INFOsome text");
        QVERIFY(WavData::findSamples(withList, &off, &len));
        QCOMPARE(withList.mid(off, len), s);
        QVERIFY(!WavData::findSamples("RIFF....AVI LIST", &off, &len));
        QVERIFY(!WavData::findSamples(QByteArray(), &off, &len));
        // A data chunk that claims more than the file holds is cut to what is there.
        QByteArray cut = wav(s).left(wav(s).size() - 31);
        QVERIFY(WavData::findSamples(cut, &off, &len));
        QCOMPARE(len, 101 - 31 + 1);
        // A chunk whose size runs past the end hides any data chunk: not well-formed.
        QByteArray broken = wav(s);
        broken[16] = char(0xff);
        broken[17] = char(0xff);
        QVERIFY(!WavData::findSamples(broken, &off, &len));

        const std::vector<unsigned char> raw = {1, 2, 3, 4, 5};
        WaveFile plain(raw);
        QCOMPARE(plain.samples(), QByteArray("\x01\x02\x03\x04\x05"));
    }

    // A sound still decoding plays as soon as its header is there; a read never hands out
    // bytes that have not arrived (it waits for them), and a sound whose decoding then fails
    // falls silent and empty.
    void aSoundStillDecodingPlaysWhatHasArrived()
    {
        const QByteArray samples = pattern(40000, 4);
        const QByteArray bytes = wav(samples);
        const qsizetype header = bytes.size() - samples.size();
        for (const bool fails : {false, true}) {
            auto block = std::make_shared<SoundBytes>(std::size_t(bytes.size()));
            // Not yet decoded: anything but the sound.
            std::memset(block->data(), 'X', block->capacity());
            const qsizetype front = header + 100;
            std::memcpy(block->data(), bytes.constData(), size_t(front));
            block->arrived(std::size_t(front));
            WaveFile wave{std::shared_ptr<const SoundBytes>(block)};
            SoundRecorder rec;
            QAudioFormat f;
            f.setSampleRate(44100);
            f.setChannelCount(2);
            f.setSampleFormat(QAudioFormat::Int16);
            wave.createOutput(f, rec, "t");
            wave.play();
            QCOMPARE(rec.events(), QStringList{"play t"});
            QCOMPARE(rec.firstBytes("t"), samples.left(SoundRecorder::HeadLength));
            QVERIFY(!block->isFinished());

            QBuffer source;
            source.setData(wave.samples());
            source.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
            ArrivingDevice gate(&source, block, header, samples.size());
            gate.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
            std::thread decoder([&] {
                QThread::msleep(50);
                std::memcpy(block->data() + front, bytes.constData() + front,
                            size_t(bytes.size() - front) / 2);
                block->arrived(std::size_t(front + (bytes.size() - front) / 2));
                QThread::msleep(50);
                if (!fails) {
                    std::memcpy(block->data(), bytes.constData(), size_t(bytes.size()));
                    block->arrived(std::size_t(bytes.size()));
                }
                block->finish(!fails);
            });
            QByteArray got;
            while (got.size() < samples.size()) {
                const QByteArray part = gate.read(1000);
                if (part.isEmpty() && block->isFinished())
                    break;
                got += part;
            }
            decoder.join();
            // Only arrived bytes, and past the first front only once more had arrived.
            QVERIFY(samples.startsWith(got));
            if (fails)
                QVERIFY(got.size() > 100 && got.size() <= (bytes.size() - front) / 2 + 100);
            else
                QCOMPARE(got.size(), samples.size());
            wave.settle();
            QCOMPARE(wave.samples().isEmpty(), fails);
            rec.clear();
            wave.play();
            QCOMPARE(rec.playCount("t"), fails ? 0 : 1);
        }
    }

    // A track is cut to whole frames, so that its loop never drifts out of step.
    void samplesAreCutToWholeFrames()
    {
        const QByteArray bytes = wav(pattern(1003, 1));
        WaveFile wave(std::vector<unsigned char>(bytes.begin(), bytes.end()));
        SoundRecorder rec;
        QAudioFormat f;
        f.setSampleRate(44100);
        f.setChannelCount(2);
        f.setSampleFormat(QAudioFormat::Int16);
        wave.createOutput(f, rec, "t");
        QCOMPARE(wave.samples().size(), 1000);
    }
};

QTEST_GUILESS_MAIN(TestAudioSet)
#include "tst_audioset.moc"
