#pragma once

#include <QObject>
#include <QRect>

#include <cstdint>

struct wl_output;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;

struct wl_output_listener;
struct zxdg_output_v1_listener;

namespace pendra {

// One monitor as the compositor describes it: its size in logical points
// (from xdg-output where offered, else its mode over its scale) and its
// integer scale.
class WaylandOutput : public QObject {
    Q_OBJECT

public:
    WaylandOutput(wl_output* output, uint32_t name);
    ~WaylandOutput() override;
    WaylandOutput(const WaylandOutput&) = delete;
    WaylandOutput& operator=(const WaylandOutput&) = delete;

    void describeWith(zxdg_output_manager_v1* manager);

    wl_output* handle() const { return m_output; }
    uint32_t name() const { return m_name; }
    int scale() const { return m_scale; }
    QRect logical() const;
    bool ready() const { return m_done; }

signals:
    void changed();

private:
    static const wl_output_listener outputListener;
    static const zxdg_output_v1_listener xdgListener;

    wl_output* m_output;
    uint32_t m_name;
    zxdg_output_v1* m_xdg = nullptr;
    QSize m_mode;
    QPoint m_position;
    QSize m_logicalSize;
    int m_scale = 1;
    bool m_done = false;
};

} // namespace pendra
