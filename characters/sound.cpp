#include "sound.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "engine/acs/wave.h"

namespace hv::characters {
namespace {

constexpr int SAMPLE_RATE = 22050;

struct Partial
{
    double ratio;
    double amplitude;
    // Per second: higher partials die away sooner, which is what makes a struck sound.
    double decay;
};

// Adds one struck note starting at `start` seconds.
void strike(std::vector<double>& mix, double start, double frequency,
            std::initializer_list<Partial> partials)
{
    const auto first = std::size_t(start * SAMPLE_RATE);
    for (std::size_t i = first; i < mix.size(); ++i) {
        const double t = double(i - first) / SAMPLE_RATE;
        // A 4 ms attack keeps the start from clicking.
        const double attack = std::min(1.0, t / 0.004);
        double v = 0;
        for (const Partial& p : partials)
            v +=
                p.amplitude * std::exp(-p.decay * t) * std::sin(2 * M_PI * frequency * p.ratio * t);
        mix[i] += attack * v;
    }
}

QByteArray toWave(std::vector<double> mix)
{
    // The notes are cut off while still ringing faintly; a 20 ms fade keeps the cut silent.
    const std::size_t fade = std::min<std::size_t>(mix.size(), SAMPLE_RATE / 50);
    for (std::size_t i = 0; i < fade; ++i)
        mix[mix.size() - 1 - i] *= double(i) / double(fade);
    double peak = 0;
    for (double v : mix)
        peak = std::max(peak, std::abs(v));
    // Normalise to about half of full scale: loud enough to hear, gentle beside speech.
    const double gain = peak > 0 ? 16000.0 / peak : 0;
    QList<qint16> samples;
    samples.reserve(qsizetype(mix.size()));
    for (double v : mix)
        samples.append(qint16(std::lround(v * gain)));
    return engine::acs::writeWave(samples, SAMPLE_RATE);
}

} // namespace

QByteArray ringingBell(double frequency, int strikes, double interval)
{
    std::vector<double> mix(std::size_t((strikes * interval + 0.5) * SAMPLE_RATE), 0.0);
    for (int i = 0; i < strikes; ++i)
        strike(mix, i * interval, frequency,
               {{1.0, 1.0, 9}, {2.0, 0.45, 14}, {2.76, 0.3, 20}, {5.4, 0.12, 30}});
    return toWave(std::move(mix));
}

QByteArray chime(std::initializer_list<double> notes, double spacing)
{
    std::vector<double> mix(std::size_t((notes.size() * spacing + 0.6) * SAMPLE_RATE), 0.0);
    double start = 0;
    for (double note : notes) {
        strike(mix, start, note, {{1.0, 1.0, 6}, {2.0, 0.2, 12}, {3.0, 0.06, 18}});
        start += spacing;
    }
    return toWave(std::move(mix));
}

} // namespace hv::characters
