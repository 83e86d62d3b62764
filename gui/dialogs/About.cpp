#include "gui/dialogs/About.h"
#include "ui_about.h"

About::About(QWidget *parent) : QDialog(parent), ui(new Ui::About)
{
    ui->setupUi(this);
    setWindowModality(Qt::ApplicationModal);
    resize(393, 321);
    QFont notes(QStringLiteral("Times"), 10, 87);
    ui->NoteMessage->setFont(notes);
    connect(ui->Button_Close, &QPushButton::clicked, this, &QWidget::close);
    LanguageDisplayChinese();
}

About::~About() = default;

void About::setNotes(const QString &version, const QString &release, const QString &change)
{
    ui->NoteMessage->clear();
    ui->NoteMessage->append(version);
    ui->NoteMessage->append(release);
    ui->NoteMessage->append(change);
}

void About::LanguageDisplayChinese()
{
    setWindowTitle(QStringLiteral("关于"));
    ui->label_Ver->setText(QStringLiteral("软件版本: 1.1.0"));
    ui->label_Data->setText(QStringLiteral("开发日期: 2022-01-12"));
    ui->ReleaseNotes->setTitle(QStringLiteral("版本信息"));
    ui->Button_Close->setText(QStringLiteral("关闭"));
    setNotes(QStringLiteral("软件版本: 1.1.0:"), QStringLiteral("    产品发布"),
             QStringLiteral("    修改IP发现策略，自动绑定所有网络设计，修复找不到传感器的Bug"));
}

void About::LanguageDisplayEnglish()
{
    setWindowTitle(QStringLiteral("About"));
    ui->label_Ver->setText(QStringLiteral("Version: 1.1.0"));
    ui->label_Data->setText(QStringLiteral("Data: 2022-01-12"));
    ui->ReleaseNotes->setTitle(QStringLiteral("Release Notes"));
    ui->Button_Close->setText(QStringLiteral("关闭"));
    setNotes(QStringLiteral("Version: 1.1.0:"), QStringLiteral("    Product Release"),
             QStringLiteral("    Modify the IP discovery strategy, automatically bind all network "
                            "designs, and repair the bug that cannot find the sensor"));
}

void About::LanguageDisplayJapanese() {}
