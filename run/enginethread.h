#pragma once
// Runs the script engines on a thread of their own, so that the window stays painted while
// a script runs and a script that does not end can be offered to the user to stop. The
// calling thread waits for each call in a local event loop that takes no user input; the
// script's own message boxes are shown on the calling thread and answered there.

#include "run/scriptengine.h"

#include <QObject>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

namespace quillora {

class EngineThread
{
public:
    EngineThread();
    ~EngineThread();

    // Runs `job` on the engine thread and waits without a time limit.
    void exec(const std::function<void()> &job);
    // Runs `job` on the engine thread and waits. Every `interval` ms of running (time the
    // script spends waiting in one of its own message boxes does not count), `askStop` is
    // asked on this thread; when it answers true, `interrupt` is called.
    bool call(const std::function<bool()> &job, int interval, const std::function<bool()> &askStop,
              const std::function<void()> &interrupt);

    // A ScriptHost for the engines that forwards to `target` on the calling thread.
    ScriptHost *host();
    void setTarget(ScriptHost *target);

private:
    class ForwardingHost;
    QThread m_thread;
    QObject *m_worker = nullptr; // lives on m_thread
    QObject m_caller;            // lives on the calling thread
    std::unique_ptr<ForwardingHost> m_host;
};

} // namespace quillora
