#include "app/dialogs/AboutBox.h"
#include "app/dialogs/JpegImage.h"
#include "app/dialogs/ProgressPopup.h"
#include "app/dialogs/SettingsDialog.h"
#include "common/IniFile.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

using namespace torvane;
using namespace torvane::app;

class DialogsTest : public QObject {
    Q_OBJECT

    static SettingsChoosers Answering(std::optional<QString> folder, std::optional<QString> program,
                                      QStringList* titles = nullptr) {
        SettingsChoosers c;
        c.browseForFolder = [folder, titles](QWidget*, const QString& title) {
            if (titles) titles->append(title);
            return folder;
        };
        c.chooseProgram = [program, titles](QWidget*, const QString& name) {
            if (titles) titles->append(name);
            return program;
        };
        return c;
    }

private slots:
    void settingsDialogShowsDefaultsOnTheEditorPage() {
        TMemIniFile ini("");
        TfrmNastaveni dlg(ini, Answering(std::nullopt, std::nullopt));
        QCOMPARE(dlg.windowTitle(), QString("Nastavení"));
        QCOMPARE(dlg.pages->count(), 3);
        QCOMPARE(dlg.pages->tabText(1), QString("ASEM-51"));
        QCOMPARE(dlg.pages->currentIndex(), 0);
        QVERIFY(dlg.chkEngKey->isChecked());
        QCOMPARE(dlg.spnFontSize->value(), 10);
        QCOMPARE(dlg.spnFontSize->minimum(), 6);
        QCOMPARE(dlg.spnFontSize->maximum(), 20);
        QCOMPARE(dlg.edTabs->text(), QString("15 21 60"));
        QVERIFY(dlg.asem51.rbHex->isChecked());
        QVERIFY(!dlg.avrasm.rbBin->isChecked());
    }

    void settingsDialogSplitsIncludeListsAndOkWritesEveryKey() {
        TMemIniFile ini("");
        ini.SetText("[ASEM51]\nLib=C:\\A;;C:\\B\nBin=1\n[AvrAsm32]\nLib=/x;/y;\n");
        QStringList asked;
        TfrmNastaveni dlg(ini, Answering(QString("/usr/share/avra"), QString("/opt/asemw"), &asked));
        QCOMPARE(dlg.asem51.lstLib->count(), 1);
        QCOMPARE(dlg.asem51.lstLib->item(0)->text(), QString("C:\\A"));
        QVERIFY(dlg.asem51.rbBin->isChecked());
        QCOMPARE(dlg.avrasm.lstLib->count(), 2);

        dlg.avrasm.btnPridat->click();
        dlg.asem51.btnBrowse->click();
        dlg.btnData->click();
        QCOMPARE(asked, (QStringList{"Adresář s knihovnami", "asemw", "Adresář s projekty"}));
        dlg.avrasm.lstLib->setCurrentRow(0);
        dlg.avrasm.btnSmazat->click();
        dlg.spnFontSize->setValue(14);
        dlg.chkEngKey->setChecked(false);
        dlg.btnOk->click();

        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(ini.ReadString("AvrAsm32", "Lib", ""), std::string("/y;/usr/share/avra;"));
        QCOMPARE(ini.ReadString("ASEM51", "Lib", ""), std::string("C:\\A;"));
        QCOMPARE(ini.ReadString("ASEM51", "Path", ""), std::string("/opt/asemw"));
        QCOMPARE(ini.ReadString("ASEM51", "Bin", ""), std::string("1"));
        QCOMPARE(ini.ReadString("AvrAsm32", "Bin", ""), std::string("0"));
        QCOMPARE(ini.ReadString("Paths", "Data", ""), std::string("/usr/share/avra"));
        QCOMPARE(ini.ReadInteger("Editor", "FontSize", 0), 14);
        QCOMPARE(ini.ReadString("Editor", "EngKey", ""), std::string("0"));
        QCOMPARE(ini.ReadString("Editor", "TabColumns", ""), std::string("15 21 60"));
    }

