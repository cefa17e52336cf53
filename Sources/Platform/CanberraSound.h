#pragma once

#include "Host.h"

#include <memory>

namespace pendra {

// A sound of the freedesktop theme played through libcanberra. Its sound
// server connection can block, so every call is handed to a worker thread and
// returns at once; without a server the sound is simply silent.
class CanberraSound : public Sound {
public:
    // None when no installed sound theme has a sound of that name.
    static std::unique_ptr<CanberraSound> create(const QString& name);
    ~CanberraSound() override;

    void stop() override;
    void play() override;

    // Whether an installed theme has the sound, by looking for its file.
    static bool themeHas(const QString& name);

    struct Worker;

private:
    explicit CanberraSound(const QString& name);

    std::shared_ptr<Worker> m_worker;
};

} // namespace pendra
