#pragma once

#include "Store.h"

#include <QSettings>

#include <functional>

namespace pendra {

// A store in one INI file under the user's XDG config folder.
class SettingsStore : public Store {
public:
    // The user's own settings.
    static QString defaultPath();
    // The separate settings used by the preview, so it never touches the user's.
    static QString previewPath();

    explicit SettingsStore(const QString& path);

    std::optional<QByteArray> data(const QString& key) const override;
    bool setData(const QString& key, const QByteArray& value, QString* error = nullptr) override;
    bool clear(QString* error = nullptr) override;

    QString path() const { return m_path; }

private:
    // Applies change to the file; growth is the most it can add to the file.
    bool write(const std::function<void(QSettings&)>& change, qint64 growth, QString* error);

    QString m_path;
};

} // namespace pendra
