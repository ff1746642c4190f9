#include "agentctl/speech/audio_mixer.h"

#include <algorithm>

#include <QTimer>

namespace agentctl::speech {

namespace {

// How often the output is topped up while anything plays: a quarter of the queued period, so
// a late timer tick still finds audio queued.
constexpr int TICK_MS = MIXER_PERIOD_MS / 4;

} // namespace

AudioMixer::AudioMixer(QObject* parent) : AudioMixer(makeDeviceOutput(), steadyClock(), parent) {}

AudioMixer::AudioMixer(std::unique_ptr<AudioOutput> output, MonotonicClock clock, QObject* parent)
    : QObject(parent), m_output(std::move(output)), m_clock(std::move(clock)),
      m_timer(new QTimer(this))
{
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(TICK_MS);
    connect(m_timer, &QTimer::timeout, this, &AudioMixer::pump);
    if (!m_output || !m_output->start())
        useSilentOutput(0);
}

AudioMixer::~AudioMixer() = default;

void AudioMixer::useSilentOutput(qint64 fromFrame)
{
    m_output = makeSilentOutput(m_clock);
    // A silent output always starts.
    [[maybe_unused]] const bool started = m_output->start();
    m_outputBase = fromFrame;
    m_silent = true;
}

SourceId AudioMixer::play(const Pcm& pcm)
{
    if (m_sources.empty()) {
        // A drained device may have counted on past its last sample while idle; from here its
        // count and ours run together again.
        const qint64 devicePlayed = m_outputBase + m_output->playedFrames();
        if (devicePlayed > m_written)
            m_outputBase -= devicePlayed - m_written;
    }
    const SourceId id = m_nextId++;
    m_sources.push_back({id, pcm, m_written});
    pump();
    return id;
}

void AudioMixer::stop(SourceId id)
{
    m_sources.erase(std::remove_if(m_sources.begin(), m_sources.end(),
                                   [id](const Source& s) { return s.id == id; }),
                    m_sources.end());
}

void AudioMixer::stopAll()
{
    m_sources.clear();
}

qint64 AudioMixer::positionUs(SourceId id) const
{
    const auto it = std::find_if(m_sources.begin(), m_sources.end(),
                                 [id](const Source& s) { return s.id == id; });
    if (it == m_sources.end())
        return -1;
    const qint64 frames = std::clamp<qint64>(heardFrames() - it->startFrame, 0, it->pcm.size());
    return frames * 1'000'000 / MIXER_SAMPLE_RATE;
}

bool AudioMixer::isPlaying(SourceId id) const
{
    return positionUs(id) >= 0;
}

bool AudioMixer::isSilent() const
{
    return m_silent;
}

qint64 AudioMixer::heardFrames() const
{
    return std::min(m_outputBase + m_output->playedFrames(), m_written);
}

void AudioMixer::pump()
{
    if (!m_silent && m_output->failed())
        useSilentOutput(m_written);
    finishHeardSources();
    fill();
    if (m_sources.empty())
        m_timer->stop();
    else if (!m_timer->isActive())
        m_timer->start();
}

void AudioMixer::finishHeardSources()
{
    const qint64 heard = heardFrames();
    std::vector<SourceId> done;
    for (const Source& s : m_sources) {
        if (heard >= s.startFrame + s.pcm.size())
            done.push_back(s.id);
    }
    for (const SourceId id : done)
        stop(id);
    // After the bookkeeping, so a slot may play or stop sources freely.
    for (const SourceId id : done)
        emit finished(id);
}

void AudioMixer::fill()
{
    // With nothing left to play the output is left to drain; a source that has been mixed but
    // not yet heard keeps silence flowing behind it, so the device's count reaches its end.
    if (m_sources.empty())
        return;
    const qint64 count = m_output->writableFrames();
    if (count <= 0)
        return;
    std::vector<qint32> sum(size_t(count), 0);
    for (const Source& s : m_sources) {
        const qint64 from = m_written - s.startFrame; // source frame at sum[0]
        const qint64 first = std::max<qint64>(0, -from);
        const qint64 last = std::min<qint64>(count, s.pcm.size() - from);
        for (qint64 i = first; i < last; ++i)
            sum[size_t(i)] += s.pcm[qsizetype(from + i)];
    }
    std::vector<qint16> mixed(sum.size());
    std::transform(sum.begin(), sum.end(), mixed.begin(),
                   [](qint32 v) { return qint16(std::clamp(v, -32768, 32767)); });
    m_written += m_output->write(mixed.data(), count);
}

} // namespace agentctl::speech
