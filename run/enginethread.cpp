#include "run/enginethread.h"

#include <QEventLoop>
#include <QTimer>

namespace quillora {

class EngineThread::ForwardingHost : public ScriptHost
{
public:
    explicit ForwardingHost(QObject &caller) : m_caller(caller) {}
    ScriptHost *target = nullptr;
    std::atomic<int> busy{0}; // the script waits for the user

    int messageBox(const QString &prompt, int buttons, const QString &title) override
    {
        int answer = 1;
        forward([&] {
            if (target)
                answer = target->messageBox(prompt, buttons, title);
        });
        return answer;
    }
    QString inputBox(const QString &prompt, const QString &title, const QString &defaultText,
                     bool *cancelled) override
    {
        QString text;
        *cancelled = true;
        forward([&] {
            if (target)
                text = target->inputBox(prompt, title, defaultText, cancelled);
        });
        return text;
    }

private:
    void forward(const std::function<void()> &ask)
    {
        ++busy;
        if (QThread::currentThread() == m_caller.thread())
            ask();
        else
            QMetaObject::invokeMethod(&m_caller, ask, Qt::BlockingQueuedConnection);
        --busy;
    }
    QObject &m_caller;
};

EngineThread::EngineThread() : m_host(std::make_unique<ForwardingHost>(m_caller))
{
    m_thread.setObjectName(QStringLiteral("script engine"));
    // deep script recursion is stopped by the engines' own limits, well inside this
    m_thread.setStackSize(64 * 1024 * 1024);
    m_thread.start();
    m_worker = new QObject;
    m_worker->moveToThread(&m_thread);
}

EngineThread::~EngineThread()
{
    QMetaObject::invokeMethod(m_worker, &QObject::deleteLater);
    m_thread.quit();
    m_thread.wait();
}

ScriptHost *EngineThread::host()
{
    return m_host.get();
}

void EngineThread::setTarget(ScriptHost *target)
{
    m_host->target = target;
}

void EngineThread::exec(const std::function<void()> &job)
{
    QMetaObject::invokeMethod(m_worker, job, Qt::BlockingQueuedConnection);
}

bool EngineThread::call(const std::function<bool()> &job, int interval,
                        const std::function<bool()> &askStop,
                        const std::function<void()> &interrupt)
{
    bool result = false;
    bool finished = false;
    QEventLoop loop;
    // The end of the job is posted to this thread and only noticed there: this function
    // cannot return (and take the loop with it) while the engine thread still uses it.
    QMetaObject::invokeMethod(m_worker, [&] {
        const bool r = job();
        QMetaObject::invokeMethod(
            &loop,
            [&, r] {
                result = r;
                finished = true;
                loop.quit();
            },
            Qt::QueuedConnection);
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &loop, [&] {
        if (finished)
            return;
        if (m_host->busy > 0) { // the user is answering the script, not waiting for it
            watchdog.start(interval);
            return;
        }
        if (askStop()) {
            if (!finished)
                interrupt();
        } else if (!finished) {
            watchdog.start(interval);
        }
    });
    watchdog.start(interval);
    while (!finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return result;
}

} // namespace quillora
