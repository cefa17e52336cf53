#include "SingleInstance.h"

#include "TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <unistd.h>

namespace pendra {
namespace {

using test::TempFolder;

const QString name = QStringLiteral("pendra-test");

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

TEST(SingleInstance, TheFirstHoldsTheLockUntilItEnds)
{
    TempFolder folder;
    QString message;
    auto first = std::make_unique<SingleInstance>(folder.path(), name);
    EXPECT_EQ(first->begin(SingleInstance::Request::openStudio, &message), SingleInstance::Start::first);
    EXPECT_TRUE(message.isEmpty()) << message.toStdString();
    EXPECT_EQ(first->holder(), qint64(::getpid()));
    EXPECT_TRUE(QFileInfo(first->socketPath()).exists());

    SingleInstance second(folder.path(), name);
    QString error;
    EXPECT_FALSE(second.claim(&error));
    EXPECT_TRUE(error.isEmpty()) << "a held lock is no error: " << error.toStdString();

    first.reset();
    EXPECT_FALSE(QFileInfo::exists(folder.file(name))) << "the socket goes with its program";
    EXPECT_TRUE(second.claim(&error));
}

TEST(SingleInstance, ASecondStartAsksTheFirstToOpenItsStudio)
{
    TempFolder folder;
    SingleInstance first(folder.path(), name);
    QString message;
    ASSERT_EQ(first.begin(SingleInstance::Request::openStudio, &message), SingleInstance::Start::first);
    QSignalSpy requests(&first, &SingleInstance::studioRequested);

    const QByteArray launched = qgetenv("XDG_ACTIVATION_TOKEN");
    for (int i = 1; i <= 2; ++i) {
        // The second launch carries its desktop's activation token along.
        const QByteArray token = i == 1 ? QByteArray() : QByteArrayLiteral("kwin-7_TIME42");
        qputenv("XDG_ACTIVATION_TOKEN", token);
        SingleInstance::Start start = SingleInstance::Start::first;
        whileServing([&] { start = SingleInstance(folder.path(), name).begin(SingleInstance::Request::openStudio, &message); });
        EXPECT_EQ(start, SingleInstance::Start::handedOff);
        EXPECT_TRUE(message.isEmpty()) << message.toStdString();
        ASSERT_EQ(requests.count(), i);
        EXPECT_EQ(requests.last().at(0).toByteArray(), token);
    }
    qputenv("XDG_ACTIVATION_TOKEN", launched);
}

TEST(SingleInstance, AStartAtLoginAsksForNothing)
{
    TempFolder folder;
    SingleInstance first(folder.path(), name);
    QString message;
    ASSERT_EQ(first.begin(SingleInstance::Request::openStudio, &message), SingleInstance::Start::first);
    QSignalSpy requests(&first, &SingleInstance::studioRequested);
    SingleInstance::Start start = SingleInstance::Start::first;
    whileServing([&] { start = SingleInstance(folder.path(), name).begin(SingleInstance::Request::nothing, &message); });
    EXPECT_EQ(start, SingleInstance::Start::handedOff);
    EXPECT_EQ(requests.count(), 0);
}

TEST(SingleInstance, AFirstThatDoesNotAnswerIsReported)
{
    TempFolder folder;
    SingleInstance first(folder.path(), name);
    QString message;
    ASSERT_EQ(first.begin(SingleInstance::Request::openStudio, &message), SingleInstance::Start::first);
    // This thread never turns the event loop, like a stopped program: the
    // connection is taken but no answer comes.
    SingleInstance second(folder.path(), name);
    EXPECT_EQ(second.begin(SingleInstance::Request::openStudio, &message, 300), SingleInstance::Start::noAnswer);
    EXPECT_EQ(message, QStringLiteral("Pendra is already running (process %1) but did not answer within 0.3 seconds")
                           .arg(::getpid()));
}

TEST(SingleInstance, ASocketLeftBehindIsReplaced)
{
    TempFolder folder;
    // What a crashed program leaves: the socket's file with nobody behind it.
    folder.write(name, "");
    SingleInstance first(folder.path(), name);
    QString message;
    ASSERT_EQ(first.begin(SingleInstance::Request::openStudio, &message), SingleInstance::Start::first);
    EXPECT_TRUE(message.isEmpty()) << message.toStdString();
    QSignalSpy requests(&first, &SingleInstance::studioRequested);
    bool handedOff = false;
    whileServing([&] { handedOff = SingleInstance(folder.path(), name).handOff(2000); });
    EXPECT_TRUE(handedOff);
    EXPECT_EQ(requests.count(), 1);
}

TEST(SingleInstance, AnUnusableFolderIsReportedAndTheProgramRunsAlone)
{
    TempFolder folder;
    folder.write("file", "x");
    SingleInstance first(folder.file("file"), name);
    QString message;
    EXPECT_EQ(first.begin(SingleInstance::Request::openStudio, &message), SingleInstance::Start::first);
    EXPECT_TRUE(message.startsWith("a second start will not find this one: ")) << message.toStdString();
}

TEST(SingleInstance, AnythingButTheRequestIsIgnored)
{
    TempFolder folder;
    SingleInstance first(folder.path(), name);
    QString message;
    ASSERT_EQ(first.begin(SingleInstance::Request::openStudio, &message), SingleInstance::Start::first);
    QSignalSpy requests(&first, &SingleInstance::studioRequested);

    for (const QByteArray& bytes : {QByteArray("quit\n"), QByteArray("open-studio"), QByteArray(4096, 'x'),
                                   QByteArray("open-studio\nopen-studio-now\n")}) {
        whileServing([&] {
            QLocalSocket socket;
            socket.connectToServer(first.socketPath());
            if (!socket.waitForConnected(2000))
                return;
            socket.write(bytes);
            socket.waitForBytesWritten(2000);
            socket.waitForDisconnected(500);
        });
    }
    // Only the one well-formed line in the last message counts.
    EXPECT_EQ(requests.count(), 1);
}

TEST(SingleInstance, TheSocketLivesInTheUsersRuntimeFolder)
{
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    TempFolder folder;
    qputenv("DISPLAY", "host/../x:0.0");
    qputenv("XDG_RUNTIME_DIR", folder.path().toUtf8());
    const QString name = SingleInstance::defaultName();
    const QString path = SingleInstance().socketPath();
    qputenv("DISPLAY", display);
    qputenv("XDG_RUNTIME_DIR", runtime);
    EXPECT_EQ(name, "pendra-host_.._x_0.0");
    EXPECT_EQ(path, folder.file(name));
}

} // namespace
} // namespace pendra
