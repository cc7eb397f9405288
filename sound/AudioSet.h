#pragma once
// The process-wide sound manager: reads every sound from the archive once at start-up and offers
// one operation per sound. Exactly one instance, reached through getInstance(). The sounds
// decode on worker threads while the window comes up, the menu music first; each is handed to
// its member on the GUI thread in loading order, with its message. An operation on a sound not
// yet decoded waits for that sound.
#include <QDeadlineTimer>
#include <QString>
#include <memory>
#include <vector>

class AudioOutputFactory;
class QObject;
class SoundDecoder;
class WaveFile;

class AudioSet
{
public:
    static constexpr const char *ArchivePath = "./Tovira.fka";
    static constexpr const char *ArchiveKey = "pelorn_quives";
    // A change of music track: the old one fades out while the new one fades in.
    static constexpr int CrossfadeMilliseconds = 200;

    // What happened in a game, on the menu, in a dialog or a story; one table says which
    // recording each plays and whether the silent flag holds it back (every game effect; not the
    // menu's, dialogs' and stories' own sounds).
    enum class Effect {
        JankenHand,
        JankenRoundWin,
        JankenDraw,
        JankenLost,
        SetsunaSignal,
        SetsunaFalseStart,
        ShotFired,
        TargetHit,
        ShotMissed,
        BonusZone,
        BadTarget,
        ReelStop,
        Pay,
        ReelLost,
        CardPlayed,
        WrongCard,
        CardsDealt,
        LastSeconds,
        RightKey,
        WrongKey,
        TypingBonus,
        BoardCleared,
        GroupRemovedSmall,
        GroupRemovedLarge,
        LoneTile,
        ResultNewBest,
        ResultGentle,
        QuestionShown,
        PageTurned,
        Hover,
        Click,
        Locked,
        Count
    };

    virtual ~AudioSet();

    // Creates the instance on the default audio device from ./Tovira.fka; false when one exists.
    static bool createInstance();
    // Test seam: the instance plays through factory's channels (for example a SoundRecorder)
    // and reads archivePath instead of ./Tovira.fka. False when an instance exists.
    static bool createInstance(std::shared_ptr<AudioOutputFactory> factory,
                               const QString &archivePath);
    // The instance, or null before createInstance.
    static AudioSet *getInstance();
    // Test seam only: drops the instance so a test can create another. The game never calls it.
    static void destroyInstance();
    // Waits until every sound is decoded and in its member, its messages printed. For tests and
    // benchmarks; the game lets the sounds arrive on their own.
    void finishLoading();
    // True until every sound is in its member and its message printed.
    bool isLoading() const { return decoder != nullptr; }

    void playBgm1();
    void stopBgm1();
    void playBgm2();
    void stopBgm2();
    void playBgm3();
    void stopBgm3();
    void playWin();
    void playLose();
    // Slide's tile move and miss sounds stay quiet while silent is set.
    void playMove();
    void playMiss();
    void setSilent(bool value);
    void playDraw();
    void playSamegame24();
    void playSamegame5Over();
    void playSamegameOtetsuki();
    // Plays the recording of what happened; nothing when the archive lacks it, or while silent
    // for a game effect.
    void play(Effect effect);
    // The member name of the recording an effect plays ("hand", "samegame24" ...), for tests.
    static QString memberOf(Effect effect);
    static bool isGameEffect(Effect effect);

    // The player's volumes (0..1) and mute; muting silences everything at once and keeps the
    // volumes for unmuting.
    void setMusicVolume(double value);
    void setEffectsVolume(double value);
    void setMuted(bool value);
    double musicVolume() const { return music; }
    double effectsVolume() const { return effects; }
    bool isMuted() const { return muted; }

    bool isSilent() const { return silent; }

    // The rows of the sound table, in its order; the effects table names its recordings by them.
    enum Row {
        Bgm1,
        Bgm2,
        Bgm3,
        Win,
        Lose,
        Draw,
        Samegame24,
        Samegame5Over,
        SamegameOtetsuki,
        Miss,
        Extra3,
        Extra4,
        Extra5,
        Extra6,
        // The recordings of the effects, matched by their whole name.
        Hand,
        RoundWin,
        Signal,
        FalseStart,
        Shot,
        Hit,
        Bonus,
        BadTarget,
        ReelStop,
        Pay,
        ReelLost,
        Card,
        Wrong,
        Shuffle,
        Tick,
        Key,
        Cleared,
        Best,
        Result,
        Question,
        Hover,
        Click,
        Locked,
        RowCount
    };
    // The loaded sound of a member name ("bgm1" ... "extra6"), or null; for tests.
    const WaveFile *sound(const QString &member) const;

private:
    AudioSet(std::shared_ptr<AudioOutputFactory> factory, const QString &archivePath);
    struct Fill {
        int row;         // of the sound table: the member filled
        std::size_t job; // the decoded entry it is filled from
    };

    void load(const QString &archivePath);
    static unsigned DecodeThreads();
    void fill(std::size_t index);
    void deliver();
    void ensure(int row);
    void play(int row);
    void stop(int row);
    void applyVolume(int row);

    bool silent = false;
    // When the fade of the last music track stopped is heard: the next one comes in then.
    QDeadlineTimer musicFadeHeard{0};
    double music = 1.0;
    double effects = 1.0;
    bool muted = false;
    // One loaded sound per row of the sound table; null until filled, or when missing.
    std::unique_ptr<WaveFile> members[RowCount];

    std::shared_ptr<AudioOutputFactory> factory;
    std::vector<Fill> fills;
    std::size_t delivered = 0;
    bool archiveUnreadable = false; // its message not yet printed
    std::unique_ptr<SoundDecoder> decoder;
    std::unique_ptr<QObject> courier; // lives on the GUI thread; decoded sounds are announced to it
    static AudioSet *instance;
};
