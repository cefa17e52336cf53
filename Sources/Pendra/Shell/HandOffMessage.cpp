#include "HandOffMessage.h"

#include <QtGlobal>

namespace pendra {

namespace {

const QByteArray command = QByteArrayLiteral("open-studio");

bool validToken(const QByteArray& token)
{
    if (token.isEmpty() || token.size() > HandOffMessage::longestLine - command.size() - 2)
        return false;
    for (const char c : token) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!plain && !QByteArray("._:/+=@-").contains(c))
            return false;
    }
    return true;
}

} // namespace

QByteArray HandOffMessage::openStudio(const QByteArray& token)
{
    if (!validToken(token))
        return command + '\n';
    return command + ' ' + token + '\n';
}

std::optional<QByteArray> HandOffMessage::studioToken(const QByteArray& line)
{
    if (!line.endsWith('\n') || line.size() > longestLine)
        return std::nullopt;
    const QByteArray body = line.chopped(1);
    if (body == command)
        return QByteArray();
    if (!body.startsWith(command + ' '))
        return std::nullopt;
    const QByteArray token = body.mid(command.size() + 1);
    if (!validToken(token))
        return std::nullopt;
    return token;
}

QByteArray HandOffMessage::launchToken()
{
    // Wayland desktops hand out an activation token, X11 ones a startup id.
    QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    if (token.isEmpty())
        token = qgetenv("DESKTOP_STARTUP_ID");
    return token;
}

} // namespace pendra
