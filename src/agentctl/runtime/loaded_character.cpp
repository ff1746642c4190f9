#include "agentctl/runtime/loaded_character.h"

#include <algorithm>
#include <cmath>

#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QScreen>

#include "agentctl/runtime/animation_player.h"
#include "agentctl/runtime/balloon_window.h"
#include "agentctl/runtime/character_window.h"
#include "agentctl/runtime/frame_compositor.h"
#include "agentctl/runtime/frame_timer.h"
#include "agentctl/runtime/speech_session.h"
#include "agentctl/speech/speech_text.h"

namespace agentctl::runtime {

namespace {

// A shown character glides to a MoveTo target at this speed, in steps of MOVE_STEP_MS.
constexpr int MOVE_PIXELS_PER_SECOND = 600;
constexpr int MOVE_STEP_MS = 20;
// The pause between idle animations, in ms.
constexpr int IDLE_GAP_MIN_MS = 2000;
constexpr int IDLE_GAP_MAX_MS = 5000;
// Idle animations of one level before the character drifts into the next.
constexpr int IDLE_PLAYS_PER_LEVEL = 6;
// Reading speed of speech without a voice, when the character names none.
constexpr int DEFAULT_WORDS_PER_MINUTE = 160;

int initialBalloonStyle(quint32 flags)
{
    int style = 0;
    if (flags & acs::FLAG_BALLOON_ENABLED) {
        style |= BALLOON_ON;
    }
    if (flags & acs::FLAG_BALLOON_SIZE_TO_TEXT) {
        style |= BALLOON_SIZE_TO_TEXT;
    }
    if (!(flags & acs::FLAG_BALLOON_NO_AUTO_HIDE)) {
        style |= BALLOON_AUTO_HIDE;
    }
    if (!(flags & acs::FLAG_BALLOON_NO_AUTO_PACE)) {
        style |= BALLOON_AUTO_PACE;
    }
    return style;
}

int animationIndex(const acs::CharacterFile& file, QStringView name)
{
    const acs::Animation* animation = file.findAnimation(name);
    return animation ? int(animation - file.animations.constData()) : -1;
}

} // namespace

LoadedCharacter::LoadedCharacter(acs::CharacterFile character, CharacterServices services)
    : m_file(std::move(character)), m_services(std::move(services)),
      m_compositor(std::make_unique<FrameCompositor>(m_file)),
      m_player(std::make_unique<AnimationPlayer>(m_file, *m_services.timers, m_services.seed)),
      m_window(std::make_unique<CharacterWindow>(QSize(m_file.info.width, m_file.info.height))),
      m_stepTimer(m_services.timers->createTimer([this] { step(); })),
      m_idleTimer(m_services.timers->createTimer([this] { playIdle(); })),
      m_moveTimer(m_services.timers->createTimer([this] { moveStep(); })),
      m_random(m_services.seed ^ 0x9E3779B9u),
      m_balloonStyle(initialBalloonStyle(m_file.info.flags))
{
    connect(m_player.get(), &AnimationPlayer::frameShown, this, &LoadedCharacter::onFrameShown);
    connect(m_player.get(), &AnimationPlayer::finished, this,
            &LoadedCharacter::onAnimationFinished);
    connect(m_window.get(), &CharacterWindow::clicked, this, &LoadedCharacter::onClicked);
    connect(m_window.get(), &CharacterWindow::doubleClicked, this, &LoadedCharacter::doubleClicked);
    connect(m_window.get(), &CharacterWindow::dragged, this, &LoadedCharacter::keepBalloonBeside);
    if (m_services.synthesizer) {
        connect(m_services.synthesizer, &speech::Synthesizer::ready, this,
                &LoadedCharacter::onUtteranceReady);
    }
    if (m_services.mixer) {
        connect(m_services.mixer, &speech::AudioMixer::finished, this,
                [this](speech::SourceId id) { m_sounds.remove(id); });
    }
}

LoadedCharacter::~LoadedCharacter()
{
    unload();
}

int LoadedCharacter::LanguageID() const
{
    ensureLoaded();
    return m_languageId;
}

void LoadedCharacter::setLanguageID(int languageId)
{
    ensureLoaded();
    m_languageId = languageId;
}

bool LoadedCharacter::AutoPopupMenu() const
{
    ensureLoaded();
    return m_autoPopupMenu;
}

void LoadedCharacter::setAutoPopupMenu(bool on)
{
    ensureLoaded();
    m_autoPopupMenu = on;
}

int LoadedCharacter::BalloonStyle() const
{
    ensureLoaded();
    return m_balloonStyle;
}

void LoadedCharacter::setBalloonStyle(int style)
{
    ensureLoaded();
    m_balloonStyle = style;
}

AgentRequest LoadedCharacter::MoveTo(int x, int y)
{
    Request request;
    request.kind = Kind::MoveTo;
    request.target = QPoint(x, y);
    return enqueue(std::move(request));
}

AgentRequest LoadedCharacter::Show()
{
    Request request;
    request.kind = Kind::Show;
    return enqueue(std::move(request));
}

AgentRequest LoadedCharacter::Play(const QString& animation)
{
    ensureLoaded();
    Request request;
    request.kind = Kind::Play;
    request.animation = animationIndex(m_file, animation);
    if (request.animation < 0) {
        throw AgentError(
            QStringLiteral("The character has no animation \"%1\"").arg(animation).toStdString());
    }
    return enqueue(std::move(request));
}

AgentRequest LoadedCharacter::Speak(const QString& text)
{
    ensureLoaded();
    Request request;
    request.kind = Kind::Speak;
    request.text = text;
    request.balloon = (m_balloonStyle & BALLOON_ON) != 0;
    if (m_services.synthesizer) {
        // Synthesis starts now, so the voice is ready by the time the request's turn comes.
        speech::VoiceSettings voice;
        voice.languageId = m_languageId;
        if (const auto& info = m_file.info.voice) {
            voice.gender = info->gender;
            voice.pitchHz = info->pitch == 0xFFFF ? 0 : info->pitch;
            voice.speedWpm = info->speed == 0xFFFFFFFF ? 0 : int(std::min(info->speed, 1000u));
        }
        request.ticket = m_services.synthesizer->request(text, voice);
    }
    return enqueue(std::move(request));
}

void LoadedCharacter::Stop()
{
    ensureLoaded();
    for (const auto& dropped : std::as_const(m_queue)) {
        if (dropped.ticket != 0) {
            m_services.synthesizer->cancel(dropped.ticket);
            m_utterances.remove(dropped.ticket);
        }
    }
    m_queue.clear();
    if (!m_current) {
        return;
    }
    m_stopping = true;
    if (m_current->kind == Kind::Speak) {
        endSpeech();
        hideBalloon();
    }
    if (m_current->kind == Kind::MoveTo) {
        m_moveTimer->stop();
    }
    m_busy = false;
    if (m_animating) {
        m_player->exit();
    }
    kick();
}

AgentRequest LoadedCharacter::Hide()
{
    Request request;
    request.kind = Kind::Hide;
    return enqueue(std::move(request));
}

void LoadedCharacter::unload()
{
    if (m_unloaded) {
        return;
    }
    m_unloaded = true;
    m_player->halt();
    m_stepTimer->stop();
    m_idleTimer->stop();
    m_moveTimer->stop();
    if (m_session) {
        m_session->stop();
    }
    if (m_services.synthesizer) {
        if (m_current && m_current->ticket != 0) {
            m_services.synthesizer->cancel(m_current->ticket);
        }
        for (const auto& request : std::as_const(m_queue)) {
            if (request.ticket != 0) {
                m_services.synthesizer->cancel(request.ticket);
            }
        }
    }
    if (m_services.mixer) {
        for (const auto id : std::as_const(m_sounds)) {
            m_services.mixer->stop(id);
        }
    }
    m_sounds.clear();
    m_queue.clear();
    m_current.reset();
    m_window->hide();
    if (m_balloon) {
        m_balloon->hide();
    }
    if (m_menu) {
        m_menu->hide();
    }
}

AgentRequest LoadedCharacter::enqueue(Request request)
{
    ensureLoaded();
    request.id = m_services.nextRequestId();
    m_queue.append(std::move(request));
    kick();
    return AgentRequest{m_queue.last().id};
}

void LoadedCharacter::ensureLoaded() const
{
    if (m_unloaded) {
        throw AgentError("The character has been unloaded");
    }
}

void LoadedCharacter::kick()
{
    if (!m_unloaded) {
        m_stepTimer->start(0);
    }
}

void LoadedCharacter::step()
{
    if (m_current) {
        if (!m_animating && !m_busy) {
            complete();
        }
        return;
    }
    if (m_player->isPlaying()) {
        // An idle or return animation makes way for the next request by its exit path.
        if (!m_queue.isEmpty()) {
            m_player->exit();
        }
        return;
    }
    if (m_pendingReturn >= 0 && playsReturnBefore(m_queue.isEmpty() ? nullptr : &m_queue.first())) {
        const int returnAnimation = std::exchange(m_pendingReturn, -1);
        playAnimation(returnAnimation);
        return;
    }
    if (m_queue.isEmpty()) {
        scheduleIdle();
        return;
    }
    m_idleTimer->stop();
    m_idlePlays = 0;
    m_current = m_queue.takeFirst();
    begin(*m_current);
}

bool LoadedCharacter::playsReturnBefore(const Request* next)
{
    if (!m_window->isVisible()) {
        m_pendingReturn = -1;
        return false;
    }
    if (next && next->kind == Kind::Play && next->animation == m_pendingReturn) {
        // The caller plays the return itself.
        m_pendingReturn = -1;
        return false;
    }
    // Speech goes on the pose the animation ended in when that pose has mouths.
    return !(next && next->kind == Kind::Speak && frameHasMouths());
}

void LoadedCharacter::begin(const Request& request)
{
    m_animating = false;
    m_busy = false;
    m_stopping = false;
    switch (request.kind) {
    case Kind::Show: {
        if (m_window->isVisible()) {
            break;
        }
        const int showing = stateAnimation(QStringLiteral("SHOWING"));
        if (showing >= 0) {
            m_animating = true;
            playAnimation(showing);
        } else if (m_player->animation() < 0 && !m_file.animations.isEmpty()) {
            // No way to appear animated: stand in the first pose there is.
            playAnimation(0);
            m_player->halt();
        }
        m_window->show();
        break;
    }
    case Kind::Hide: {
        hideBalloon();
        if (!m_window->isVisible()) {
            break;
        }
        const int hiding = stateAnimation(QStringLiteral("HIDING"));
        if (hiding >= 0) {
            m_animating = true;
            playAnimation(hiding);
        } else {
            m_window->hide();
        }
        break;
    }
    case Kind::Play:
        m_animating = true;
        playAnimation(request.animation);
        break;
    case Kind::Speak: {
        m_busy = true;
        const int speaking = frameHasMouths() ? -1 : stateAnimation(QStringLiteral("SPEAKING"));
        if (speaking >= 0) {
            m_animating = true;
            playAnimation(speaking);
        } else {
            beginVoice();
        }
        break;
    }
    case Kind::MoveTo:
        beginMove(request.target);
        break;
    }
    kick();
}

void LoadedCharacter::complete()
{
    const int id = m_current->id;
    m_current.reset();
    m_stopping = false;
    QPointer<LoadedCharacter> self(this);
    emit requestComplete(id);
    // The receiver may have unloaded this character.
    if (self && !m_unloaded) {
        kick();
    }
}

int LoadedCharacter::stateAnimation(const QString& state)
{
    const acs::State* found = m_file.info.findState(state);
    if (!found) {
        return -1;
    }
    QList<int> candidates;
    for (const auto& name : found->animations) {
        const int index = animationIndex(m_file, name);
        if (index >= 0) {
            candidates.append(index);
        }
    }
    if (candidates.isEmpty()) {
        return -1;
    }
    std::uniform_int_distribution<qsizetype> pick(0, candidates.size() - 1);
    return candidates.at(pick(m_random));
}

void LoadedCharacter::playAnimation(int index)
{
    m_mouth.reset();
    if (index == m_pendingReturn) {
        m_pendingReturn = -1;
    }
    m_player->play(index);
}

void LoadedCharacter::onFrameShown(int animation, int frame)
{
    render();
    playFrameSound(m_file.animations.at(animation).frames.at(frame).soundIndex);
}

void LoadedCharacter::onAnimationFinished(int animation)
{
    const auto& finished = m_file.animations.at(animation);
    if (finished.transition == acs::Transition::ReturnAnimation) {
        const int back = animationIndex(m_file, finished.returnAnimation);
        m_pendingReturn = back == animation ? -1 : back;
    }
    if (m_current && m_animating) {
        m_animating = false;
        switch (m_current->kind) {
        case Kind::Hide:
            // Even an interrupted hide leaves the character hidden: it was on its way out.
            m_window->hide();
            m_pendingReturn = -1;
            break;
        case Kind::Speak:
            if (!m_stopping) {
                beginVoice();
            }
            break;
        default:
            break;
        }
    }
    kick();
}

void LoadedCharacter::render()
{
    const int animation = m_player->animation();
    const int frame = m_player->frame();
    if (animation < 0 || frame < 0) {
        return;
    }
    const auto& shown = m_file.animations.at(animation).frames.at(frame);
    m_window->showFrame(m_compositor->compose(shown, m_mouth), m_compositor->shape(shown, m_mouth));
}

void LoadedCharacter::playFrameSound(quint16 soundIndex)
{
    if (!m_services.mixer || soundIndex >= m_file.sounds.size() || !m_window->isVisible()) {
        return;
    }
    auto cached = m_soundCache.constFind(soundIndex);
    if (cached == m_soundCache.cend()) {
        // A sound that does not decode stays silent, and is not decoded again.
        const speech::DecodedWav wav = speech::decodeWav(m_file.sounds.at(soundIndex));
        cached = m_soundCache.insert(soundIndex, wav.ok() ? wav.pcm : speech::Pcm());
    }
    if (!cached->isEmpty()) {
        m_sounds.insert(m_services.mixer->play(*cached));
    }
}

bool LoadedCharacter::frameHasMouths() const
{
    const int animation = m_player->animation();
    const int frame = m_player->frame();
    return animation >= 0 && frame >= 0 &&
           !m_file.animations.at(animation).frames.at(frame).overlays.isEmpty();
}

void LoadedCharacter::beginVoice()
{
    const Request& request = *m_current;
    if (m_services.synthesizer && m_services.mixer && request.ticket != 0) {
        const auto ready = m_utterances.constFind(request.ticket);
        if (ready == m_utterances.cend()) {
            m_waitingForVoice = true;
            return;
        }
        speech::Utterance utterance = *ready;
        m_utterances.erase(ready);
        if (utterance.error.isEmpty()) {
            startSession(std::make_unique<SpeechSession>(*m_services.timers, *m_services.mixer,
                                                         std::move(utterance)));
            return;
        }
        startSession(std::make_unique<SpeechSession>(*m_services.timers, utterance.shownText,
                                                     DEFAULT_WORDS_PER_MINUTE));
        return;
    }
    int wordsPerMinute = DEFAULT_WORDS_PER_MINUTE;
    if (const auto& voice = m_file.info.voice; voice && voice->speed != 0xFFFFFFFF) {
        wordsPerMinute = int(std::min(voice->speed, 1000u));
    }
    const QString shown = speech::parseSpeechText(request.text, false).shownText;
    startSession(std::make_unique<SpeechSession>(*m_services.timers, shown, wordsPerMinute));
}

void LoadedCharacter::startSession(std::unique_ptr<SpeechSession> session)
{
    m_session = std::move(session);
    connect(m_session.get(), &SpeechSession::shownChanged, this, &LoadedCharacter::onShownChanged);
    connect(m_session.get(), &SpeechSession::mouthChanged, this, [this](speech::Mouth mouth) {
        m_mouth = acs::MouthShape(int(mouth));
        render();
    });
    connect(m_session.get(), &SpeechSession::finished, this, [this] {
        endSpeech();
        if (m_balloonStyle & BALLOON_AUTO_HIDE) {
            hideBalloon();
        }
        m_busy = false;
        kick();
    });
    if (!(m_balloonStyle & BALLOON_AUTO_PACE)) {
        onShownChanged(int(m_session->shownText().size()));
    }
    m_session->start();
}

void LoadedCharacter::onUtteranceReady(const speech::Utterance& utterance)
{
    if (m_unloaded) {
        return;
    }
    const bool ours = (m_current && m_current->ticket == utterance.ticket) ||
                      std::any_of(m_queue.cbegin(), m_queue.cend(), [&](const Request& request) {
                          return request.ticket == utterance.ticket;
                      });
    if (!ours) {
        return;
    }
    m_utterances.insert(utterance.ticket, utterance);
    if (m_waitingForVoice && m_current && m_current->ticket == utterance.ticket) {
        m_waitingForVoice = false;
        beginVoice();
    }
}

void LoadedCharacter::onShownChanged(int length)
{
    if (!m_current || !m_current->balloon || !m_window->isVisible() || !m_session) {
        return;
    }
    if (!(m_balloonStyle & BALLOON_AUTO_PACE) && length < m_session->shownText().size()) {
        return;
    }
    if (!m_balloon) {
        m_balloon =
            std::make_unique<BalloonWindow>(m_file.info.balloon.value_or(acs::BalloonInfo()),
                                            m_balloonStyle & BALLOON_SIZE_TO_TEXT);
    }
    m_balloon->showWords(m_session->shownText().left(length).simplified().split(QLatin1Char(' '),
                                                                                Qt::SkipEmptyParts),
                         m_window->geometry(), screenGeometry());
}

void LoadedCharacter::keepBalloonBeside(QPoint characterTopLeft)
{
    if (m_balloon && m_balloon->isVisible()) {
        m_balloon->place(QRect(characterTopLeft, m_window->size()), screenGeometry());
    }
}

QRect LoadedCharacter::screenGeometry() const
{
    const QScreen* screen =
        m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : m_window->geometry();
}

void LoadedCharacter::endSpeech()
{
    m_waitingForVoice = false;
    // The session is kept until the next Speak replaces it: it may be the sender of the
    // signal that got us here.
    if (m_session) {
        m_session->stop();
    }
    if (m_current && m_current->ticket != 0 && m_services.synthesizer) {
        m_services.synthesizer->cancel(m_current->ticket);
        m_utterances.remove(m_current->ticket);
    }
    if (m_mouth) {
        m_mouth.reset();
        render();
    }
}

void LoadedCharacter::hideBalloon()
{
    if (m_balloon) {
        m_balloon->hide();
    }
}

void LoadedCharacter::onClicked(int button, int modifiers, QPoint globalPosition)
{
    QPointer<LoadedCharacter> self(this);
    emit clicked(button, modifiers, globalPosition);
    // The receiver may have unloaded the character or switched the menu off.
    if (!self || m_unloaded || button != Qt::RightButton || !m_autoPopupMenu) {
        return;
    }
    if (!m_menu) {
        m_menu = std::make_unique<QMenu>();
        m_menu->addAction(QStringLiteral("&Hide"), this, [this] {
            if (!m_unloaded) {
                Hide();
            }
        });
    }
    m_menu->popup(globalPosition);
}

void LoadedCharacter::beginMove(QPoint target)
{
    const QPoint from = m_window->pos();
    const QPoint delta = target - from;
    if (!m_window->isVisible() || delta.isNull()) {
        m_window->move(target);
        return;
    }
    const QString state = std::abs(delta.x()) >= std::abs(delta.y())
                              ? QString::fromLatin1(delta.x() < 0 ? "MOVINGLEFT" : "MOVINGRIGHT")
                              : QString::fromLatin1(delta.y() < 0 ? "MOVINGUP" : "MOVINGDOWN");
    const int moving = stateAnimation(state);
    if (moving >= 0) {
        m_animating = true;
        playAnimation(moving);
    }
    const double distance = std::hypot(delta.x(), delta.y());
    m_moveFrom = from;
    m_moveTo = target;
    m_moveStep = 0;
    m_moveSteps =
        std::max(1, int(std::ceil(distance * 1000 / MOVE_PIXELS_PER_SECOND / MOVE_STEP_MS)));
    m_busy = true;
    m_moveTimer->start(MOVE_STEP_MS);
}

void LoadedCharacter::moveStep()
{
    ++m_moveStep;
    const QPoint delta = m_moveTo - m_moveFrom;
    const QPoint position = m_moveFrom + delta * m_moveStep / m_moveSteps;
    m_window->move(position);
    keepBalloonBeside(position);
    if (m_moveStep < m_moveSteps) {
        m_moveTimer->start(MOVE_STEP_MS);
        return;
    }
    m_busy = false;
    if (m_animating) {
        m_player->exit();
    }
    kick();
}

void LoadedCharacter::scheduleIdle()
{
    if (m_window->isVisible() && !m_idleTimer->isActive()) {
        std::uniform_int_distribution<int> gap(IDLE_GAP_MIN_MS, IDLE_GAP_MAX_MS);
        m_idleTimer->start(gap(m_random));
    }
}

void LoadedCharacter::playIdle()
{
    const int level = std::min(3, 1 + m_idlePlays / IDLE_PLAYS_PER_LEVEL);
    ++m_idlePlays;
    // A character may leave out the deeper levels; it then idles at the last one it has.
    for (int tried = level; tried >= 1; --tried) {
        const int idle = stateAnimation(QStringLiteral("IDLINGLEVEL%1").arg(tried));
        if (idle >= 0) {
            playAnimation(idle);
            return;
        }
    }
}

} // namespace agentctl::runtime
