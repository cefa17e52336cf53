#pragma once

#include "Charm.h"

#include <QAbstractButton>

namespace pendra {

class AppModel;

// One charm of a set's grid: its picture and name on a faint rounded tile,
// with a check mark while it hangs. A press hangs a new copy, or takes down
// every copy when it already hangs.
class CharmTile : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int pictureSide = 44;

    CharmTile(AppModel& model, const Charm& charm, QWidget* parent = nullptr);

    const Charm& charm() const { return m_charm; }
    // Whether the check mark is shown, as of the last refresh.
    bool showsCheckmark() const { return m_hanging; }
    // Reads the check mark and tooltip from the model.
    void refresh();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void press();
    QStringList nameLines(int width) const;

    AppModel& m_model;
    Charm m_charm;
    QString m_picture;
    bool m_hanging = false;
};

} // namespace pendra
