#include "SingleInstance.h"

#include "HandOffMessage.h"

#include "RuntimeFolder.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace pendra {

namespace {

const QByteArray doneMessage = QByteArrayLiteral("done\n");

QString lockPath(const QString& socketPath)
{
    return socketPath + QStringLiteral(".lock");
}

} // namespace

QString SingleInstance::defaultName()
{
    QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = QStringLiteral("none");
    display.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
    return QStringLiteral("pendra-%1").arg(display);
}

SingleInstance::SingleInstance(QObject* parent)
    : QObject(parent)
{
    if (const std::optional<QString> folder = RuntimeFolder::locate(&m_folderError))
        m_socketPath = QDir(*folder).filePath(defaultName());
}

SingleInstance::SingleInstance(const QString& folder, const QString& name, QObject* parent)
    : QObject(parent)
    , m_socketPath(QDir(folder).filePath(name))
{
    Q_ASSERT(!folder.isEmpty() && !name.isEmpty());
}

SingleInstance::~SingleInstance()
{
    // The socket goes before the lock, so that whoever takes the lock next
    // finds no socket of ours.
    delete m_server;
    if (m_lock >= 0)
        ::close(m_lock);
}

SingleInstance::Start SingleInstance::begin(Request request, QString* message, int timeoutMs)
{
    Q_ASSERT(message);
    if (m_socketPath.isEmpty()) {
        *message = QStringLiteral("no private folder for the single-instance socket (%1); "
                                  "a second start will not find this one")
                       .arg(m_folderError);
        return Start::first;
    }
    QString error;
    if (claim(&error)) {
        if (!listen(&error))
            *message = QStringLiteral("a second start cannot reach this one: %1").arg(error);
        return Start::first;
    }
    if (!error.isEmpty()) {
        *message = QStringLiteral("a second start will not find this one: %1").arg(error);
        return Start::first;
    }
    if (request == Request::nothing || handOff(timeoutMs))
        return Start::handedOff;
    const qint64 pid = holder();
    *message = QStringLiteral("Pendra is already running%1 but did not answer within %2 seconds")
                   .arg(pid > 0 ? QStringLiteral(" (process %1)").arg(pid) : QString())
                   .arg(double(timeoutMs) / 1000.0);
    return Start::noAnswer;
}

bool SingleInstance::claim(QString* error)
{
    Q_ASSERT(m_lock < 0 && !m_socketPath.isEmpty());
    const QByteArray path = QFile::encodeName(lockPath(m_socketPath));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(lockPath(m_socketPath), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // The kernel lets go of the lock when the process ends, however it ends,
    // so a crash leaves nothing that blocks the next start.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && error)
            *error = QStringLiteral("%1: %2").arg(lockPath(m_socketPath), QString::fromLocal8Bit(std::strerror(errno)));
        ::close(fd);
        return false;
    }
    // The number only serves the message of a later start that gets no
    // answer, which does without it when it cannot be written.
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
    const bool written = ::ftruncate(fd, 0) == 0 && ::write(fd, pid.constData(), size_t(pid.size())) == pid.size();
    Q_UNUSED(written);
    m_lock = fd;
    return true;
}

qint64 SingleInstance::holder() const
{
    QFile file(lockPath(m_socketPath));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readLine(32).trimmed().toLongLong();
}

bool SingleInstance::handOff(int timeoutMs) const
{
    // The first program may have taken the lock and not be listening yet, so
    // a refused connection is tried again until the time is up.
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return false;
        socket.abort();
        QThread::msleep(50);
    }
    socket.write(HandOffMessage::openStudio(HandOffMessage::launchToken()));
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return false;
    // Only the answer counts: a stopped process still has its socket accept
    // connections and take the bytes, but it never replies.
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    return socket.readLine(64) == doneMessage;
}

bool SingleInstance::listen(QString* error)
{
    Q_ASSERT(!m_server && m_lock >= 0);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock means nobody else listens: a socket file that is there
    // was left by a program that ended without removing it.
    QLocalServer::removeServer(m_socketPath);
    if (!m_server->listen(m_socketPath)) {
        if (error)
            *error = m_server->errorString();
        delete m_server;
        m_server = nullptr;
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::accept);
    return true;
}

void SingleInstance::accept()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // Read line by line so that a client sending junk or nothing at
            // all cannot make the rail do anything but ignore it.
            bool answered = false;
            while (socket->canReadLine()) {
                answered = true;
                if (const auto token = HandOffMessage::studioToken(socket->readLine(HandOffMessage::longestLine))) {
                    socket->write(doneMessage);
                    emit studioRequested(*token);
                }
            }
            if (socket->bytesAvailable() > HandOffMessage::longestLine)
                socket->abort();
            else if (answered)
                socket->disconnectFromServer();
        });
    }
}

} // namespace pendra
