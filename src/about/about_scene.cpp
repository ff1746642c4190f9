#include "about/about_scene.h"

#include <QLoggingCategory>

#include "platform/twips.h"

Q_LOGGING_CATEGORY(lcAboutScene, "horavox.about")

namespace hv::about {

namespace {

enum class StepKind
{
    Play,
    Speak
};

struct Step
{
    StepKind kind;
    const char* argument;
};

// The speech output tags: \Vol\ in units up to 65535, \Chr\ the voice's character, \Pit\ in Hz.
constexpr Step SCRIPT[] = {
    {StepKind::Play, "Wave"},
    {StepKind::Speak, "Hi! This is the Horavox."},
    {StepKind::Play, "Announce"},
    {StepKind::Speak, "This is version 2.01. Created April 24th, 2000."},
    {StepKind::Play, "Surprised"},
    {StepKind::Speak, "Well, what do you know! Dorrit, and Osric,, actually got around to fixing "
                      "some of the bugs!"},
    {StepKind::Play, "Pleased"},
    {StepKind::Speak, "Just kidding!"},
    {StepKind::Play, "Blink"},
    {StepKind::Speak, "This program was conceived of, and created by, Dorrit Fenwald, Osric "
                      "Brannock, and, Ilsabet Quarrel.."},
    {StepKind::Play, "Alert"},
    {StepKind::Speak, "\\Vol=20084\\\\Chr=\"Whisper\"\\Three People. With way, too much time on "
                      "their hands.  If you ask me."},
    {StepKind::Play, "LookLeft"},
    {StepKind::Play, "LookLeftReturn"},
    {StepKind::Play, "LookRight"},
    {StepKind::Play, "LookRightReturn"},
    {StepKind::Play, "Alert"},
    {StepKind::Speak, "\\Vol=20084\\\\Chr=\"Whisper\"\\Don't tell them, I said that."},
    {StepKind::Play, "Pleased"},
    {StepKind::Play, "Wave"},
    {StepKind::Speak, "\\Pit=202\\So long."},
};

} // namespace

engine::AgentRequest queueAboutScene(engine::AgentCharacter& character)
{
    for (const Step& step : SCRIPT) {
        const QString argument = QString::fromUtf8(step.argument);
        if (step.kind == StepKind::Speak) {
            character.Speak(argument);
            continue;
        }
        // A character installed under a built-in's name need not have every animation.
        try {
            character.Play(argument);
        } catch (const engine::AgentError& error) {
            qCInfo(lcAboutScene) << "skipped:" << error.what();
        }
    }
    return character.Hide();
}

QPoint aboutScenePosition(int leftTwips, int topTwips, int widthTwips)
{
    return {platform::px(leftTwips + widthTwips) - 146, platform::px(topTwips) + 75};
}

} // namespace hv::about
