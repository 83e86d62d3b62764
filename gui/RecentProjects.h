#pragma once

#include <QString>
#include <QStringList>

// The projects opened or saved last, newest first, kept in the settings
// between runs; and the folder the file dialogs start in.
class RecentProjects
{
public:
    static constexpr int kLimit = 5;

    RecentProjects(const QString &organisation, const QString &application);

    QStringList files() const { return m_files; }
    // The folder of the newest file, or an empty string when there is none.
    QString folder() const;
    void add(const QString &path);
    void remove(const QString &path);

private:
    void store() const;

    QString m_organisation;
    QString m_application;
    QStringList m_files;
};