    void settingsDialogStornoWritesNothing() {
        TMemIniFile ini("");
        ini.SetText("[ASEM51]\nLib=/a;\n");
        const std::string before = ini.GetText();
        TfrmNastaveni dlg(ini, Answering(QString("/b"), std::nullopt));
        dlg.asem51.btnPridat->click();
        QCOMPARE(dlg.asem51.lstLib->count(), 2);
        dlg.asem51.btnSmazat->click(); // nothing selected: nothing deleted
        QCOMPARE(dlg.asem51.lstLib->count(), 2);
        dlg.btnStorno->click();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(ini.GetText(), before);
    }

    void progressPopupDisablesTheMainWindowWhileShown() {
        QMainWindow main;
        main.resize(640, 480);
        main.show();
        TfrmDialog popup(&main);
        popup.ZobrazText("Překládám ...");
        QVERIFY(!main.isEnabled());
        QVERIFY(popup.isVisible());
        QVERIFY(popup.pgBar->isHidden());
        QCOMPARE(popup.height(), 65);
        QCOMPARE(popup.lblText->text(), QString("Překládám ..."));
        popup.ZobrazProgress("Import", 5, 50);
        QVERIFY(!popup.pgBar->isHidden());
        QCOMPARE(popup.pgBar->value(), 5);
        QCOMPARE(popup.pgBar->maximum(), 50);
        QCOMPARE(popup.height(), 90);
        popup.Zavrit();
        QVERIFY(main.isEnabled());
        QVERIFY(!popup.isVisible());
    }

    void jpegDecodingTakesGoodDataAndRefusesDamagedData() {
        QFile f(TORVANE_LOGO_JPEG);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QByteArray bytes = f.readAll();
        auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
        QImage logo = DecodeJpeg(data, bytes.size());
        QCOMPARE(logo.size(), QSize(400, 220));
        QVERIFY(DecodeJpeg(data, 100).isNull() || DecodeJpeg(data, 100).width() == 400);
        QByteArray garbage(5000, 'x');
        QVERIFY(
            DecodeJpeg(reinterpret_cast<const unsigned char*>(garbage.constData()), garbage.size()).isNull());
        QVERIFY(DecodeJpeg(nullptr, 0).isNull());
    }

    void aboutBoxWithoutLogoShowsLabelsAndLinksOpenTheirAddresses() {
        // The test program's folder has no resource library.
        QVERIFY(LoadLogoFromResourceLibrary().isNull());
        TfrmOprog box(QImage{});
        QStringList opened;
        box.openUrl = [&](const QString& url) { opened << url; };
        box.show();
        QCOMPARE(box.lblVer->text(), QString("Verze: 1.0.0 beta"));
        QVERIFY(box.ImgLogo->pixmap().isNull());
        QTest::mouseClick(box.lblEmail, Qt::LeftButton);
        QTest::mouseClick(box.lblWeb, Qt::LeftButton);
        QCOMPARE(opened, (QStringList{QString("mailto:") + TfrmOprog::kEmail, TfrmOprog::kWeb}));
        QVERIFY(box.isVisible());
        QTest::keyClick(&box, Qt::Key_Space);
        QVERIFY(!box.isVisible());
    }

    void aboutBoxLinkHoverTurnsRedAndThePictureTurnsItBack() {
        TfrmOprog box(QImage(400, 220, QImage::Format_RGB888));
        box.show();
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(box.lblWeb, &enter);
        QVERIFY(box.lblWeb->styleSheet().contains("#ff0000"));
        QVERIFY(box.lblWeb->styleSheet().contains("underline"));
        QEnterEvent picture(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(box.ImgLogo, &picture);
        QVERIFY(box.lblWeb->styleSheet().contains("#ffff00"));
        QTest::mouseClick(box.ImgLogo, Qt::LeftButton);
        QVERIFY(!box.isVisible());
    }
};

QTEST_MAIN(DialogsTest)
#include "Dialogs_test.moc"
