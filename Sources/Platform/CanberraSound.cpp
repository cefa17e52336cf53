#include "CanberraSound.h"

#include "SoundRequests.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <canberra.h>

#include <thread>

namespace pendra {

namespace {
constexpr uint32_t soundId = 1;
} // namespace

// Owned jointly by the sound and its thread, so the thread can finish a call
// that blocked after the sound itself is gone.
struct CanberraSound::Worker {
    SoundRequests requests;
    QByteArray name;

    void run()
    {
        ca_context* context = nullptr;
        if (ca_context_create(&context) != CA_SUCCESS)
            context = nullptr;
        while (const std::optional<SoundRequests::Request> request = requests.take()) {
            if (!context)
                continue;
            ca_context_cancel(context, soundId);
            if (*request == SoundRequests::Request::play)
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
    m_worker->requests.close();
}

void CanberraSound::stop()
{
    m_worker->requests.post(SoundRequests::Request::stop);
}

void CanberraSound::play()
{
    m_worker->requests.post(SoundRequests::Request::play);
}

} // namespace pendra
