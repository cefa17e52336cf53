#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace pendra {

// Keeps one rail per user and display. The first program holds a lock and
// listens on a local socket beside it, both in the user's private runtime
// folder; a later one asks it to open the studio and then leaves.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Start {
        first,      // this process is the one: it holds the lock and listens
        handedOff,  // another one runs and has taken the request
        noAnswer,   // another one holds the lock but did not answer in time
    };
    enum class Request { openStudio, nothing };

    // One name per display, so that each X server gets its rail.
    static QString defaultName();

    // The default name in the user's runtime folder.
    explicit SingleInstance(QObject* parent = nullptr);
    SingleInstance(const QString& folder, const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Becomes the first program, or hands the request to the running one,
    // waiting at most timeoutMs for it to answer. message is set to what the
    // user should read: why a later start will not find this one, or that the
    // running one did not answer.
    Start begin(Request request, QString* message, int timeoutMs = 2000);

    // The parts of begin(). claim() takes the lock (true: this is the first);
    // handOff() asks the running program to open its studio and answers true
    // once it has confirmed; listen() starts answering later programs.
    bool claim(QString* error);
    bool handOff(int timeoutMs) const;
    bool listen(QString* error);

    // The socket's path; empty when there is no private folder for it.
    const QString& socketPath() const { return m_socketPath; }
    // The process that holds the lock, as it wrote itself into the lock file.
    qint64 holder() const;

signals:
    // token: the activation token of the later start's launch; may be empty.
    void studioRequested(const QByteArray& token);

private:
    void accept();

    QString m_socketPath;
    QString m_folderError;
    int m_lock = -1;
    QLocalServer* m_server = nullptr;
};

} // namespace pendra
