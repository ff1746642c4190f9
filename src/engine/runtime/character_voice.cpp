#include "engine/runtime/character_voice.h"

#include <algorithm>

#include <QGuiApplication>
#include <QScreen>

#include "engine/acs/acs_model.h"
#include "engine/control/agent_control.h"
#include "engine/runtime/balloon_window.h"
#include "engine/runtime/character_services.h"
#include "engine/runtime/character_window.h"
#include "engine/runtime/speech_session.h"
#include "engine/speech/speech_text.h"

namespace engine::runtime {

namespace {

// Reading speed of speech without a voice, when the character names none.
constexpr int DEFAULT_WORDS_PER_MINUTE = 160;
// Speeds the file gives that are no speed at all.
constexpr quint32 NO_SPEED = 0xFFFFFFFF;
constexpr quint16 NO_PITCH = 0xFFFF;
constexpr quint32 MAX_WORDS_PER_MINUTE = 1000;

} // namespace

speech::VoiceSettings voiceSettings(const acs::CharacterFile& character, int languageId)
{
    speech::VoiceSettings voice;
    voice.languageId = languageId;
    if (const auto& info = character.info.voice) {
        voice.gender = info->gender;
        voice.pitchHz = info->pitch == NO_PITCH ? 0 : info->pitch;
        voice.speedWpm =
            info->speed == NO_SPEED ? 0 : int(std::min(info->speed, MAX_WORDS_PER_MINUTE));
    }
    return voice;
}

CharacterVoice::CharacterVoice(const acs::CharacterFile& character,
                               const CharacterServices& services, const CharacterWindow& window)
    : m_character(character), m_mixer(services.mixer), m_synthesizer(services.synthesizer),
      m_timers(*services.timers), m_window(window)
{
    if (m_synthesizer) {
        connect(m_synthesizer, &speech::Synthesizer::ready, this,
                &CharacterVoice::onUtteranceReady);
    }
}

CharacterVoice::~CharacterVoice() = default;

speech::Ticket CharacterVoice::prepare(const QString& text, int languageId)
{
    if (!m_synthesizer) {
        return 0;
    }
    const speech::Ticket ticket =
        m_synthesizer->request(text, voiceSettings(m_character, languageId));
    m_expected.insert(ticket);
    return ticket;
}

void CharacterVoice::cancel(speech::Ticket ticket)
{
    if (ticket != 0) {
        m_synthesizer->cancel(ticket);
        m_expected.remove(ticket);
        m_utterances.remove(ticket);
    }
}

void CharacterVoice::speak(const QString& text, speech::Ticket ticket, int balloonStyle)
{
    m_text = text;
    m_ticket = ticket;
    m_balloonStyle = balloonStyle;
    m_waiting = false;
    if (m_mixer && ticket != 0) {
        const auto ready = m_utterances.constFind(ticket);
        if (ready == m_utterances.cend()) {
            m_waiting = true;
            return;
        }
        speech::Utterance utterance = *ready;
        m_utterances.erase(ready);
        if (utterance.error.isEmpty()) {
            startSession(std::make_unique<SpeechSession>(m_timers, *m_mixer, std::move(utterance)));
            return;
        }
        startSession(std::make_unique<SpeechSession>(m_timers, utterance.shownText,
                                                     DEFAULT_WORDS_PER_MINUTE));
        return;
    }
    int wordsPerMinute = DEFAULT_WORDS_PER_MINUTE;
    if (const auto& voice = m_character.info.voice; voice && voice->speed != NO_SPEED) {
        wordsPerMinute = int(std::min(voice->speed, MAX_WORDS_PER_MINUTE));
    }
    const QString shown = speech::parseSpeechText(text, false).shownText;
    startSession(std::make_unique<SpeechSession>(m_timers, shown, wordsPerMinute));
}

void CharacterVoice::stop()
{
    m_waiting = false;
    // The session is kept until the next Speak replaces it: it may be the sender of the
    // signal that got us here.
    if (m_session) {
        m_session->stop();
    }
    if (m_synthesizer) {
        cancel(std::exchange(m_ticket, 0));
    }
}

void CharacterVoice::hideBalloon()
{
    if (m_balloon) {
        m_balloon->hide();
    }
}

void CharacterVoice::keepBalloonBeside(QPoint characterTopLeft)
{
    if (m_balloon && m_balloon->isVisible()) {
        m_balloon->place(QRect(characterTopLeft, m_window.size()), screenGeometry());
    }
}

void CharacterVoice::onUtteranceReady(const speech::Utterance& utterance)
{
    if (!m_expected.contains(utterance.ticket)) {
        return;
    }
    m_utterances.insert(utterance.ticket, utterance);
    if (m_waiting && m_ticket == utterance.ticket) {
        speak(m_text, m_ticket, m_balloonStyle);
    }
}

void CharacterVoice::startSession(std::unique_ptr<SpeechSession> session)
{
    m_session = std::move(session);
    connect(m_session.get(), &SpeechSession::shownChanged, this, &CharacterVoice::onShownChanged);
    connect(m_session.get(), &SpeechSession::mouthChanged, this, &CharacterVoice::mouthChanged);
    connect(m_session.get(), &SpeechSession::finished, this, [this] {
        stop();
        if (m_balloonStyle & BALLOON_AUTO_HIDE) {
            hideBalloon();
        }
        emit finished();
    });
    if (!(m_balloonStyle & BALLOON_AUTO_PACE)) {
        onShownChanged(int(m_session->shownText().size()));
    }
    m_session->start();
}

void CharacterVoice::onShownChanged(int length)
{
    if (!(m_balloonStyle & BALLOON_ON) || !m_window.isVisible() || !m_session) {
        return;
    }
    if (!(m_balloonStyle & BALLOON_AUTO_PACE) && length < m_session->shownText().size()) {
        return;
    }
    if (!m_balloon) {
        m_balloon =
            std::make_unique<BalloonWindow>(m_character.info.balloon.value_or(acs::BalloonInfo()),
                                            m_balloonStyle & BALLOON_SIZE_TO_TEXT);
    }
    const QStringList words = m_session->shownText().left(length).simplified().split(
        QLatin1Char(' '), Qt::SkipEmptyParts);
    m_balloon->showWords(words, m_window.geometry(), screenGeometry());
}

QRect CharacterVoice::screenGeometry() const
{
    const QScreen* screen =
        m_window.screen() ? m_window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : m_window.geometry();
}

} // namespace engine::runtime
