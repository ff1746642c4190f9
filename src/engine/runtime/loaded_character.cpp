#include "engine/runtime/loaded_character.h"

#include <QMenu>
#include <QPointer>

#include "engine/acs/frame_render.h"
#include "engine/runtime/animation_player.h"
#include "engine/runtime/character_glide.h"
#include "engine/runtime/character_voice.h"
#include "engine/runtime/character_window.h"
#include "engine/runtime/frame_cache.h"
#include "engine/runtime/frame_timer.h"
#include "engine/runtime/idle_cycle.h"
#include "engine/speech/audio_mixer.h"

namespace engine::runtime {

namespace {

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
      m_frames(std::make_unique<FrameCache>(m_file)),
      m_player(std::make_unique<AnimationPlayer>(m_file, *m_services.timers, m_services.seed)),
      m_window(std::make_unique<CharacterWindow>(QSize(m_file.info.width, m_file.info.height))),
      m_voice(std::make_unique<CharacterVoice>(m_file, m_services, *m_window)),
      m_glide(std::make_unique<CharacterGlide>(*m_services.timers, *m_window)),
      m_idle(std::make_unique<IdleCycle>(*m_services.timers, m_services.seed ^ 0x7F4A7C15u,
                                         [this](const QString& state) {
                                             const int idle = stateAnimation(state);
                                             if (idle >= 0) {
                                                 playAnimation(idle);
                                             }
                                             return idle >= 0;
                                         })),
      m_queueTimer(m_services.timers->createTimer([this] { runQueue(); })),
      m_random(m_services.seed ^ 0x9E3779B9u),
      m_balloonStyle(initialBalloonStyle(m_file.info.flags))
{
    connect(m_player.get(), &AnimationPlayer::frameShown, this, &LoadedCharacter::onFrameShown);
    connect(m_player.get(), &AnimationPlayer::finished, this,
            &LoadedCharacter::onAnimationFinished);
    connect(m_window.get(), &CharacterWindow::clicked, this, &LoadedCharacter::onClicked);
    connect(m_window.get(), &CharacterWindow::doubleClicked, this, &LoadedCharacter::doubleClicked);
    connect(m_window.get(), &CharacterWindow::dragged, m_voice.get(),
            &CharacterVoice::keepBalloonBeside);
    connect(m_glide.get(), &CharacterGlide::moved, m_voice.get(),
            &CharacterVoice::keepBalloonBeside);
    connect(m_glide.get(), &CharacterGlide::arrived, this, &LoadedCharacter::onArrived);
    connect(m_voice.get(), &CharacterVoice::mouthChanged, this,
            [this](speech::Mouth mouth) { setMouth(acs::MouthShape(int(mouth))); });
    connect(m_voice.get(), &CharacterVoice::finished, this, &LoadedCharacter::onSpeechFinished);
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
    throwIfUnloaded();
    return m_languageId;
}

void LoadedCharacter::setLanguageID(int languageId)
{
    throwIfUnloaded();
    m_languageId = languageId;
}

bool LoadedCharacter::AutoPopupMenu() const
{
    throwIfUnloaded();
    return m_autoPopupMenu;
}

void LoadedCharacter::setAutoPopupMenu(bool on)
{
    throwIfUnloaded();
    m_autoPopupMenu = on;
}

int LoadedCharacter::BalloonStyle() const
{
    throwIfUnloaded();
    return m_balloonStyle;
}

void LoadedCharacter::setBalloonStyle(int style)
{
    throwIfUnloaded();
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
    throwIfUnloaded();
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
    throwIfUnloaded();
    Request request;
    request.kind = Kind::Speak;
    request.text = chooseAlternative(text);
    request.balloonStyle = m_balloonStyle;
    request.ticket = m_voice->prepare(request.text, m_languageId);
    return enqueue(std::move(request));
}

void LoadedCharacter::Stop()
{
    throwIfUnloaded();
    for (const auto& dropped : std::as_const(m_queue)) {
        m_voice->cancel(dropped.ticket);
    }
    m_queue.clear();
    if (!m_current) {
        return;
    }
    if (m_current->kind == Kind::Speak) {
        m_voice->stop();
        m_voice->hideBalloon();
        setMouth(std::nullopt);
    }
    if (m_current->kind == Kind::MoveTo) {
        m_glide->stop();
    }
    if (m_player->isPlaying()) {
        m_current->stage = Stage::Stopping;
        m_player->exit();
    } else {
        m_current->stage = Stage::Done;
    }
    runQueueSoon();
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
    m_queueTimer->stop();
    m_idle->reset();
    m_glide->stop();
    m_voice->stop();
    for (const auto& request : std::as_const(m_queue)) {
        m_voice->cancel(request.ticket);
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
    m_voice->hideBalloon();
    if (m_menu) {
        m_menu->hide();
    }
}

BalloonWindow* LoadedCharacter::balloon() const
{
    return m_voice->balloon();
}

AgentRequest LoadedCharacter::enqueue(Request request)
{
    throwIfUnloaded();
    request.id = m_services.nextRequestId();
    m_queue.append(std::move(request));
    runQueueSoon();
    return AgentRequest{m_queue.last().id};
}

void LoadedCharacter::throwIfUnloaded() const
{
    if (m_unloaded) {
        throw AgentError("The character has been unloaded");
    }
}

void LoadedCharacter::runQueueSoon()
{
    if (!m_unloaded) {
        m_queueTimer->start(0);
    }
}

void LoadedCharacter::runQueue()
{
    if (m_current) {
        if (m_current->stage == Stage::Done) {
            completeCurrent();
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
        playAnimation(std::exchange(m_pendingReturn, -1));
        return;
    }
    if (m_queue.isEmpty()) {
        if (m_window->isVisible()) {
            m_idle->schedule();
        }
        return;
    }
    m_idle->reset();
    m_current = m_queue.takeFirst();
    start(*m_current);
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

void LoadedCharacter::start(Request& request)
{
    request.stage = Stage::Done;
    switch (request.kind) {
    case Kind::Show: {
        if (m_window->isVisible()) {
            break;
        }
        // Shown before the first frame is drawn, so that frame's sound is heard; nothing is
        // painted before the frame is in place.
        m_window->show();
        const int showing = stateAnimation(QStringLiteral("SHOWING"));
        if (showing >= 0) {
            request.stage = Stage::Animating;
            playAnimation(showing);
        } else if (m_player->animation() < 0 && !m_file.animations.isEmpty()) {
            // No way to appear animated: stand in the first pose there is.
            playAnimation(0);
            m_player->halt();
        }
        break;
    }
    case Kind::Hide: {
        m_voice->hideBalloon();
        if (!m_window->isVisible()) {
            break;
        }
        const int hiding = stateAnimation(QStringLiteral("HIDING"));
        if (hiding >= 0) {
            request.stage = Stage::Animating;
            playAnimation(hiding);
        } else {
            m_window->hide();
        }
        break;
    }
    case Kind::Play:
        request.stage = Stage::Animating;
        playAnimation(request.animation);
        break;
    case Kind::Speak: {
        const int speaking = frameHasMouths() ? -1 : stateAnimation(QStringLiteral("SPEAKING"));
        if (speaking >= 0) {
            request.stage = Stage::Animating;
            playAnimation(speaking);
        } else {
            request.stage = Stage::Speaking;
            m_voice->speak(request.text, request.ticket, request.balloonStyle);
        }
        break;
    }
    case Kind::MoveTo:
        startMove(request);
        break;
    }
    runQueueSoon();
}

void LoadedCharacter::startMove(Request& request)
{
    const QPoint delta = request.target - m_window->pos();
    if (!m_window->isVisible() || delta.isNull()) {
        m_window->move(request.target);
        return;
    }
    const int moving = stateAnimation(movingState(delta));
    if (moving >= 0) {
        playAnimation(moving);
    }
    request.stage = Stage::Moving;
    m_glide->start(request.target);
}

void LoadedCharacter::completeCurrent()
{
    const int id = m_current->id;
    m_current.reset();
    QPointer<LoadedCharacter> self(this);
    emit requestComplete(id);
    // The receiver may have unloaded this character.
    if (self && !m_unloaded) {
        runQueueSoon();
    }
}

QString LoadedCharacter::chooseAlternative(const QString& text)
{
    const QStringList alternatives = text.split(QLatin1Char('|'));
    std::uniform_int_distribution<qsizetype> pick(0, alternatives.size() - 1);
    return alternatives.at(pick(m_random));
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
    if (m_current &&
        (m_current->stage == Stage::Animating || m_current->stage == Stage::Stopping)) {
        if (m_current->kind == Kind::Hide) {
            // Even an interrupted hide leaves the character hidden: it was on its way out.
            m_window->hide();
            m_pendingReturn = -1;
        }
        if (m_current->kind == Kind::Speak && m_current->stage == Stage::Animating) {
            m_current->stage = Stage::Speaking;
            m_voice->speak(m_current->text, m_current->ticket, m_current->balloonStyle);
        } else {
            m_current->stage = Stage::Done;
        }
    }
    runQueueSoon();
}

void LoadedCharacter::onArrived()
{
    if (m_player->isPlaying()) {
        // The walk ends by its exit path before the request completes.
        m_current->stage = Stage::Animating;
        m_player->exit();
    } else {
        m_current->stage = Stage::Done;
    }
    runQueueSoon();
}

void LoadedCharacter::onSpeechFinished()
{
    setMouth(std::nullopt);
    m_current->stage = Stage::Done;
    runQueueSoon();
}

void LoadedCharacter::render()
{
    const int animation = m_player->animation();
    const int frame = m_player->frame();
    if (animation < 0 || frame < 0) {
        return;
    }
    const auto& shown = m_file.animations.at(animation).frames.at(frame);
    m_window->showFrame(acs::composeFrame(m_file, shown, m_mouth, *m_frames),
                        acs::frameShape(m_file, shown, m_mouth, *m_frames));
}

void LoadedCharacter::setMouth(std::optional<acs::MouthShape> mouth)
{
    if (mouth != m_mouth) {
        m_mouth = mouth;
        render();
    }
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

} // namespace engine::runtime
