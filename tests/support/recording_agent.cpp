#include "recording_agent.h"

namespace hv::testing {

using engine::AgentError;
using engine::AgentRequest;

AgentRequest RecordedCharacter::record(const QString& call)
{
    m_agent.log.append(call);
    if (!m_agent.failingCall.isEmpty() && call.startsWith(m_agent.failingCall))
        throw AgentError("character failed at " + call.toStdString());
    const AgentRequest request{m_agent.m_nextRequestId++};
    m_agent.requests.append(request);
    return request;
}

void RecordedCharacter::setLanguageID(int languageId)
{
    m_languageId = languageId;
    record(QStringLiteral("LanguageID %1").arg(languageId));
}

void RecordedCharacter::setAutoPopupMenu(bool on)
{
    m_autoPopupMenu = on;
    record(QStringLiteral("AutoPopupMenu %1").arg(on ? "True" : "False"));
}

void RecordedCharacter::setBalloonStyle(int style)
{
    m_balloonStyle = style;
    record(QStringLiteral("Balloon.Style %1").arg(style));
}

AgentRequest RecordedCharacter::MoveTo(int x, int y)
{
    return record(QStringLiteral("MoveTo %1 %2").arg(x).arg(y));
}

AgentRequest RecordedCharacter::Show()
{
    return record(QStringLiteral("Show"));
}

AgentRequest RecordedCharacter::Play(const QString& animation)
{
    return record(QStringLiteral("Play ") + animation);
}

AgentRequest RecordedCharacter::Speak(const QString& text)
{
    return record(QStringLiteral("Speak ") + text);
}

void RecordedCharacter::Stop()
{
    record(QStringLiteral("Stop"));
}

AgentRequest RecordedCharacter::Hide()
{
    return record(QStringLiteral("Hide"));
}

void RecordingAgent::Load(const QString& characterId, const QString& path)
{
    log.append(QStringLiteral("Load %1 %2").arg(characterId, path));
    if (failingPaths.contains(path))
        throw AgentError("cannot open " + path.toStdString());
    m_character = std::make_unique<RecordedCharacter>(*this);
}

void RecordingAgent::Unload(const QString& characterId)
{
    log.append(QStringLiteral("Unload ") + characterId);
    if (!m_character)
        throw AgentError("no character loaded");
    m_character.reset();
}

engine::AgentCharacter* RecordingAgent::operator()(const QString& characterId)
{
    if (!m_character)
        throw AgentError("no character " + characterId.toStdString());
    return m_character.get();
}

} // namespace hv::testing
