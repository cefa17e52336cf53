#pragma once

#include <QString>

// Every fixed text the user sees, in one place so the menu, the studio and the
// bug report share one wording.
namespace pendra::Copy {

inline const QString appName = QStringLiteral("Pendra");
inline const QString tagline = QStringLiteral("Charms that hang from your screen");
inline const QString studio = QStringLiteral("Charm Studio\u2026");
inline const QString swingThemAll = QStringLiteral("Give Them a Swing");
inline const QString hideCharms = QStringLiteral("Hide Charms");
inline const QString showCharms = QStringLiteral("Show Charms");
inline const QString reportBug = QStringLiteral("Report a Bug\u2026");
inline const QString rateApp = QStringLiteral("Rate Pendra\u2026");
inline const QString about = QStringLiteral("About Pendra");
inline const QString quit = QStringLiteral("Quit Pendra");
inline const QString yourCharms = QStringLiteral("Hanging now");
inline const QString addCharm = QStringLiteral("Add a charm");
inline const QString nothingHung = QStringLiteral("Nothing is hanging. Pick a charm below.");
inline const QString remove = QStringLiteral("Take down");
inline const QString cordLength = QStringLiteral("Cord length");
inline const QString cordStyle = QStringLiteral("Cord");
inline const QString charmSize = QStringLiteral("Charm size");
inline const QString motion = QStringLiteral("Movement");
inline const QString breeze = QStringLiteral("Gentle breeze");
inline const QString breezeNote = QStringLiteral("A slow draught keeps the charms drifting.");
inline const QString shimmer = QStringLiteral("Shimmer");
inline const QString shimmerNote = QStringLiteral("Light drifts across the glass now and then.");
inline const QString sound = QStringLiteral("Click when touched");
inline const QString calm = QStringLiteral("Calmer swinging");
inline const QString still = QStringLiteral("Hold still");
inline const QString stillNote = QStringLiteral("The charms hang without swinging.");
// Shown in the studio where the window system lets clicks pass only a still rail.
inline const QString restOnlyNote =
    QStringLiteral("On this desktop the breeze and the shimmer rest, and the charms start out still: it lets clicks "
                   "through around them only while nothing on the rail moves.");
inline const QString launchAtLogin = QStringLiteral("Open at login");
inline const QString dragHint = QStringLiteral("Drag a charm to swing it. Drag its pin to slide it along the top.");
inline const QString privacy = QStringLiteral("Pendra works offline and collects nothing.");
inline const QString supportEmail = QStringLiteral("support@pendra.app");
inline const QString website = QStringLiteral("https://pendra.app/pendra/");

// "Pendra <version> (<build>) — Bug report"
QString bugSubject(const QString& version, const QString& build);
// The pre-filled bug report: two questions with room for answers, then the
// diagnostic block. Arguments are inserted as they are.
QString bugBody(const QString& version, const QString& build, const QString& bundleID, const QString& system,
                const QString& model);

// The name the bug report gives the operating system on its diagnostic line.
QString systemName();

} // namespace pendra::Copy
