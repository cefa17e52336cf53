#include "CanberraSound.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <canberra.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace pendra {

namespace {
constexpr uint32_t soundId = 1;
enum class Command { stop, play };
} // namespace

// Owned jointly by the sound and its thread, so the thread can finish a call
// that blocked after the sound itself is gone.
struct CanberraSound::Worker {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Command> commands;
    bool quit = false;
    QByteArray name;

    void run()
    {
        ca_context* context = nullptr;
        if (ca_context_create(&context) != CA_SUCCESS)
            context = nullptr;
        for (;;) {
            Command command;
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [&] { return quit || !commands.empty(); });
                if (quit)
                    break;
                command = commands.front();
                commands.pop_front();
            }
            if (!context)
                continue;
            ca_context_cancel(context, soundId);
            if (command == Command::play)
                ca_context_play(context, soundId, CA_PROP_EVENT_ID, name.constData(), CA_PROP_MEDIA_ROLE, "event",
                                nullptr);
        }
        if (context)
            ca_context_destroy(context);
    }
};

bool CanberraSound::themeHas(const QString& name)
{
    const QStringList roots = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    for (const QString& root : roots) {
        const QDir sounds(QDir(root).filePath(QStringLiteral("sounds")));
        if (!sounds.exists())
            continue;
        for (const QString& theme : sounds.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            for (const char* extension : {".oga", ".ogg", ".wav"}) {
                if (QFileInfo::exists(sounds.filePath(theme + QStringLiteral("/stereo/") + name + QLatin1String(extension))))
                    return true;
            }
        }
    }
    return false;
}

std::unique_ptr<CanberraSound> CanberraSound::create(const QString& name)
{
    if (!themeHas(name))
        return nullptr;
    return std::unique_ptr<CanberraSound>(new CanberraSound(name));
}

CanberraSound::CanberraSound(const QString& name) : m_worker(std::make_shared<Worker>())
{
    m_worker->name = name.toUtf8();
    std::thread([worker = m_worker] { worker->run(); }).detach();
}

CanberraSound::~CanberraSound()
{
    {
        std::lock_guard lock(m_worker->mutex);
        m_worker->quit = true;
    }
    m_worker->wake.notify_one();
}

void CanberraSound::stop()
{
    {
        std::lock_guard lock(m_worker->mutex);
        m_worker->commands.push_back(Command::stop);
    }
    m_worker->wake.notify_one();
}

void CanberraSound::play()
{
    {
        std::lock_guard lock(m_worker->mutex);
        // A click that has not started yet is dropped in favour of the new one.
        while (!m_worker->commands.empty() && m_worker->commands.back() == Command::play)
            m_worker->commands.pop_back();
        m_worker->commands.push_back(Command::play);
    }
    m_worker->wake.notify_one();
}

} // namespace pendra
