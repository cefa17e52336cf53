#pragma once

#include "Host.h"
#include "InkedArea.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace pendra {

// What the hosts of real desktops share: timers and the clock on Qt's event
// loop, the desktop's sound theme, pictures from disk, and painting the
// panel's content into an image of device pixels.
class DesktopHost : public QObject, public Host {
    Q_OBJECT

public:
    DesktopHost();

    void onScreensChanged(std::function<void()> callback) override;
    void repeat(double interval, double tolerance, std::function<void()> callback) override;
    void after(double delay, std::function<void()> task) override;
    double mediaTime() const override;
    std::unique_ptr<Sound> sound(const QString& name) override;
    std::optional<QImage> loadImage(const QString& path) override;

protected:
    void screensChanged();
    // Paints an area of device pixels of an image that holds the whole panel
    // as last shown, and answers it in points. inked keeps count of where
    // that picture is not transparent.
    static QRectF paint(QImage& image, PanelContent* content, const QRect& pixels, double density, InkedArea& inked);
    static int milliseconds(double seconds);

private:
    QTimer m_repeat;
    std::function<void()> m_repeatCallback;
    std::function<void()> m_screensCallback;
    QElapsedTimer m_clock;
};

} // namespace pendra
