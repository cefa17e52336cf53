#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QUuid>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace pendra {
namespace {

QString uniqueName()
{
    return QStringLiteral("pendra-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// The client side blocks, so it runs on its own thread while this one keeps
// the listening side's event loop turning.
template <typename Work>
void whileServing(Work work)
{
    std::atomic<bool> done = false;
    std::thread client([&] {
        work();
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    client.join();
    QCoreApplication::processEvents();
}

TEST(SingleInstance, NobodyListeningMeansThisIsTheFirst)
{
    const SingleInstance alone(uniqueName());
    EXPECT_FALSE(alone.handOff(500));
}

TEST(SingleInstance, ASecondStartAsksTheFirstToOpenItsStudio)
{
    const QString name = uniqueName();
    SingleInstance first(name);
    QString error;
    ASSERT_TRUE(first.listen(&error)) << error.toStdString();
    QSignalSpy requests(&first, &SingleInstance::studioRequested);

    bool handedOff = false;
    whileServing([&] { handedOff = SingleInstance(name).handOff(); });
    EXPECT_TRUE(handedOff);
    EXPECT_EQ(requests.count(), 1);

    whileServing([&] { handedOff = SingleInstance(name).handOff(); });
    EXPECT_EQ(requests.count(), 2);
}

TEST(SingleInstance, ASocketLeftBehindIsReplaced)
{
    const QString name = uniqueName();
    // What a crashed program leaves: the socket's file with nobody behind it.
    QFile stale(QDir::temp().filePath(name));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();

    SingleInstance first(name);
    QString error;
    ASSERT_TRUE(first.listen(&error)) << error.toStdString();
    QSignalSpy requests(&first, &SingleInstance::studioRequested);
    whileServing([&] { SingleInstance(name).handOff(); });
    EXPECT_EQ(requests.count(), 1);
}

TEST(SingleInstance, AnythingButTheRequestIsIgnored)
{
    const QString name = uniqueName();
    SingleInstance first(name);
    QString error;
    ASSERT_TRUE(first.listen(&error)) << error.toStdString();
    QSignalSpy requests(&first, &SingleInstance::studioRequested);

    for (const QByteArray message : {QByteArray("quit\n"), QByteArray("open-studio"), QByteArray(4096, 'x'),
                                     QByteArray("open-studio\nopen-studio-now\n")}) {
        whileServing([&] {
            QLocalSocket socket;
            socket.connectToServer(name);
            if (!socket.waitForConnected(2000))
                return;
            socket.write(message);
            socket.waitForBytesWritten(2000);
            socket.waitForDisconnected(500);
        });
    }
    // Only the one well-formed line in the last message counts.
    EXPECT_EQ(requests.count(), 1);
}

TEST(SingleInstance, NamesAreSafeForTheSocketFolder)
{
    const QByteArray display = qgetenv("DISPLAY");
    qputenv("DISPLAY", "host/../x:0.0");
    const QString name = SingleInstance::defaultName();
    qputenv("DISPLAY", display);
    EXPECT_FALSE(name.contains('/'));
    EXPECT_TRUE(name.startsWith("pendra-"));
    EXPECT_TRUE(name.endsWith("x_0.0"));
}

} // namespace
} // namespace pendra
