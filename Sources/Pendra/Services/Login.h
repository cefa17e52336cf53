#pragma once

#include <QString>

// Opening at login through the XDG autostart folder.
namespace pendra::Login {

// Registers or unregisters the program; a refusal is written to the system log
// and changes nothing else.
void set(bool on);

// The autostart entry: $XDG_CONFIG_HOME/autostart/<application id>.desktop.
QString entryPath();
// The program the entry starts: the installed binary when there is one, else
// the running one.
QString executable();

// Enabled means the entry exists and neither is marked hidden nor has the
// desktop's autostart switch off.
bool isEnabled(const QString& path);
// Does the work of set() on the given entry; answers false with the reason in
// error when the entry could not be written or removed.
bool change(bool on, const QString& path, const QString& program, QString* error);
// The text of an entry that starts program, telling it that it starts at login.
QString entryText(const QString& program);

} // namespace pendra::Login
