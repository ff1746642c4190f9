#include "engine/speech/audio_mixer.h"

#include <algorithm>
#include <utility>

#include <QScopedValueRollback>
#include <QThread>
#include <QTimer>

namespace engine::speech {

namespace {

// How often the output is topped up while anything plays: a quarter of the queued period, so
// a late timer tick still finds audio queued.
constexpr int TICK_MS = MIXER_PERIOD_MS / 4;

} // namespace

AudioMixer::AudioMixer(QObject* parent)
    : AudioMixer(makeDeviceOutput(), steadyClock(), Feeding::OwnThread, parent)
{}

AudioMixer::AudioMixer(std::unique_ptr<AudioOutput> output, MonotonicClock clock, Feeding feeding,
                       QObject* parent)
    : QObject(parent), m_feeding(feeding), m_clock(std::move(clock)), m_output(std::move(output))
{
    if (m_feeding == Feeding::Caller) {
        startOutput();
        return;
    }
    m_thread = std::make_unique<QThread>();
    m_thread->setObjectName(QStringLiteral("audio mixer"));
    m_timer = new QTimer;
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(TICK_MS);
    m_timer->moveToThread(m_thread.get());
    connect(m_timer, &QTimer::timeout, m_timer, [this] { pump(); });
    m_thread->start(QThread::TimeCriticalPriority);
    // Waits for the device: isSilent() is settled once the mixer exists.
    QMetaObject::invokeMethod(
        m_timer,
        [this] {
            startOutput();
            m_timer->start();
        },
        Qt::BlockingQueuedConnection);
}

// The output goes on the thread that made it; Qt's PulseAudio sink runs the event loop while it
// is destroyed, so the timer is stopped first and the pump guard keeps it out anyway.
AudioMixer::~AudioMixer()
{
    if (!m_thread)
        return;
    QThread* const home = thread();
    QMetaObject::invokeMethod(
        m_timer,
        [this, home] {
            m_timer->stop();
            m_pumping = true;
            m_output.reset();
            m_timer->moveToThread(home);
        },
        Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    delete m_timer;
}

void AudioMixer::startOutput()
{
    if (!m_output || !m_output->start())
        useSilentOutput(0);
    // Run on silence from the start: a sink that is slow to serve a new stream gets over it
    // before the first sound.
    const std::lock_guard lock(m_mutex);
    m_idleSinceUs = m_clock();
}

void AudioMixer::useSilentOutput(qint64 fromFrame)
{
    if (!m_silent)
        m_device = std::move(m_output);
    m_output = makeSilentOutput(m_clock);
    // A silent output always starts.
    [[maybe_unused]] const bool started = m_output->start();
    m_outputBase = fromFrame;
    m_silent = true;
}

void AudioMixer::retryDevice()
{
    if (!m_device->start())
        return;
    m_output = std::move(m_device);
    // Whatever the silent output still had queued counts as heard: the device starts afresh.
    const std::lock_guard lock(m_mutex);
    m_outputBase = m_written;
    m_progressFrames = -1;
    m_silent = false;
}

bool AudioMixer::deviceStalled(qint64 heard)
{
    const qint64 now = m_clock();
    if (heard != m_progressFrames || m_sources.empty()) {
        m_progressFrames = heard;
        m_progressUs = now;
        return false;
    }
    return now - m_progressUs >= MIXER_STALL_MS * 1000LL;
}

SourceId AudioMixer::play(const Pcm& pcm)
{
    SourceId id = 0;
    {
        const std::lock_guard lock(m_mutex);
        id = m_nextId++;
        m_soundStarted = m_soundStarted || m_sources.empty();
        m_sources.push_back({id, pcm, m_written});
    }
    // The first samples go out at once; an empty source is left to the next pump so that its
    // finished() never arrives before the caller has its id.
    if (m_feeding == Feeding::OwnThread)
        QMetaObject::invokeMethod(
            m_timer, [this] { pump(); }, Qt::QueuedConnection);
    else if (!pcm.isEmpty())
        pump();
    return id;
}

void AudioMixer::stop(SourceId id)
{
    const std::lock_guard lock(m_mutex);
    removeSource(id);
}

void AudioMixer::removeSource(SourceId id)
{
    const auto it = std::remove_if(m_sources.begin(), m_sources.end(),
                                   [id](const Source& s) { return s.id == id; });
    if (it == m_sources.end())
        return;
    m_sources.erase(it, m_sources.end());
    if (m_sources.empty())
        m_idleSinceUs = m_clock();
}

qint64 AudioMixer::positionUs(SourceId id) const
{
    const std::lock_guard lock(m_mutex);
    const auto it = std::find_if(m_sources.begin(), m_sources.end(),
                                 [id](const Source& s) { return s.id == id; });
    if (it == m_sources.end())
        return -1;
    const qint64 frames = std::clamp<qint64>(m_heard - it->startFrame, 0, it->pcm.size());
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
    if (m_pumping)
        return;
    const QScopedValueRollback guard(m_pumping, true);
    if (!m_silent && m_output->failed())
        useSilentOutput(m_written);
    bool soundStarted = false;
    {
        const std::lock_guard lock(m_mutex);
        soundStarted = std::exchange(m_soundStarted, false);
    }
    // Opening a stream may take a while: not under the lock the GUI thread takes.
    if (soundStarted && m_silent && m_device)
        retryDevice();
    std::vector<SourceId> done;
    bool rest = false;
    {
        const std::lock_guard lock(m_mutex);
        if (m_resting && !m_sources.empty()) {
            // A drained device may have counted on past its last sample while idle; from here
            // its count and ours run together again.
            const qint64 devicePlayed = m_outputBase + m_output->playedFrames();
            if (devicePlayed > m_written)
                m_outputBase -= devicePlayed - m_written;
            m_resting = false;
        }
        m_heard = heardFrames();
        if (!m_silent && deviceStalled(m_heard)) {
            // Written but never heard: the stream went nowhere. The silent clock plays it out.
            useSilentOutput(m_heard);
            m_written = m_heard;
        }
        done = takeHeardSources();
        rest = m_sources.empty() && !m_resting &&
               m_clock() - m_idleSinceUs >= MIXER_LINGER_MS * 1000LL;
        if (!m_resting && !rest)
            fill();
    }
    // Closing a stream may take a while; the GUI thread need not wait for it.
    if (rest) {
        m_output->rest();
        m_resting = true;
    }
    if (m_timer && m_resting)
        m_timer->stop();
    else if (m_timer && !m_timer->isActive())
        m_timer->start();
    announce(done);
}

std::vector<SourceId> AudioMixer::takeHeardSources()
{
    std::vector<SourceId> done;
    for (const Source& s : m_sources) {
        if (m_heard >= s.startFrame + s.pcm.size())
            done.push_back(s.id);
    }
    for (const SourceId id : done)
        removeSource(id);
    return done;
}

// After the bookkeeping and outside the lock, so a slot may play or stop sources freely.
void AudioMixer::announce(const std::vector<SourceId>& done)
{
    if (done.empty())
        return;
    if (m_feeding == Feeding::Caller) {
        for (const SourceId id : done)
            emit finished(id);
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, done] {
            for (const SourceId id : done)
                emit finished(id);
        },
        Qt::QueuedConnection);
}

// Sources still to be heard keep silence flowing behind them, so the device's count reaches
// their end (Qt's sink goes Idle with its last fragment unplayed); while lingering the
// output runs on silence alone.
void AudioMixer::fill()
{
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

} // namespace engine::speech
