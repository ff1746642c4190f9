#pragma once

#include <memory>

#include <QList>
#include <QObject>
#include <QString>

#include "engine/speech/audio_mixer.h"

class QThread;

// The character's voice, synthesized on a worker thread of its own: flite for English, espeak-ng
// for other languages and whenever flite has no voice. Both engines keep process-wide state, so
// one thread does the speaking.
//
// Use (the runtime, for a Speak request):
//   VoiceSettings voice;                  // filled from the character's voice block
//   Ticket t = synth.request(text, voice); // as soon as the Speak is queued; returns at once
//   ... ready(utterance) arrives through a queued signal, in request order ...
//   SourceId s = mixer.play(utterance.pcm);
//   each frame: us = mixer.positionUs(s); sample = us * MIXER_SAMPLE_RATE / 1'000'000;
//     mouth = the last MouthCue at or before `sample`,
//     balloon shows shownText up to the furthest shownEnd of the WordMarks at or before it.
//   `bookmarks` says where each \Mrk\ of the text is reached.
//
// The text may carry speech output tags: \Vol=n\ \Pit=n\ \Spd=n\ \Chr="..."\ \Pau=n\ and
// \Emp\ \Rst\ \Map="spoken"="shown"\ \Mrk=n\ \Ctx="..."\ \Lst\ with \\ for a backslash.
// Their effect lasts to the end of the text; malformed tags are dropped or spoken as text,
// never an error. Clock times (9:05) are spoken as people say them ("nine oh five") in English
// voices while shownText keeps them as written.
namespace engine::speech {

// The character's voice block. Values outside what the engine can do are clamped.
struct VoiceSettings
{
    // As character files store it: 0 neutral, 1 female, 2 male.
    int gender = 0;
    // Baseline pitch in Hz; 0 or less = the engine's default.
    int pitchHz = 0;
    // Words per minute; 0 or less = the engine's default.
    int speedWpm = 0;
    // Windows LANGID; 1033 (0x0409) is US English. Unknown languages fall back to US English.
    int languageId = 1033;
};

// From `sample` on, the balloon shows shownText[shownStart, shownStart + shownLength).
struct WordMark
{
    qint64 sample = 0;
    int shownStart = 0;
    int shownLength = 0;
};

// Seven mouth shapes, as the character file numbers its mouth overlays.
enum class Mouth : int
{
    Closed = 0,
    Wide1,
    Wide2,
    Wide3,
    Wide4,
    Medium,
    Narrow
};

// From `sample` on, the mouth has this shape. Cues are in time order and the last one closes.
struct MouthCue
{
    qint64 sample = 0;
    Mouth mouth = Mouth::Closed;
};

// A \Mrk=n\ reached at `sample`.
struct Bookmark
{
    qint64 sample = 0;
    qint64 id = 0;
};

using Ticket = quint64;

struct Utterance
{
    Ticket ticket = 0;
    // The text as the balloon shows it: tags removed, \Map\'s second text in place of the first.
    QString shownText;
    Pcm pcm; // MIXER_SAMPLE_RATE, mono
    QList<WordMark> words;
    QList<MouthCue> mouth;
    QList<Bookmark> bookmarks;
    // Empty on success. On failure (no speech engine) pcm is empty but shownText is filled,
    // so the caller can still show the balloon.
    QString error;

    [[nodiscard]] qint64 durationUs() const
    {
        return qint64(pcm.size()) * 1'000'000 / MIXER_SAMPLE_RATE;
    }
};

class SynthesisWorker;

class Synthesizer final : public QObject
{
    Q_OBJECT

public:
    // Starts the worker thread; the engine itself is initialised on the first request.
    explicit Synthesizer(QObject* parent = nullptr);
    // Abandons queued requests and joins the worker thread.
    ~Synthesizer() override;

    // Queues `text` for synthesis and returns at once. Results come back in request order.
    [[nodiscard]] Ticket request(const QString& text, const VoiceSettings& voice);
    // ready() will not be emitted for this ticket (a Stop dropped its request).
    void cancel(Ticket ticket);

signals:
    void ready(const engine::speech::Utterance& utterance);

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    QThread* m_thread = nullptr;
    SynthesisWorker* m_worker = nullptr;
    Ticket m_nextTicket = 1;
    Ticket m_lastDone = 0; // the newest ticket whose result came back (delivered or dropped)
};

} // namespace engine::speech

Q_DECLARE_METATYPE(engine::speech::Utterance)
Q_DECLARE_METATYPE(engine::speech::VoiceSettings)
