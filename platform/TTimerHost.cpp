#include "platform/TTimerHost.h"

#include <QTimerEvent>

TTimerHost::TTimerHost(QObject* parent)
    : QObject(parent)
{ }

TTimerHost::~TTimerHost()
{
    StopAll();
}

void TTimerHost::Start(int id, int intervalMs)
{
    Stop(id);
    const int qtId = startTimer(intervalMs < 0 ? 0 : intervalMs);
    if (qtId != 0)
        m_qtIds[id] = qtId;
}

void TTimerHost::Stop(int id)
{
    auto it = m_qtIds.find(id);
    if (it == m_qtIds.end())
        return;
    killTimer(it->second);
    m_qtIds.erase(it);
}

void TTimerHost::StopAll()
{
    for (const auto& [id, qtId] : m_qtIds)
        killTimer(qtId);
    m_qtIds.clear();
}

bool TTimerHost::IsRunning(int id) const
{
    return m_qtIds.count(id) != 0;
}

void TTimerHost::timerEvent(QTimerEvent* event)
{
    for (const auto& [id, qtId] : m_qtIds) {
        if (qtId == event->timerId()) {
            const int callerId = id; // the handler may stop or restart timers
            if (OnTimer)
                OnTimer(callerId);
            return;
        }
    }
    QObject::timerEvent(event);
}
