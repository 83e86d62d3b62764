#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class About;
}

// The program's name, version and release notes.
class About : public QDialog
{
    Q_OBJECT
public:
    explicit About(QWidget *parent = nullptr);
    ~About() override;

    Ui::About *form() const { return ui.get(); }

public Q_SLOTS:
    void LanguageDisplayChinese();
    void LanguageDisplayEnglish();
    void LanguageDisplayJapanese();

private:
    void setNotes(const QString &version, const QString &release, const QString &change);

    std::unique_ptr<Ui::About> ui;
};
