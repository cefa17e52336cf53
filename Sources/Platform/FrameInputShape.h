#pragma once

#include <QAbstractNativeEventFilter>

class QWindow;

namespace pendra {

// Reparenting window managers (openbox, for one) put the panel inside a frame
// window of their own. An empty input shape on the panel alone then lets
// clicks fall onto that frame instead of the windows below, so the same shape
// goes on every frame around the panel, and again whenever it is reparented.
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

    QWindow* m_window;
    bool m_passThrough = true;
};

} // namespace pendra
