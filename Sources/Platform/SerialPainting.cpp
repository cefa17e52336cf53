#include "SerialPainting.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

namespace pendra {

void SerialPainting::run(const std::function<void()>& work)
{
    QThreadPool* pool = QThreadPool::globalInstance();
    if (!pool || pool->contains(QThread::currentThread())) {
        work();
        return;
    }
    QSemaphore done;
    pool->start([&] {
        work();
        done.release();
    });
    done.acquire();
}

} // namespace pendra
