#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace pendra {

// The product page and the pre-filled bug report. When neither can be
// opened, the address goes to the clipboard so the user can paste it.
namespace Feedback {

// Asks the desktop to open a URL and calls done, now or later, with whether a
// program took it.
using Opener = std::function<void(const QUrl& url, const std::function<void(bool opened)>& done)>;
using Clipboard = std::function<void(const QString&)>;

void openWithDesktop(const QUrl& url, const std::function<void(bool opened)>& done);
void copyToClipboard(const QString& text);

void rate(const Opener& open = openWithDesktop, const Clipboard& copy = copyToClipboard);
void reportBug(const Opener& open = openWithDesktop, const Clipboard& copy = copyToClipboard);

// The mailto text for a subject and body, with every "+" written as "%20".
QString mailText(const QString& subject, const QString& body);

} // namespace Feedback

} // namespace pendra
