#pragma once

#include "SettingsStore.h"

#include <QSettings>

// The settings of systems without a registry: one INI file, one group per
// section, every value plain text.
class IniSettingsStore : public SettingsStore
{
public:
    explicit IniSettingsStore(const QString &filePath);

    PaintResult readText(const QString &section, const QString &name, QString &text) override;
    PaintResult writeText(const QString &section, const QString &name, const QString &text) override;

    QString filePath() const { return m_settings.fileName(); }

private:
    // About what the file holds once written.
    qint64 bytesToWrite() const;

    QSettings m_settings;
};
