#pragma once

#include <stdexcept>

#include <QObject>
#include <QString>

// The control surface the program drives its characters through. Every call returns at once:
// requests are queued per character and carried out one after another while the caller goes on.
// The real engine and the recording fake of the tests both implement it.
namespace engine {

// A queued request. Requests are only ever compared, by their identifier; 0 is "no request".
struct AgentRequest
{
    int ID = 0;

    friend bool operator==(const AgentRequest& a, const AgentRequest& b) { return a.ID == b.ID; }
    friend bool operator!=(const AgentRequest& a, const AgentRequest& b) { return a.ID != b.ID; }
};

// Raised for a character that cannot be loaded, an identifier that is not loaded, and any
// operation on a character that is gone. The message names the file or identifier.
class AgentError final : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Balloon.Style bits. The program only ever touches BALLOON_ON; a character's own flags
// preset the others when it is loaded.
inline constexpr int BALLOON_ON = 0x1;
inline constexpr int BALLOON_SIZE_TO_TEXT = 0x2;
// The balloon goes when the speech ends; otherwise it stays until the next Speak or Hide.
inline constexpr int BALLOON_AUTO_HIDE = 0x4;
// Words appear as they are spoken; otherwise the whole text at once.
inline constexpr int BALLOON_AUTO_PACE = 0x8;

class AgentCharacter : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // 1033 is US English.
    virtual int LanguageID() const = 0;
    virtual void setLanguageID(int languageId) = 0;
    virtual bool AutoPopupMenu() const = 0;
    virtual void setAutoPopupMenu(bool on) = 0;
    // Balloon.Style: later Speak requests show the word balloon while BALLOON_ON is set.
    virtual int BalloonStyle() const = 0;
    virtual void setBalloonStyle(int style) = 0;

    // Top-left corner in logical pixels of the primary screen.
    virtual AgentRequest MoveTo(int x, int y) = 0;
    virtual AgentRequest Show() = 0;
    // An unknown animation name raises AgentError.
    virtual AgentRequest Play(const QString& animation) = 0;
    virtual AgentRequest Speak(const QString& text) = 0;
    // Drops every queued request of the character; the running one leaves by its exit path.
    virtual void Stop() = 0;
    virtual AgentRequest Hide() = 0;
};

// Characters.Load / Characters.Unload / Characters("CharacterID").
class AgentCharacters
{
public:
    virtual ~AgentCharacters() = default;

    // Raises AgentError naming the file when it is missing or not a character file.
    virtual void Load(const QString& characterId, const QString& path) = 0;
    // Drops the character, its window and its queue at once; AgentError when none is loaded.
    virtual void Unload(const QString& characterId) = 0;
    // AgentError when no character is loaded under that identifier.
    virtual AgentCharacter* operator()(const QString& characterId) = 0;
};

class AgentControl : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual AgentCharacters& Characters() = 0;

signals:
    // button: Qt::MouseButton value; shift: Qt::KeyboardModifiers value; x, y in screen pixels.
    void Click(const QString& characterId, int button, int shift, int x, int y);
    void DblClick(const QString& characterId, int button, int shift, int x, int y);
    void RequestComplete(const engine::AgentRequest& request);
};

} // namespace engine

Q_DECLARE_METATYPE(engine::AgentRequest)
