// The two languages: every text the user reads switches, Qt's own dialogs
// follow, and the real boxes keep their order and open over the window.

#include "core/link/SERIAL_COMM.h"
#include "gui/LanguageTexts.h"
#include "gui/MainWindow.h"
#include "gui/UiPrompt.h"
#include "gui/dialogs/About.h"
#include "gui/dialogs/Create.h"
#include "gui/dialogs/EthnertSetting.h"
#include "gui/dialogs/SettingsDialog.h"
#include "tests/gui/GuiTestKit.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

namespace {

// Every text a user can read in a window and its dialogs: widget captions,
// tab and tool-box titles, combo items, actions and menus, dock titles and
// table headers, as "objectName: text".
QStringList visibleTexts(const QList<QWidget *> &windows)
{
    QStringList out;
    const auto add = [&out](const QObject *o, const QString &t) {
        if (!t.trimmed().isEmpty())
            out << o->objectName() + QStringLiteral(": ") + t;
    };
    for (QWidget *top : windows) {
        QList<QWidget *> all = top->findChildren<QWidget *>();
        all.prepend(top);
        for (QWidget *w : all) {
            if (auto *l = qobject_cast<QLabel *>(w); l && l->pixmap(Qt::ReturnByValue).isNull())
                add(l, l->text());
            if (auto *b = qobject_cast<QAbstractButton *>(w)) {
                add(b, b->text());
                add(b, b->toolTip());
            }
            if (auto *g = qobject_cast<QGroupBox *>(w))
                add(g, g->title());
            if (auto *d = qobject_cast<QDockWidget *>(w))
                add(d, d->windowTitle());
            if (auto *tw = qobject_cast<QTabWidget *>(w))
                for (int i = 0; i < tw->count(); ++i)
                    add(tw, tw->tabText(i));
            if (auto *c = qobject_cast<QComboBox *>(w))
                for (int i = 0; i < c->count(); ++i)
                    add(c, c->itemText(i));
            if (auto *m = qobject_cast<QMenu *>(w))
                add(m, m->title());
            if (auto *h = qobject_cast<QHeaderView *>(w); h && h->model())
                for (int i = 0; i < h->count(); ++i)
                    add(h, h->model()->headerData(i, h->orientation()).toString());
            for (QAction *a : w->actions())
                if (!a->isSeparator())
                    add(a, a->text());
        }
    }
    out.removeDuplicates();
    return out;
}

bool hasChinese(const QString &t)
{
    for (const QChar c : t)
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF)
            return true;
    return false;
}

bool qtChineseInstalled()
{
    return QFile::exists(LanguageTexts::qtTranslationsPath() + QStringLiteral("/qtbase_zh_CN.qm"));
}

} // namespace

class TestLanguages : public QObject
{
    Q_OBJECT
    PrivateSettings m_settings;

private Q_SLOTS:
    void init() { m_settings.clear(); }

