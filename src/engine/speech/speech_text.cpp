#include "engine/speech/speech_text.h"

#include <optional>

#include <QRegularExpression>
#include <QStringList>

namespace engine::speech {

namespace {

const char* const SMALL_NUMBERS[] = {"zero",    "one",     "two",       "three",    "four",
                                     "five",    "six",     "seven",     "eight",    "nine",
                                     "ten",     "eleven",  "twelve",    "thirteen", "fourteen",
                                     "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
const char* const TENS[] = {"", "", "twenty", "thirty", "forty", "fifty"};

// 0..59 in words.
QString numberWords(int n)
{
    if (n < 20)
        return QString::fromLatin1(SMALL_NUMBERS[n]);
    QString words = QString::fromLatin1(TENS[n / 10]);
    if (n % 10 != 0)
        words += QLatin1Char(' ') + QString::fromLatin1(SMALL_NUMBERS[n % 10]);
    return words;
}

// The engine reads "9:05" as "nine zero five" and "1:00" as "one zero zero"; people say
// "nine oh five" and "one o'clock". Hour 0 is read on the 12-hour clock.
QString clockWords(int hour, int minute)
{
    const QString h = numberWords(hour == 0 ? 12 : hour);
    if (minute == 0)
        return h + QStringLiteral(" o'clock");
    if (minute < 10)
        return h + QStringLiteral(" oh ") + QString::fromLatin1(SMALL_NUMBERS[minute]);
    return h + QLatin1Char(' ') + numberWords(minute);
}

// Collects pieces; a new piece starts whenever the style changes or after a pause.
class ScriptBuilder final
{
public:
    explicit ScriptBuilder(bool spellClockTimes) : m_spellClockTimes(spellClockTimes) {}

    void setStyle(const SpeechStyle& style) { m_style = style; }
    void emphasizeNextWord() { m_emphasizeNext = true; }

    void addText(QStringView text)
    {
        if (!m_emphasizeNext) {
            addPlain(text);
            return;
        }
        qsizetype wordStart = 0;
        while (wordStart < text.size() && text[wordStart].isSpace())
            ++wordStart;
        if (wordStart == text.size()) {
            addPlain(text);
            return;
        }
        qsizetype wordEnd = wordStart;
        while (wordEnd < text.size() && !text[wordEnd].isSpace())
            ++wordEnd;
        addPlain(text.first(wordStart));
        const SpeechStyle plain = m_style;
        m_style.emphasis = true;
        addPlain(text.sliced(wordStart, wordEnd - wordStart));
        m_style = plain;
        m_emphasizeNext = false;
        addPlain(text.sliced(wordEnd));
    }

    void addMap(const QString& spoken, const QString& shown)
    {
        const TextRange range{int(m_script.shownText.size()), int(shown.size())};
        m_script.shownText += shown;
        appendSpoken(spoken, range);
    }

    void addPause(int ms)
    {
        if (ms == 0)
            return;
        SpeechPiece pause;
        pause.pauseMs = ms;
        m_script.pieces.append(pause);
    }

    void addMark(qint64 id)
    {
        SpeechPiece& piece = current();
        piece.marks.append({int(piece.spoken.size()), id});
    }

    SpeechScript take()
    {
        m_script.pieces.removeIf([](const SpeechPiece& p) {
            return p.pauseMs == 0 && p.spoken.isEmpty() && p.marks.isEmpty();
        });
        return std::move(m_script);
    }

private:
    SpeechPiece& current()
    {
        if (m_script.pieces.isEmpty() || m_script.pieces.last().pauseMs > 0 ||
            m_script.pieces.last().style != m_style) {
            SpeechPiece piece;
            piece.style = m_style;
            m_script.pieces.append(piece);
        }
        return m_script.pieces.last();
    }

    void appendSpoken(QStringView spoken, TextRange shown)
    {
        SpeechPiece& piece = current();
        piece.spoken += spoken;
        for (qsizetype i = 0; i < spoken.size(); ++i)
            piece.shownOf.append(shown);
    }

    void addPlain(QStringView text)
    {
        static const QRegularExpression clockTime(
            QStringLiteral(R"((?<![\d:])([01]?\d|2[0-3]):([0-5]\d)(?![\d:]))"));
        qsizetype done = 0;
        if (m_spellClockTimes) {
            auto it = clockTime.globalMatch(text);
            while (it.hasNext()) {
                const QRegularExpressionMatch m = it.next();
                addLiteral(text.sliced(done, m.capturedStart() - done));
                silenceCommaBeforeTime();
                const TextRange range{int(m_script.shownText.size()), int(m.capturedLength())};
                m_script.shownText += m.capturedView();
                appendSpoken(clockWords(m.capturedView(1).toInt(), m.capturedView(2).toInt()),
                             range);
                done = m.capturedEnd();
            }
        }
        addLiteral(text.sliced(done));
    }

    // "The time is, 4:33." is said as one phrase: at the comma flite starts a new one, and an
    // hour that opens a phrase is often misheard ("four" as "three"; slt, 40 random times:
    // 36 heard right with the comma, 40 without). The balloon keeps the comma.
    void silenceCommaBeforeTime()
    {
        SpeechPiece& piece = current();
        qsizetype i = piece.spoken.size() - 1;
        while (i >= 0 && piece.spoken[i].isSpace())
            --i;
        if (i >= 0 && piece.spoken[i] == QLatin1Char(','))
            piece.spoken[i] = QLatin1Char(' ');
    }

    void addLiteral(QStringView text)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            const TextRange range{int(m_script.shownText.size()), 1};
            m_script.shownText += c;
            const bool wordFollows = i + 1 < text.size() && text[i + 1].isLetterOrNumber();
            if (m_style.context == ReadingContext::Address && c.isDigit())
                appendSpoken(QString(c) + QLatin1Char(' '), range);
            else if (m_style.context == ReadingContext::Email && c == QLatin1Char('@'))
                appendSpoken(u" at ", range);
            else if (m_style.context == ReadingContext::Email && c == QLatin1Char('.') &&
                     wordFollows)
                appendSpoken(u" dot ", range);
            else
                appendSpoken(QStringView(&c, 1), range);
        }
    }

