#pragma once

#include <QAbstractNativeEventFilter>

#include <cstdint>

struct xcb_connection_t;

class QWindow;

namespace pendra {

// Sets the panel's input area on X11: empty while clicks should pass through,
// the whole window otherwise. Reparenting window managers (openbox, for one)
// put the panel inside a frame window of their own, and an empty input shape
// on the panel alone would let clicks fall onto that frame instead of the
// windows below, so the same shape goes on every frame around the panel, and
// again whenever it is reparented.
class FrameInputShape : public QAbstractNativeEventFilter {
public:
    explicit FrameInputShape(QWindow* window);
    ~FrameInputShape() override;
    FrameInputShape(const FrameInputShape&) = delete;
    FrameInputShape& operator=(const FrameInputShape&) = delete;

    void setPassThrough(bool passThrough);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void apply();
    void setShape(xcb_connection_t* connection, uint32_t window) const;

    QWindow* m_window;
    bool m_passThrough = true;
};

} // namespace pendra
