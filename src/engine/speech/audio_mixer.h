#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include <QByteArrayView>
#include <QList>
#include <QObject>
#include <QString>

class QThread;
class QTimer;

// The character's sound: one mixer plays the frame sounds and the voice together.
//
// Use:
//   AudioMixer mixer;                               // default output, or a silent clock
//   DecodedWav wav = decodeWav(bytesFromTheFile);   // a character's WAVE -> mixer format
//   if (wav.ok()) SourceId s = mixer.play(wav.pcm);
//   connect(&mixer, &AudioMixer::finished, ...);    // fully heard, not merely handed over
//   mixer.positionUs(s);                            // heard as of the last top-up: lip-sync clock
//   mixer.stop(s);                                  // silent within one period, no finished()
//
// The mixer's own thread tops up and drives the output every few ms, so a busy GUI thread (a
// slow paint, a large character being opened) never leaves the device without samples. play(),
// stop(), positionUs() and isPlaying() are called from the thread that owns the mixer (the GUI
// thread) and only take a lock; finished() arrives there through the event loop. Positions come
// from what the output reports as played, never from what was written: Qt's sink reaches Idle
// before its tail is heard, and a source only finishes once the played position has passed its
// last sample.
namespace engine::speech {

// The one format everything is mixed in: the synthesizer's own, so speech needs no conversion.
inline constexpr int MIXER_SAMPLE_RATE = 22050;
// Mixed audio the mixer keeps queued ahead of the listener, in ms. It bounds how long a
// stopped source can still be heard and how late a new source starts.
inline constexpr int MIXER_PERIOD_MS = 20;
// After the last source the output is kept running on silence this long, in ms, before it
// rests. A PulseAudio null sink (and other timer-driven sinks) serves a newly opened stream
// only after its own long period has run out, up to a couple of seconds: keeping the stream
// between close sounds avoids that wait, resting it spares an idle machine.
inline constexpr int MIXER_LINGER_MS = 5000;

// An output that hears nothing of what it was given for this long, in ms, is taken for lost. A
// newly opened stream on a timer-driven sink may wait a couple of seconds for its first period.
inline constexpr int MIXER_STALL_MS = 4000;

// Mono signed 16-bit samples at MIXER_SAMPLE_RATE.
using Pcm = QList<qint16>;
// Identifies one playing source; 0 is never a valid id.
using SourceId = quint64;
// Microseconds from any fixed origin; must never go backwards.
using MonotonicClock = std::function<qint64()>;

struct DecodedWav
{
    Pcm pcm;       // in the mixer format
    QString error; // empty when the file was decoded
    [[nodiscard]] bool ok() const { return error.isEmpty(); }
};

// A RIFF/WAVE blob as stored in a character file (any codec acs::readWave takes), mixed down to
// mono and resampled to the mixer rate. What cannot be read gives an error, never a crash.
[[nodiscard]] DecodedWav decodeWav(QByteArrayView wav);

// Where the mixed samples go. The mixer owns one; tests give it a fake to drive time.
class AudioOutput
{
public:
    virtual ~AudioOutput() = default;