    bool m_spellClockTimes;
    bool m_emphasizeNext = false;
    SpeechStyle m_style;
    SpeechScript m_script;
};

// Digits only, no sign or blanks: "\Vol=+5\" is malformed.
std::optional<qint64> parseNumber(QStringView value)
{
    if (value.isEmpty() || value.size() > 18)
        return std::nullopt;
    for (const QChar c : value) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    return value.toLongLong();
}

// "a"="b"... with "" standing for a quote inside a string.
std::optional<QStringList> parseQuoted(QStringView value)
{
    QStringList strings;
    qsizetype i = 0;
    while (true) {
        if (i >= value.size() || value[i] != QLatin1Char('"'))
            return std::nullopt;
        ++i;
        QString s;
        while (true) {
            if (i >= value.size())
                return std::nullopt;
            if (value[i] == QLatin1Char('"')) {
                if (i + 1 < value.size() && value[i + 1] == QLatin1Char('"')) {
                    s += QLatin1Char('"');
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            s += value[i++];
        }
        strings.append(s);
        if (i == value.size())
            return strings;
        if (value[i] != QLatin1Char('='))
            return std::nullopt;
        ++i;
    }
}

std::optional<QString> parseOneOf(QStringView value, const QStringList& allowed)
{
    const std::optional<QStringList> strings = parseQuoted(value);
    if (!strings || strings->size() != 1)
        return std::nullopt;
    for (const QString& a : allowed) {
        if (a.compare(strings->first(), Qt::CaseInsensitive) == 0)
            return a;
    }
    return std::nullopt;
}

// The backslash that closes a tag opened at `from - 1`; quoted values may hold backslashes.
qsizetype findTagEnd(const QString& text, qsizetype from)
{
    bool quoted = false;
    for (qsizetype i = from; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('"'))
            quoted = !quoted;
        else if (text[i] == QLatin1Char('\\') && !quoted)
            return i;
    }
    return -1;
}

const QStringList TAG_NAMES = {QStringLiteral("Chr"), QStringLiteral("Ctx"), QStringLiteral("Emp"),
                               QStringLiteral("Lst"), QStringLiteral("Map"), QStringLiteral("Mrk"),
                               QStringLiteral("Pau"), QStringLiteral("Pit"), QStringLiteral("Rst"),
                               QStringLiteral("Spd"), QStringLiteral("Vol")};

// Applies a well-formed tag; a malformed one with a known name changes nothing.
void applyTag(const QString& name, std::optional<QStringView> value, ScriptBuilder& builder,
              SpeechStyle& style)
{
    auto is = [&](const char* n) { return name == QLatin1String(n); };
    if (is("Emp") || is("Rst") || is("Lst")) {
        if (value)
            return;
        if (is("Emp"))
            builder.emphasizeNextWord();
        else if (is("Rst"))
            style = SpeechStyle{};
        // \Lst\ only means something as the whole text; anywhere else it is dropped.
        builder.setStyle(style);
        return;
    }
    if (!value)
        return;
    if (is("Chr")) {
        const auto chr = parseOneOf(*value, {QStringLiteral("Normal"), QStringLiteral("Monotone"),
                                             QStringLiteral("Whisper")});
        if (chr)
            style.character = *chr == QLatin1String("Whisper")    ? VoiceCharacter::Whisper
                              : *chr == QLatin1String("Monotone") ? VoiceCharacter::Monotone
                                                                  : VoiceCharacter::Normal;
    } else if (is("Ctx")) {
        const auto ctx = parseOneOf(*value, {QStringLiteral("Address"), QStringLiteral("E-mail"),
                                             QStringLiteral("Unknown")});
        if (ctx)
            style.context = *ctx == QLatin1String("Address")  ? ReadingContext::Address
                            : *ctx == QLatin1String("E-mail") ? ReadingContext::Email
                                                              : ReadingContext::Unknown;
    } else if (is("Map")) {
        const std::optional<QStringList> strings = parseQuoted(*value);
        if (strings && strings->size() == 2)
            builder.addMap(strings->at(0), strings->at(1));
    } else {
        const std::optional<qint64> n = parseNumber(*value);
        if (!n)
            return;
        if (is("Vol"))
            style.volume = int(std::min<qint64>(*n, 65535));
        else if (is("Pit") && *n > 0)
            style.pitchHz = int(std::min<qint64>(*n, 10'000));
        else if (is("Spd") && *n > 0)
            style.speedWpm = int(std::min<qint64>(*n, 10'000));
        else if (is("Pau"))
            builder.addPause(int(std::min<qint64>(*n, MAX_PAUSE_MS)));
        else if (is("Mrk") && *n > 0 && *n < 2147483646)
            builder.addMark(*n);
    }
    builder.setStyle(style);
}

} // namespace

SpeechScript parseSpeechText(const QString& text, bool spellClockTimes)
{
    if (text.trimmed().compare(QLatin1String("\\Lst\\"), Qt::CaseInsensitive) == 0) {
        SpeechScript script;
        script.repeatLast = true;
        return script;
    }

    ScriptBuilder builder(spellClockTimes);
    SpeechStyle style;
    QString literal;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c != QLatin1Char('\\')) {
            literal += c;
            ++i;
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\\')) {
            literal += c;
            i += 2;
            continue;
        }
        const qsizetype end = findTagEnd(text, i + 1);
        const QStringView body = QStringView(text).sliced(i + 1, end < 0 ? 0 : end - i - 1);
        const qsizetype eq = body.indexOf(QLatin1Char('='));
        const QString written = (eq < 0 ? body : body.first(eq)).toString();
        const auto known = std::find_if(TAG_NAMES.begin(), TAG_NAMES.end(), [&](const QString& n) {
            return n.compare(written, Qt::CaseInsensitive) == 0;
        });
        if (end < 0 || known == TAG_NAMES.end()) {
            // Not a tag: the backslash is ordinary text.
            literal += c;
            ++i;
            continue;
        }
        builder.addText(literal);
        literal.clear();
        applyTag(*known, eq < 0 ? std::nullopt : std::optional(body.sliced(eq + 1)), builder,
                 style);
        i = end + 1;
    }
    builder.addText(literal);
    return builder.take();
}

} // namespace engine::speech
