#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace pendra {

// The program's command line, read before Qt starts so that --help, --version
// and a mistake are answered without a display. `--preview` is read earlier
// still, by the preview itself; here it is only described and checked.
class CommandLine {
public:
    // The process's arguments, the program's own path first.
    explicit CommandLine(const QStringList& arguments);

    static QStringList fromArgv(int argc, char** argv);

    // The exit status when the command line has been answered (help, version,
    // or a mistake, status 2); none when the program should start.
    std::optional<int> exitStatus() const { return m_exitStatus; }
    // What to print before exiting, on standard output and standard error.
    const QString& output() const { return m_output; }
    const QString& errors() const { return m_errors; }
    // Prints output() and errors() and answers exitStatus().
    std::optional<int> answer() const;

    // Started by the desktop at login rather than by hand.
    bool autostart() const { return m_autostart; }

private:
    std::optional<int> m_exitStatus;
    QString m_output;
    QString m_errors;
    bool m_autostart = false;
};

} // namespace pendra