    // Opens the stream; false when there is no device or it cannot be opened.
    [[nodiscard]] virtual bool start() = 0;
    // True once the stream has failed after start (device gone); the mixer then falls back to
    // the silent clock, and calls start() again when the next sound begins.
    [[nodiscard]] virtual bool failed() const = 0;
    // Frames that can be written now without blocking.
    [[nodiscard]] virtual qint64 writableFrames() const = 0;
    // Returns the frames taken (the mixer only offers up to writableFrames()).
    virtual qint64 write(const qint16* frames, qint64 count) = 0;
    // Frames the listener has heard since start(), as the device reports it.
    [[nodiscard]] virtual qint64 playedFrames() const = 0;
    // Nothing is left to play: what was written and not yet heard may be dropped and the stream
    // closed; playedFrames() then counts every written frame as heard. The next write opens
    // the stream again.
    virtual void rest() = 0;
};

// The default audio output (QAudioSink, push mode, MIXER_PERIOD_MS of buffer). Its start()
// fails when QMediaDevices lists no output or the sink cannot be opened. It closes the stream
// while resting.
[[nodiscard]] std::unique_ptr<AudioOutput> makeDeviceOutput();
// An output with no device: frames are dropped and "played" at real speed by the clock, so
// sources still take their true duration and complete.
[[nodiscard]] std::unique_ptr<AudioOutput> makeSilentOutput(MonotonicClock clock);
// The steady clock of the process.
[[nodiscard]] MonotonicClock steadyClock();

// Who calls AudioMixer::pump(): the mixer's own thread on a timer, or the owner (tests, which
// move a fake clock and output and then pump on their own thread, with no thread of the mixer).
enum class Feeding
{
    OwnThread,
    Caller,
};

class AudioMixer final : public QObject
{
    Q_OBJECT

public:
    // The default output; without a device, the silent output on the steady clock.
    explicit AudioMixer(QObject* parent = nullptr);
    // Uses `output` (may be null); when it is null or does not start, fails later, or plays
    // nothing for MIXER_STALL_MS while sounds wait, the mixer goes on with a silent output on
    // `clock`, so that every sound still finishes, and tries `output` again when a sound starts
    // after a quiet spell (a sound server that has restarted is heard again). With
    // Feeding::OwnThread the output is started, used and destroyed on the mixer's thread only, and
    // `clock` is called from both threads.
    AudioMixer(std::unique_ptr<AudioOutput> output, MonotonicClock clock,
               Feeding feeding = Feeding::OwnThread, QObject* parent = nullptr);
    ~AudioMixer() override;

    // Starts `pcm` now, mixed over whatever else plays. An empty source finishes at the next
    // pump(). The samples are shared, not copied (QList's sharing is thread-safe).
    [[nodiscard]] SourceId play(const Pcm& pcm);
    // Removes the source from the mix at once; finished() is not emitted for it.
    void stop(SourceId id);

    // Heard position within the source in microseconds (0 before its first sample is heard), as
    // of the last pump(); -1 for an id that is not playing (finished, stopped or unknown).
    [[nodiscard]] qint64 positionUs(SourceId id) const;
    [[nodiscard]] bool isPlaying(SourceId id) const;
    // True while the mixer runs on the silent clock (no usable device).
    [[nodiscard]] bool isSilent() const;

    // Finishes the sources that have been heard to the end, then tops up the output, or rests
    // it once it has been idle for MIXER_LINGER_MS. Called on the feeding thread only: the
    // mixer's own timer every few ms while the output runs, or with Feeding::Caller the owner.
    void pump();

signals:
    // The source was played to its end and the listener has heard its last sample.
    void finished(engine::speech::SourceId id);

private:
    struct Source
    {
        SourceId id;
        Pcm pcm;
        qint64 startFrame; // output frame at which its first sample was written
    };

    void startOutput();
    void useSilentOutput(qint64 fromFrame);
    // Starts the output that was given up on again; from here on what it plays counts.
    void retryDevice();
    [[nodiscard]] bool deviceStalled(qint64 heard);
    // The rest take m_mutex first.
    [[nodiscard]] qint64 heardFrames() const;
    [[nodiscard]] std::vector<SourceId> takeHeardSources();
    void removeSource(SourceId id);
    void fill();
    void announce(const std::vector<SourceId>& done);

    const Feeding m_feeding;
    MonotonicClock m_clock;
    // Only the feeding thread touches these.
    std::unique_ptr<AudioOutput> m_output;
    std::unique_ptr<AudioOutput> m_device; // the output given up on, while the silent one runs
    qint64 m_progressFrames = -1;          // heard frames when they last moved on
    qint64 m_progressUs = 0;               // and when
    bool m_resting = false;                // the output is closed until a source is added
    bool m_pumping = false;  // a device that runs the event loop must not re-enter pump()
    qint64 m_outputBase = 0; // frames of earlier outputs, so the stream's frame count never resets
    std::unique_ptr<QThread> m_thread; // with Feeding::OwnThread
    QTimer* m_timer = nullptr;         // lives on m_thread

    // Shared between the owner's thread and the feeding thread.
    mutable std::mutex m_mutex;
    std::atomic<bool> m_silent = false;
    qint64 m_idleSinceUs = 0;    // when the last source ended
    bool m_soundStarted = false; // a source was added while none played: the device may return
    qint64 m_written = 0;        // frames written in total
    qint64 m_heard = 0;          // frames heard as of the last pump()
    std::vector<Source> m_sources;
    SourceId m_nextId = 1;
};

} // namespace engine::speech
