#pragma once

#include <QList>
#include <QString>

// Reads a Speak text: speech output tags, the text the balloon shows, and the words handed to
// the engine (clock times spelled as people say them).
namespace engine::speech {

enum class VoiceCharacter
{
    Normal,
    Monotone,
    Whisper
};
// How symbols and digits are read (\Ctx\): Address reads digit runs one by one, Email reads
// "@" and "." as words.
enum class ReadingContext
{
    Unknown,
    Address,
    Email
};

// The tags in force for a stretch of text; a value of -1 leaves the voice's own setting.
struct SpeechStyle
{
    int volume = -1; // 0 (silence) .. 65535 (full)
    int pitchHz = -1;
    int speedWpm = -1;
    VoiceCharacter character = VoiceCharacter::Normal;
    ReadingContext context = ReadingContext::Unknown;
    bool emphasis = false;

    friend bool operator==(const SpeechStyle& a, const SpeechStyle& b)
    {
        return a.volume == b.volume && a.pitchHz == b.pitchHz && a.speedWpm == b.speedWpm &&
               a.character == b.character && a.context == b.context && a.emphasis == b.emphasis;
    }
    friend bool operator!=(const SpeechStyle& a, const SpeechStyle& b) { return !(a == b); }
};

struct TextRange
{
    int start = 0;
    int length = 0;
};

struct SpokenMark
{
    int spokenOffset = 0; // index into SpeechPiece::spoken where the mark sits
    qint64 id = 0;
};

// A stretch spoken in one style, or a pause.
struct SpeechPiece
{
    QString spoken;
    // For each QChar of `spoken`, the part of the shown text it stands for.
    QList<TextRange> shownOf;
    SpeechStyle style;
    int pauseMs = 0; // a pause piece has no spoken text
    QList<SpokenMark> marks;
};

struct SpeechScript
{
    QString shownText;
    QList<SpeechPiece> pieces;
    // The text was \Lst\: say the previous text again.
    bool repeatLast = false;
};

// Longest pause a \Pau\ tag gets, in ms; a typo must not silence the character for hours.
inline constexpr int MAX_PAUSE_MS = 30'000;

// Never fails: a malformed tag with a known name is dropped, anything else that is not a tag
// is kept as text. With `spellClockTimes` (English voices), H:MM and HH:MM are spoken as
// "one o'clock", "nine oh five", "twelve thirty", while the shown text keeps the digits.
[[nodiscard]] SpeechScript parseSpeechText(const QString& text, bool spellClockTimes);

} // namespace engine::speech
