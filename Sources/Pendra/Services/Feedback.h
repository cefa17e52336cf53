#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace pendra {

// The product page and the pre-filled bug report. When neither can be
// opened, the address goes to the clipboard so the user can paste it.
namespace Feedback {

using Opener = std::function<bool(const QUrl&)>;
using Clipboard = std::function<void(const QString&)>;

bool openWithDesktop(const QUrl& url);
void copyToClipboard(const QString& text);

void rate(const Opener& open = openWithDesktop, const Clipboard& copy = copyToClipboard);
void reportBug(const Opener& open = openWithDesktop, const Clipboard& copy = copyToClipboard);

// The mailto text for a subject and body, with every "+" written as "%20".
QString mailText(const QString& subject, const QString& body);

} // namespace Feedback

} // namespace pendra
