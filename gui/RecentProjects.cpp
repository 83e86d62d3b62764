#include "gui/RecentProjects.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {
const char kKey[] = "RecentProjects";
}

RecentProjects::RecentProjects(const QString &organisation, const QString &application)
    : m_organisation(organisation), m_application(application)
{
    QSettings settings(m_organisation, m_application);
    const QStringList stored = settings.value(QLatin1String(kKey)).toStringList();
    for (const QString &f : stored)
        if (!f.isEmpty() && !m_files.contains(f) && m_files.size() < kLimit)
            m_files << f;
}

QString RecentProjects::folder() const
{
    return m_files.isEmpty() ? QString() : QFileInfo(m_files.first()).absolutePath();
}

void RecentProjects::add(const QString &path)
{
    const QString file = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    m_files.removeAll(file);
    m_files.prepend(file);
    while (m_files.size() > kLimit)
        m_files.removeLast();
    store();
}

void RecentProjects::remove(const QString &path)
{
    if (m_files.removeAll(path) > 0)
        store();
}

void RecentProjects::store() const
{
    QSettings settings(m_organisation, m_application);
    settings.setValue(QLatin1String(kKey), m_files);
}
