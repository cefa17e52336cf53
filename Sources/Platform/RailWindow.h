#pragma once

#include <QImage>
#include <QWidget>

#include <memory>

namespace pendra {

class FrameInputShape;
class PanelContent;

// The rail's top-level window: frameless, translucent, above other windows,
// never focused, on every desktop. It only hands its content a surface to
// paint on and the left button's presses, drags and releases.
class RailWindow : public QWidget {
    Q_OBJECT

public:
    RailWindow();
    ~RailWindow() override;

    void setContent(PanelContent* content) { m_content = content; }
    void orderIn();
    void orderOut();
    bool ignoresMouse() const { return m_ignoresMouse; }
    void setIgnoresMouse(bool ignore);
    void setPanelGeometry(const QRect& frame);
    // The frame last asked for, in global coordinates.
    const QRect& panelGeometry() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void applyInputShape();

    PanelContent* m_content = nullptr;
    std::unique_ptr<FrameInputShape> m_frameShape;
    QRect m_frame;
    QImage m_buffer;
    bool m_ignoresMouse = true;
    bool m_pressed = false;
};

} // namespace pendra
