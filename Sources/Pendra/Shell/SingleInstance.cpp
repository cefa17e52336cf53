#include "SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>

#include <unistd.h>

namespace pendra {

namespace {

const QByteArray openStudioMessage = QByteArrayLiteral("open-studio\n");

} // namespace

QString SingleInstance::defaultName()
{
    QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = QStringLiteral("none");
    display.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
    return QStringLiteral("pendra-%1-%2").arg(::getuid()).arg(display);
}

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent)
    , m_name(std::move(name))
{
    Q_ASSERT(!m_name.isEmpty());
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::handOff(int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(openStudioMessage);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // The running program closes the connection once it has read the request,
    // which tells us it is alive and not a socket frozen in a stopped process.
    socket.waitForDisconnected(timeoutMs);
    return true;
}

bool SingleInstance::listen(QString* error)
{
    Q_ASSERT(!m_server);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // Nobody answered handOff(), so a socket file with this name is stale.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name)) {
            if (error)
                *error = m_server->errorString();
            delete m_server;
            m_server = nullptr;
            return false;
        }
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
                if (socket->readLine(256) == openStudioMessage)
                    emit studioRequested();
            }
            if (socket->bytesAvailable() > 256)
                socket->abort();
            else if (answered)
                socket->disconnectFromServer();
        });
    }
}

} // namespace pendra
