#include "engine/speech/synthesizer.h"

#include <mutex>

#include <QSet>
#include <QThread>

#include "engine/speech/synthesis_worker.h"

namespace engine::speech {

// Tickets cancelled while their synthesis may still be queued or running; read by the worker.
struct Synthesizer::Shared
{
    std::mutex lock;
    QSet<Ticket> cancelled;
    bool closing = false;

    bool isCancelled(Ticket ticket)
    {
        const std::lock_guard<std::mutex> guard(lock);
        return closing || cancelled.contains(ticket);
    }
};

Synthesizer::Synthesizer(QObject* parent)
    : QObject(parent), m_shared(std::make_shared<Shared>()), m_thread(new QThread(this))
{
    qRegisterMetaType<Utterance>();
    qRegisterMetaType<VoiceSettings>();
    m_thread->setObjectName(QStringLiteral("speech synthesis"));
    // The worker holds the shared state, not the synthesizer, so it never reaches back into us.
    std::shared_ptr<Shared> shared = m_shared;
    m_worker = new SynthesisWorker([shared](Ticket t) { return shared->isCancelled(t); });
    m_worker->moveToThread(m_thread);
    connect(m_worker, &SynthesisWorker::done, this, [this](const Utterance& utterance) {
        {
            const std::lock_guard<std::mutex> guard(m_shared->lock);
            // Results come in request order: nothing older can still arrive.
            m_shared->cancelled.removeIf([&](Ticket t) { return t < utterance.ticket; });
            m_lastDone = utterance.ticket;
            if (m_shared->cancelled.remove(utterance.ticket))
                return;
        }
        emit ready(utterance);
    });
    m_thread->start();
}

Synthesizer::~Synthesizer()
{
    {
        const std::lock_guard<std::mutex> guard(m_shared->lock);
        m_shared->closing = true;
    }
    m_thread->quit();
    m_thread->wait();
    delete m_worker;
}

Ticket Synthesizer::request(const QString& text, const VoiceSettings& voice)
{
    const Ticket ticket = m_nextTicket++;
    SynthesisWorker* worker = m_worker;
    QMetaObject::invokeMethod(
        m_worker, [worker, ticket, text, voice] { worker->synthesize(ticket, text, voice); },
        Qt::QueuedConnection);
    return ticket;
}

void Synthesizer::cancel(Ticket ticket)
{
    const std::lock_guard<std::mutex> guard(m_shared->lock);
    if (ticket > m_lastDone)
        m_shared->cancelled.insert(ticket);
}

} // namespace engine::speech
