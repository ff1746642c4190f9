#include "engine/speech/audio_mixer.h"

#include <algorithm>
#include <chrono>

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>

namespace engine::speech {

namespace {

constexpr qint64 PERIOD_FRAMES = qint64(MIXER_SAMPLE_RATE) * MIXER_PERIOD_MS / 1000;

qint64 framesOf(qint64 us)
{
    return us * MIXER_SAMPLE_RATE / 1'000'000;
}

// QAudioSink in push mode. Its buffer is one mixer period, so what the mixer writes is heard
// within a period and a stopped source cannot linger longer.
class DeviceOutput final : public AudioOutput
{
public:
    bool start() override
    {
        m_written = 0;
        m_restedFrames = 0;
        return open();
    }
    bool failed() const override
    {
        // Underrun is what an idle sink reports; only the other errors mean it is gone.
        return m_sink == nullptr || m_sink->error() == QAudio::OpenError ||
               m_sink->error() == QAudio::IOError || m_sink->error() == QAudio::FatalError;
    }
    qint64 writableFrames() const override
    {
        return m_io == nullptr ? PERIOD_FRAMES : m_sink->bytesFree() / 2;
    }
    qint64 write(const qint16* frames, qint64 count) override
    {
        if (m_io == nullptr && !open())
            return 0;
        const qint64 bytes = m_io->write(reinterpret_cast<const char*>(frames), count * 2);
        m_written += std::max<qint64>(bytes, 0) / 2;
        return std::max<qint64>(bytes, 0) / 2;
    }
    qint64 playedFrames() const override
    {
        return m_restedFrames + (m_io == nullptr ? 0 : framesOf(m_sink->processedUSecs()));
    }
    void rest() override
    {
        if (m_io == nullptr)
            return;
        m_sink->stop();
        m_io = nullptr;
        m_restedFrames = m_written;
    }

private:
    bool open()
    {
        // A new sink on the default output each time: a sound server that has restarted since,
        // or a default that has changed, is served by a sink made now, not by the last one.
        m_sink.reset();
        if (QMediaDevices::audioOutputs().isEmpty())
            return false;
        QAudioFormat format;
        format.setSampleRate(MIXER_SAMPLE_RATE);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        m_sink = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), format);
        m_sink->setBufferSize(int(PERIOD_FRAMES * 2));
        m_io = m_sink->start();
        // With no server the sink fails right here and never signals it.
        if (m_io != nullptr && m_sink->error() == QAudio::NoError)
            return true;
        m_io = nullptr;
        return false;
    }

    std::unique_ptr<QAudioSink> m_sink;
    QIODevice* m_io = nullptr; // null while resting
    qint64 m_written = 0;
    qint64 m_restedFrames = 0; // frames written to streams closed since
};

// Plays nothing but keeps time as a device would: written frames are "heard" at real speed,
// and once everything written has been heard the clock waits for more, like a drained stream.
class SilentOutput final : public AudioOutput
{
public:
    explicit SilentOutput(MonotonicClock clock) : m_clock(std::move(clock)) {}

    bool start() override
    {
        m_anchorUs = m_clock();
        return true;
    }
    bool failed() const override { return false; }
    qint64 writableFrames() const override
    {
        return std::max<qint64>(0, playedFrames() + PERIOD_FRAMES - m_written);
    }
    qint64 write(const qint16*, qint64 count) override
    {
        if (playedFrames() >= m_written) {
            m_anchorFrames = m_written;
            m_anchorUs = m_clock();
        }
        m_written += count;
        return count;
    }
    qint64 playedFrames() const override
    {
        return std::min(m_written, m_anchorFrames + framesOf(m_clock() - m_anchorUs));
    }
    void rest() override
    {
        m_anchorFrames = m_written;
        m_anchorUs = m_clock();
    }

private:
    MonotonicClock m_clock;
    qint64 m_written = 0;
    qint64 m_anchorFrames = 0; // frames heard when the clock last restarted
    qint64 m_anchorUs = 0;
};

} // namespace

std::unique_ptr<AudioOutput> makeDeviceOutput()
{
    return std::make_unique<DeviceOutput>();
}

std::unique_ptr<AudioOutput> makeSilentOutput(MonotonicClock clock)
{
    return std::make_unique<SilentOutput>(std::move(clock));
}

MonotonicClock steadyClock()
{
    return [] {
        return qint64(std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count());
    };
}

} // namespace engine::speech