    void languageSettingOtherThanOneIsChinese_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("language");
        QTest::newRow("1") << QVariant(1) << 1;
        QTest::newRow("2") << QVariant(2) << 0;
        QTest::newRow("-1") << QVariant(-1) << 0;
        QTest::newRow("text") << QVariant("English") << 0;
    }
    void languageSettingOtherThanOneIsChinese()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, language);
        QSettings("ZoneSensorTool", "Parameters").setValue("Language", stored);
        Tool t;
        QCOMPARE(t.window.language(), language);
    }

    void languageSwitchRetitlesInPlace()
    {
        Tool t;
        Ui::MainWindow *ui = t.window.form();
        QStringList missing;
        QVERIFY(LanguageTexts::checkNames(&t.window, &missing) > 150);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(' ')));
        // Start-up relabels the operation modes.
        QCOMPARE(ui->VehicleOptionMode->itemText(0), QStringLiteral("操作模式0"));
        ui->Para_ControlMode->setCurrentIndex(5);
        ui->VehicleOptionMode->setCurrentIndex(5);
        ui->Set_ScanFilterLevel->setCurrentIndex(2);
        auto *newButton = t.window.findChild<QToolButton *>("NewToolButton");
        ui->English->trigger();
        // Items without an English text keep their Chinese one; indexes stay.
        // The lamp groups and the scan control read English too.
        QCOMPARE((QStringList{ui->File->title(), ui->WriteAllSetting->text(),
                              ui->EditionControlDock->windowTitle(), ui->AreaEditTab->tabText(1),
                              ui->label_RS485IDAddress->text(), ui->VehicleOptionMode->itemText(4),
                              ui->VehicleOptionMode->itemText(5), ui->Para_ControlMode->itemText(5),
                              ui->label_InputPorts->text(), ui->label_OutputPorts->text(),
                              ui->Set_SensorSleepMode->itemText(1), ui->Laser30->text(),
                              newButton->toolTip(), t.window.windowTitle()}),
                 (QStringList{"File", "Write All Setting", "Edition Controls", "Out 2",
                              "RS485 ID(1-127)", "Type 4", "操作模式5", "CANOpen协议控制", "Inputs",
                              "Outputs", "Sleep", "ZQ-30xx", "New", "Corvane"}));
        QCOMPARE(ui->Para_ControlMode->currentIndex(), 5);
        QCOMPARE(ui->VehicleOptionMode->currentIndex(), 5);
        // The filter levels as the sensor dock names them.
        for (int i = 0; i < 4; ++i)
            QCOMPARE(ui->Set_ScanFilterLevel->itemText(i), ui->Para_ScanFilterLevel->itemText(i));
        QCOMPARE(ui->Set_ScanFilterLevel->currentIndex(), 2);
        ui->Chinese->trigger();
        QCOMPARE(
            (QStringList{ui->File->title(), newButton->toolTip(), ui->Para_ControlMode->itemText(1),
                         ui->label_OutputPorts->text(), ui->Set_ScanFilterLevel->itemText(2)}),
            (QStringList{"文件", "新建文件", "RS323通讯控制", "输出", "中等"}));
        QCOMPARE(ui->Set_ScanFilterLevel->currentIndex(), 2);
        QCOMPARE(ui->Para_ControlMode->currentIndex(), 5);
    }

    void languageWalk()
    {
        Tool t;
        const QList<QWidget *> windows{&t.window, t.window.about(), t.window.welcome(),
                                       t.window.serialSettings(), t.window.ethernetSettings()};
        // Texts the English switch has none for keep their Chinese text.
        const QStringList keepChinese{
            QStringLiteral("VehicleOptionMode: 操作模式5"),
            QStringLiteral("CoverageMode: 操作模式5"),
            QStringLiteral("Para_ControlMode: CANOpen协议控制"),
            // Language names, the close button and the Ethernet address label
            // read the same in both languages.
            QStringLiteral("Chinese: 简体中文"),
            QStringLiteral("Button_Close: 关闭"),
            QStringLiteral("label_IPAddress: 传感器以太网IP地址"),
        };
        t.window.form()->English->trigger();
        const QStringList english = visibleTexts(windows);
        QStringList wrong;
        for (const QString &text : english)
            if (hasChinese(text) && !keepChinese.contains(text))
                wrong << text;
        QVERIFY2(wrong.isEmpty(), qPrintable("still Chinese in English:\n" + wrong.join('\n')));

        // Back in Chinese nothing English stays behind, apart from names that
        // are the same in both languages.
        t.window.form()->Chinese->trigger();
        const QStringList chinese = visibleTexts(windows);
        const QRegularExpression sameInBoth(
            QStringLiteral("^[^:]*: ([-+0-9 "
                           ".,:/"
                           "()%A-Z_xX°]*|ZQ-\\d0xx|Chinese|English|Corvane.*|.*(Baud|ID|CAN|RS\\d|"
                           "IO|Hz|mm|ms|V|deg).*)$"));
        // Widgets whose texts are the same in both languages: the serial line
        // settings, port names, the about dialog's name and address, the
        // range signs.
        const QStringList fixedWidgets{QStringLiteral("baudRateBox"),
                                       QStringLiteral("parityBox"),
                                       QStringLiteral("flowControlBox"),
                                       QStringLiteral("comboBox_Serial"),
                                       QStringLiteral("serialPortInfoListBox"),
                                       QStringLiteral("label_Title"),
                                       QStringLiteral("label_Web"),
                                       QStringLiteral("label_SteerDgreeTo"),
                                       QStringLiteral("label_VehicleSpeedTo")};
        for (const QString &text : chinese)
            if (!hasChinese(text) && english.contains(text) && !sameInBoth.match(text).hasMatch() &&
                !fixedWidgets.contains(text.section(QLatin1Char(':'), 0, 0)))
                wrong << text;
        QVERIFY2(wrong.isEmpty(), qPrintable("still English in Chinese:\n" + wrong.join('\n')));
    }

    void qtDialogsFollowTheLanguage()
    {
        if (!qtChineseInstalled())
            QSKIP("Qt's Chinese catalogue qtbase_zh_CN.qm is not installed");
        Tool t;
        t.window.show();
        // What a person sees in Qt's own box and file dialog, each opened
        // for real and closed from a timer.
        const auto standardButtons = [&t] {
            QStringList seen;
            QTimer::singleShot(0, [&seen] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                QVERIFY(box);
                for (QMessageBox::StandardButton b : {QMessageBox::Ok, QMessageBox::Cancel})
                    seen << box->button(b)->text().remove(QLatin1Char('&'));
                box->reject();
            });
            QMessageBox box(QMessageBox::Question, "t", "?", QMessageBox::Ok | QMessageBox::Cancel,
                            &t.window);
            box.exec();
            return seen;
        };
        const auto fileDialog = [&t] {
            QStringList seen;
            QFileDialog dialog(&t.window);
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            QTimer::singleShot(0, [&seen, &dialog] {
                seen << dialog.findChild<QLabel *>("lookInLabel")->text();
                seen << dialog.findChild<QDialogButtonBox *>("buttonBox")
                            ->button(QDialogButtonBox::Cancel)
                            ->text()
                            .remove(QLatin1Char('&'));
                dialog.reject();
            });
            dialog.exec();
            return seen;
        };
        QCOMPARE(t.window.language(), 0);
        QCOMPARE(standardButtons(), (QStringList{"确定", "取消"}));
        QCOMPARE(fileDialog(), (QStringList{"查找范围：", "取消"}));
        t.window.form()->English->trigger();
        QCOMPARE(standardButtons(), (QStringList{"OK", "Cancel"}));
        QCOMPARE(fileDialog(), (QStringList{"Look in:", "Cancel"}));
        // Back and forth: the catalogue is installed once more, not twice.
        t.window.form()->Chinese->trigger();
        t.window.form()->Chinese->trigger();
        QCOMPARE(standardButtons(), (QStringList{"确定", "取消"}));
        t.window.form()->English->trigger();
        QCOMPARE(standardButtons(), (QStringList{"OK", "Cancel"}));
    }

    void boxesOpenCentredOnTheWindow_data()
    {
        QTest::addColumn<bool>("fromLink");
        QTest::addColumn<int>("left"); // of the window
        QTest::newRow("close-question") << false << 10;
        QTest::newRow("link-message") << true << 10;
        // A window dragged mostly off the screen: the box stays on it.
        QTest::newRow("window-off-screen") << true << -600;
    }
    void boxesOpenCentredOnTheWindow()
    {
        QFETCH(bool, fromLink);
        QFETCH(int, left);
        Tool t;
        t.window.show();
        // Off the screen's centre, so that a box centred on the screen shows.
        t.window.setGeometry(left, 20, 700, 480);
        QVERIFY(QTest::qWaitForWindowExposed(&t.window));
        QRect seen;
        QWidget *parent = nullptr;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen = box->frameGeometry();
            parent = box->parentWidget();
            box->buttons().last()->click();
        });
        if (fromLink) {
            emit t.window.link()->MessageSignal(SERIAL_COMM::Warning, "Warning", "Time out");
        } else {
            t.store.modified = true;
            QVERIFY(!t.window.close()); // Cancel
        }
        QVERIFY(seen.isValid());
        QCOMPARE(parent, &t.window);
        const QRect room = t.window.screen()->availableGeometry();
        if (left < 0) {
            QCOMPARE(seen.left(), room.left());
            return;
        }
        const QPoint off = seen.center() - t.window.frameGeometry().center();
        QVERIFY2(off.manhattanLength() <= 2,
                 qPrintable(QString("box centre off by %1,%2").arg(off.x()).arg(off.y())));
    }

    void boxesKeepTheirButtonOrder()
    {
        // A real box: the buttons stand in the order given, the first is the
        // default, Escape answers with the last.
        QStringList seen;
        bool defaultFirst = false;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            QList<QAbstractButton *> buttons = box->buttons();
            std::sort(buttons.begin(), buttons.end(), [](QAbstractButton *a, QAbstractButton *b) {
                return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
            });
            for (QAbstractButton *b : buttons)
                seen << b->text();
            defaultFirst = box->defaultButton() == buttons.value(0);
            QTest::keyClick(box, Qt::Key_Escape);
        });
        UiPrompt::Box box;
        box.title = "警告";
        box.text = "?";
        box.buttons = QStringList{"保存", "关闭", "取消"};
        QCOMPARE(UiPrompt::show(nullptr, box), 2);
        QCOMPARE(seen, (QStringList{"保存", "关闭", "取消"}));
        QVERIFY(defaultFirst);
    }
};

QTEST_MAIN(TestLanguages)
#include "tst_languages.moc"
