#include "engine/runtime/agent_engine.h"

#include <random>
#include <utility>

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include "engine/acs/acs_model.h"
#include "engine/runtime/frame_timer.h"
#include "engine/runtime/loaded_character.h"
#include "engine/speech/audio_mixer.h"
#include "engine/speech/synthesizer.h"

namespace engine::runtime {

namespace {

[[noreturn]] void fail(const QString& message)
{
    throw AgentError(message.toStdString());
}

acs::CharacterFile readCharacter(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("Cannot open the character file %1: %2").arg(path, file.errorString()));
    }
    if (file.size() > MAX_CHARACTER_FILE_BYTES) {
        fail(QStringLiteral("The character file %1 is too large (%2 bytes)")
                 .arg(path)
                 .arg(file.size()));
    }
    const QByteArray bytes = file.read(MAX_CHARACTER_FILE_BYTES);
    if (file.error() != QFileDevice::NoError) {
        fail(QStringLiteral("Cannot read the character file %1: %2").arg(path, file.errorString()));
    }
    auto parsed = acs::readPlayableCharacter(bytes);
    if (!parsed) {
        fail(QStringLiteral("%1 is not a usable character file: %2 (at byte %3)")
                 .arg(path, parsed.error().what)
                 .arg(parsed.error().offset));
    }
    return std::move(parsed).value();
}

} // namespace

// What the default constructor creates for itself.
struct AgentEngine::Owned
{
    QtTimerSource timers;
    speech::AudioMixer mixer;
    speech::Synthesizer synthesizer;
};

AgentEngine::AgentEngine(QObject* parent)
    : AgentControl(parent), m_owned(std::make_unique<Owned>()), m_timers(m_owned->timers),
      m_mixer(&m_owned->mixer), m_synthesizer(&m_owned->synthesizer), m_seed(std::random_device()())
{
    // Without its voice data the synthesizer fails every time; a character that moves its
    // mouth in silence would leave the user guessing, so the user is told, once.
    connect(m_synthesizer, &speech::Synthesizer::ready, this,
            [this](const speech::Utterance& utterance) {
                if (utterance.error.isEmpty() || std::exchange(m_toldNoVoice, true))
                    return;
                qWarning() << "no voice:" << utterance.error;
                auto* box = new QMessageBox(
                    QMessageBox::Warning, QCoreApplication::applicationName(),
                    utterance.error +
                        QStringLiteral("\n\nThe characters show their words in the balloon but "
                                       "cannot say them. Installing the speech synthesizer's "
                                       "voice data (the package espeak-ng-data) gives them "
                                       "their voices."),
                    QMessageBox::Ok);
                box->setAttribute(Qt::WA_DeleteOnClose);
                box->show();
            });
}

AgentEngine::AgentEngine(TimerSource& timers, speech::AudioMixer* mixer,
                         speech::Synthesizer* synthesizer, quint32 seed, QObject* parent)
    : AgentControl(parent), m_timers(timers), m_mixer(mixer), m_synthesizer(synthesizer),
      m_seed(seed)
{}

AgentEngine::~AgentEngine()
{
    for (auto& [id, character] : m_characters) {
        delete character;
    }
    for (const auto& leaving : std::as_const(m_leaving)) {
        delete leaving.data();
    }
}

void AgentEngine::Load(const QString& characterId, const QString& path)
{
    if (m_characters.count(characterId) != 0) {
        fail(QStringLiteral("A character is already loaded as \"%1\"").arg(characterId));
    }
    CharacterServices services;
    services.timers = &m_timers;
    services.mixer = m_mixer;
    services.synthesizer = m_synthesizer;
    services.seed = m_seed + quint32(m_loads++);
    services.nextRequestId = [this] { return m_nextRequestId++; };
    auto* character = new LoadedCharacter(readCached(path), std::move(services));
    character->setObjectName(characterId);
    connect(character, &LoadedCharacter::requestComplete, this,
            [this](int id) { emit RequestComplete(AgentRequest{id}); });
    connect(character, &LoadedCharacter::clicked, this,
            [this, characterId](int button, int modifiers, QPoint at) {
                emit Click(characterId, button, modifiers, at.x(), at.y());
            });
    connect(character, &LoadedCharacter::doubleClicked, this,
            [this, characterId](int button, int modifiers, QPoint at) {
                emit DblClick(characterId, button, modifiers, at.x(), at.y());
            });
    m_characters.emplace(characterId, character);
}

acs::CharacterFile AgentEngine::readCached(const QString& path)
{
    const QFileInfo file(path);
    const QString key = file.absoluteFilePath();
    const Parsed* found = m_parsed.object(key);
    if (found && found->size == file.size() && found->modified == file.lastModified()) {
        return found->character;
    }
    // Sized and dated before reading: a change made while it is read shows at the next Load.
    auto* parsed = new Parsed{file.size(), file.lastModified(), readCharacter(path)};
    const acs::CharacterFile character = parsed->character;
    m_parsed.insert(key, parsed);
    return character;
}

void AgentEngine::Unload(const QString& characterId)
{
    const auto found = m_characters.find(characterId);
    if (found == m_characters.end()) {
        fail(QStringLiteral("No character is loaded as \"%1\"").arg(characterId));
    }
    LoadedCharacter* character = found->second;
    m_characters.erase(found);
    character->unload();
    disconnect(character, nullptr, this, nullptr);
    // Unload may come from inside one of the character's own signals (a click, a completed
    // request); it goes once that has returned.
    character->deleteLater();
    m_leaving.removeAll(nullptr);
    m_leaving.append(character);
}

AgentCharacter* AgentEngine::operator()(const QString& characterId)
{
    LoadedCharacter* found = character(characterId);
    if (!found) {
        fail(QStringLiteral("No character is loaded as \"%1\"").arg(characterId));
    }
    return found;
}

LoadedCharacter* AgentEngine::character(const QString& characterId) const
{
    const auto found = m_characters.find(characterId);
    return found == m_characters.end() ? nullptr : found->second;
}

} // namespace engine::runtime
