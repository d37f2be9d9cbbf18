// The Data menu's import of the old tables: its text by language, the
// window with the faults or the summary, the confirmation, the refusal of a
// database with data.
#include "fixture_paradox.h"
#include "fixture_windows.h"

#include "app/form1.h"
#include "app/globals.h"
#include "dialogs/legacyimport.h"
#include "model/katalog.h"
#include "model/messages.h"
#include "platform/db/dbcontrols.h"
#include "platform/ui/selector.h"
#include "views/objectives.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <filesystem>

namespace {

// The windows' folder questions: answered with the next folder, each
// recorded with its caption.
class ScriptedFolders {
public:
    explicit ScriptedFolders(TestWindows &windows) : names(windows.services().files), m_services(windows.services()) {}
    QStringList &names;
    QStringList asked() const
    {
        QStringList captions;
        for (const FileRequest &r : m_services.fileRequests())
            captions << (r.mode == FileRequest::Mode::Folder ? r.caption : QStringLiteral("(not a folder)"));
        return captions;
    }

private:
    TestServices &m_services;
};

QByteArray digest(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256) : QByteArray();
}

// The Objectives page's display of the financial perspective's yearly values.
void displayYear(const QString &year)
{
    ObjectivesPage *page = Form1->objectivesPage();
    page->combobox1->choose(0);
    page->ComboBox2->choose(6);
    page->ComboBox3->choose(page->ComboBox3->items().indexOf(year));
    page->Button2->click();
}

LegacyImportDialog *legacyDialog() { return Form1->findChild<LegacyImportDialog *>(); }

QStringList rowTexts(QTableWidget *table, int row)
{
    QStringList texts;
    for (int c = 0; c < table->columnCount(); ++c)
        texts << table->item(row, c)->text();
    return texts;
}

} // namespace

class TestLegacyDialog : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_folders = 0;

    QString oldFolder()
    {
        const QString folder = m_dir.filePath(QStringLiteral("old%1").arg(++m_folders));
        QDir().mkpath(folder);
        OldTables::writeFigures(folder, 2003, 2008);
        OldTables::writeMeasures(folder, "ma\xc3\x9fnahmen", OldTables::sampleMeasures(5), 1252);
        return folder;
    }

private slots:
    void cleanupTestCase() { std::filesystem::remove_all(QFile::encodeName(m_dir.path()).toStdString()); }

    void menuItemByLanguage_data()
    {
        QTest::addColumn<int>("sprache");
        QTest::addColumn<QString>("text");
        QTest::newRow("no choice") << -1 << "Import old tables...";
        QTest::newRow("English") << 0 << "Import old tables...";
        QTest::newRow("German") << 1 << "Alte Tabellen importieren...";
    }
    void menuItemByLanguage()
    {
        QFETCH(int, sprache);
        QFETCH(QString, text);
        TestWindows f;
        if (sprache >= 0)
            f.continueWith(sprache, 1);
        QVERIFY(Form1->Datei1->actions().contains(Form1->legacyImportAction));
        QCOMPARE(Form1->legacyImportAction->text(), text);
        ScriptedFolders folders(f);
        Form1->legacyImportAction->trigger();
        // German until English is chosen
        QCOMPARE(folders.asked(), QStringList{Messages::legacy(Messages::Legacy::FolderTitle, sprache == 0)});
        QVERIFY(!legacyDialog());   // nothing chosen, nothing done
    }

    void summaryThenWriteOnConfirmation()
    {
        TestWindows f;
        f.continueWith(1, 1);
        displayYear(QStringLiteral("2005"));
        QCOMPARE(Form1->objectivesPage()->DBText7->text(), QString());
        ScriptedFolders folders(f);
        folders.names << oldFolder();
        Form1->legacyImportAction->trigger();
        QPointer<LegacyImportDialog> dialog = legacyDialog();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY2(dialog->summary->text().contains(QStringLiteral("5 Maßnahmen")), qPrintable(dialog->summary->text()));
        QCOMPARE(dialog->list->rowCount(), 14);
        QCOMPARE(rowTexts(dialog->list, 2).mid(0, 3), (QStringList{"kz_liqui", "KZ_LIQUI.DB", "6"}));
        QVERIFY(dialog->notes->text().contains(QLatin1String("Bemerkung")));
        QVERIFY(dialog->writeButton->isVisible());

        const QByteArray before = digest(f.db().path());
        f.asker().answer(Asker::Answer::Cancel);
        dialog->writeButton->click();
        QCOMPARE(f.asker().questions().size(), 1);
        QCOMPARE(f.asker().questions().first().text, QStringLiteral("Sollen die alten Tabellen wirklich importiert werden?"));
        QCOMPARE(digest(f.db().path()), before);
        QVERIFY(dialog->isVisible() && !dialog->hasWritten());

        f.asker().answer(Asker::Answer::Ok);
        dialog->writeButton->click();
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(f.db().value(QStringLiteral("SELECT count(*) FROM \"maßnahmen\"")).toInt(), 5);
        QCOMPARE(f.db().value(QStringLiteral("SELECT \"Soll_Wert_Q1\" FROM \"kz_liqui\" WHERE \"Jahr\"='2005'")).toInt(),
                 OldTables::figure(2, 2005, 1).toInt());
        // The page shows the imported values at its next display.
        displayYear(QStringLiteral("2005"));
        QCOMPARE(Form1->objectivesPage()->DBText7->text(), OldTables::figure(2, 2005, 12).toString());

        // Now it holds data: a second import is refused with the reason.
        folders.names << oldFolder();
        Form1->legacyImportAction->trigger();
        QVERIFY(!legacyDialog());
        QCOMPARE(f.asker().questions().size(), 3);
        QVERIFY2(f.asker().questions().last().text.contains(QLatin1String("holds data already")),
                 qPrintable(f.asker().questions().last().text));
    }

    void faultsAndNothingToWrite()
    {
        TestWindows f;
        f.continueWith(0, 1);
        const QString folder = oldFolder();
        QVERIFY(QFile::remove(QDir(folder).filePath(QStringLiteral("kz_neuprod.db"))));
        ScriptedFolders folders(f);
        folders.names << folder;
        const QByteArray before = digest(f.db().path());
        Form1->legacyImportAction->trigger();
        QPointer<LegacyImportDialog> dialog = legacyDialog();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(dialog->summary->text().contains(QLatin1String("1 fault")));
        QCOMPARE(dialog->list->rowCount(), 1);
        QCOMPARE(dialog->list->item(0, 0)->text(), QStringLiteral("kz_neuprod.db"));
        QVERIFY(dialog->writeButton->isHidden());
        dialog->writeClick();
        QVERIFY(f.asker().questions().isEmpty());
        dialog->closeButton->click();
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(digest(f.db().path()), before);
    }
};

QTEST_MAIN(TestLegacyDialog)
#include "tst_legacydialog.moc"
