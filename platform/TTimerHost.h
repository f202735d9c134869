// TTimerHost: timers named by caller-chosen ids, each tick reported with its id.
#pragma once

#include <QObject>
#include <functional>
#include <map>

class TTimerHost : public QObject {
public:
    explicit TTimerHost(QObject* parent = nullptr);
    ~TTimerHost() override;

    // Starts timer `id` with `intervalMs`; a running timer of that id restarts with the new interval.
    void Start(int id, int intervalMs);
    void Stop(int id);
    void StopAll();
    bool IsRunning(int id) const;

    // Called on every tick with the id of the timer.
    std::function<void(int id)> OnTimer;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    std::map<int, int> m_qtIds; // caller id -> Qt timer id
};
