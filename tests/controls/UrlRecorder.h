#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

// Stands in for the desktop while alive: every URL the code asks the desktop
// to open for one of the given schemes is recorded instead of opened.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    explicit UrlRecorder(QStringList schemes)
        : m_schemes(std::move(schemes))
    {
        for (const QString &scheme : m_schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlRecorder() override
    {
        for (const QString &scheme : m_schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }

    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }

private:
    QStringList m_schemes;
};
