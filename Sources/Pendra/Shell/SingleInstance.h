#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace pendra {

// Keeps one rail per display. The first program listens on a local socket;
// a later one only asks it to open the studio and then leaves.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // One name per user and display, so two X servers each get their rail.
    static QString defaultName();

    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Asks a running program to open its studio. Answers true when one took
    // the request, so this process should end.
    bool handOff(int timeoutMs = 2000) const;
    // Starts answering later programs. A socket left behind by a program that
    // crashed is replaced. Answers false with the reason when listening fails.
    bool listen(QString* error);

    const QString& name() const { return m_name; }

signals:
    void studioRequested();

private:
    void accept();

    QString m_name;
    QLocalServer* m_server = nullptr;
};

} // namespace pendra
