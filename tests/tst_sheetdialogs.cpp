// The spreadsheet items of the Data menu: their texts by language, the
// export with its files and question, the import dialog with its list and
// its confirmation.
#include "fixture_windows.h"

#include "app/form1.h"
#include "app/globals.h"
#include "dialogs/sheetimport.h"
#include "dialogs/sheettransfer.h"
#include "model/messages.h"
#include "platform/db/database.h"
#include "core/spreadsheet.h"

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

namespace {

// The windows' file questions: answered with the next name, each recorded
// with its kind and caption.
class ScriptedFiles {
public:
    explicit ScriptedFiles(TestWindows &windows) : names(windows.services().files), m_services(windows.services()) {}
    QStringList &names;
    QList<QPair<FileRequest::Mode, QString>> asked() const
    {
        QList<QPair<FileRequest::Mode, QString>> requests;
        for (const FileRequest &r : m_services.fileRequests())
            requests << qMakePair(r.mode, r.caption);
        return requests;
    }

private:
    TestServices &m_services;
};

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray digest(const QString &path) { return QCryptographicHash::hash(contents(path), QCryptographicHash::Sha256); }

void save(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

SheetImportDialog *importDialog() { return Form1->findChild<SheetImportDialog *>(); }

QStringList rowTexts(QTableWidget *table, int row)
{
    QStringList texts;
    for (int c = 0; c < table->columnCount(); ++c)
        texts << table->item(row, c)->text();
    return texts;
}

QStringList headerTexts(QTableWidget *table)
{
    QStringList texts;
    for (int c = 0; c < table->columnCount(); ++c)
        texts << table->horizontalHeaderItem(c)->text();
    return texts;
}

} // namespace

class TestSheetDialogs : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    // The key figures of the open database as CSV, with one value changed.
    QString changedFile(TestWindows &f, const QString &name, const QVariant &value)
    {
        Spreadsheet::Sheet sheet = Spreadsheet::kennzahlen(f.db().database(), QStringLiteral("2005"));
        sheet.rows[2][9] = value;   // kz_liqui, Ist_Wert_Q3
        const QString path = m_dir.filePath(name);
        save(path, Spreadsheet::csv(sheet));
        return path;
    }

private slots:
    void menuItemsAboveExitByLanguage_data()
    {
        QTest::addColumn<int>("sprache");
        QTest::addColumn<QString>("exportText");
        QTest::addColumn<QString>("importText");
        QTest::newRow("no choice") << -1 << "Export to spreadsheet..." << "Import from spreadsheet...";
        QTest::newRow("English") << 0 << "Export to spreadsheet..." << "Import from spreadsheet...";
        QTest::newRow("German") << 1 << "In Tabelle exportieren..." << "Aus Tabelle importieren...";
    }
    void menuItemsAboveExitByLanguage()
    {
        QFETCH(int, sprache);
        QFETCH(QString, exportText);
        QFETCH(QString, importText);
        TestWindows f;
        if (sprache >= 0)
            f.continueWith(sprache, 1);
        const QList<QAction *> items = Form1->Datei1->actions();
        // The year report and the key-figure history follow the import items.
        QCOMPARE(items, (QList<QAction *>{Form1->exportAction, Form1->importAction, Form1->legacyImportAction,
                                          Form1->findChild<QAction *>(QStringLiteral("yearReportAction")),
                                          Form1->findChild<QAction *>(QStringLiteral("historyAction")),
                                          Form1->Beenden1}));
        QCOMPARE(Form1->exportAction->text(), exportText);
        QCOMPARE(Form1->importAction->text(), importText);
        QCOMPARE(Form1->Beenden1->text(), QStringLiteral("Exit program"));

        // The file questions come in the language chosen, German before a
        // choice (as the start screen shows), under the English menu.
        ScriptedFiles files(f);
        Form1->exportAction->trigger();
        Form1->importAction->trigger();
        const bool english = sprache == 0;
        QCOMPARE(files.asked(), (QList<QPair<FileRequest::Mode, QString>>{
                                    {FileRequest::Mode::Save, Messages::sheets(Messages::Sheets::ExportTitle, english)},
                                    {FileRequest::Mode::Open, Messages::sheets(Messages::Sheets::ImportTitle, english)}}));
        QVERIFY(f.asker().questions().isEmpty());   // nothing chosen, nothing done
    }

    void exportWritesAWorkbookOrTwoCsvFilesAndAsksBeforeReplacing_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("xlsx") << "bericht.xlsx" << QStringList{"bericht.xlsx"};
        QTest::newRow("csv") << "bericht.csv" << QStringList{"bericht-kennzahlen.csv", "bericht-massnahmen.csv"};
    }
    void exportWritesAWorkbookOrTwoCsvFilesAndAsksBeforeReplacing()
    {
        QFETCH(QString, chosen);
        QFETCH(QStringList, written);
        TestWindows f(true);
        f.continueWith(1, 1);
        QTemporaryDir folder;
        ScriptedFiles files(f);
        QStringList paths;
        for (const QString &name : written)
            paths << folder.filePath(name);

        files.names << folder.filePath(chosen);
        Form1->exportAction->trigger();
        QCOMPARE(f.asker().questions().size(), 1);
        QCOMPARE(f.asker().questions().first().icon, Asker::Icon::Information);
        QVERIFY(f.asker().questions().first().text.contains(QStringLiteral("Maßnahmen wurden")));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), written);
        if (written.size() == 2) {
            QVERIFY(contents(paths[0]).contains("kz_reklamation"));
            QVERIFY(contents(paths[1]).contains("Maßnahme"));
        } else {
            const QString script = QStringLiteral("import openpyxl, sys; print(openpyxl.load_workbook(sys.argv[1]).sheetnames)");
            const ProgramRun py = runProgram(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, paths[0]});
            QCOMPARE(py.status, 0);
            QCOMPARE(py.out.trimmed(), QStringLiteral("['kennzahlen', 'massnahmen']"));
        }

        // A second export to the same name asks first; No keeps the files.
        f.db().sql(QStringLiteral("UPDATE kz_reklamation SET Ist_Wert_Q1=4711 WHERE Jahr='2005'"));
        QList<QByteArray> before;
        for (const QString &p : paths)
            before << digest(p);
        f.asker().clear();
        files.names << folder.filePath(chosen);
        f.asker().answer(Asker::Answer::No);
        Form1->exportAction->trigger();
        QCOMPARE(f.asker().questions().size(), 1);
        QCOMPARE(f.asker().questions().first().buttons, Asker::Buttons::YesNo);
        QVERIFY(f.asker().questions().first().text.contains(paths.last()));
        for (int i = 0; i < paths.size(); ++i)
            QCOMPARE(digest(paths[i]), before[i]);

        f.asker().clear();
        files.names << folder.filePath(chosen);
        f.asker().answer(Asker::Answer::Yes);
        Form1->exportAction->trigger();
        QCOMPARE(f.asker().questions().size(), 2);
        QVERIFY(digest(paths[0]) != before[0]);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), written);
    }

    void anExportToAnotherKindOfFileWritesNothing()
    {
        TestWindows f(true);
        QTemporaryDir folder;
        ScriptedFiles files(f);
        files.names << folder.filePath(QStringLiteral("bericht.ods"));
        Form1->exportAction->trigger();
        QCOMPARE(f.asker().questions().size(), 1);
        QCOMPARE(f.asker().questions().first().icon, Asker::Icon::Warning);
        QVERIFY(f.asker().questions().first().text.contains(QLatin1String(".csv oder .xlsx")));   // German before a choice
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void importShowsTheChangesAndWritesOnlyWhenConfirmed_data()
    {
        QTest::addColumn<int>("sprache");
        QTest::addColumn<QStringList>("header");
        QTest::addColumn<QString>("question");
        QTest::newRow("English") << 0 << QStringList{"Table", "Year", "Column", "Old", "New"}
                                 << "Should the change really be saved?";
        QTest::newRow("German") << 1 << QStringList{"Tabelle", "Jahr", "Spalte", "Alt", "Neu"}
                                << "Soll die Änderung wirklich gespeichert werden?";
    }
    void importShowsTheChangesAndWritesOnlyWhenConfirmed()
    {
        QFETCH(int, sprache);
        QFETCH(QStringList, header);
        QFETCH(QString, question);
        TestWindows f(true);
        f.continueWith(sprache, 0);
        const QString value = QStringLiteral("SELECT Ist_Wert_Q3 FROM kz_liqui WHERE Jahr='2005'");
        const QString old = f.db().value(value).toString();
        ScriptedFiles files(f);
        files.names << changedFile(f, QStringLiteral("neu.csv"), 777);
        Form1->importAction->trigger();

        QPointer<SheetImportDialog> dialog = importDialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(headerTexts(dialog->list), header);
        QCOMPARE(dialog->list->rowCount(), 1);
        QCOMPARE(rowTexts(dialog->list, 0), (QStringList{"kz_liqui", "2005", "Ist_Wert_Q3", old, "777"}));
        QVERIFY(dialog->writeButton->isVisible());

        // Cancel in the question: nothing written, the dialog stays.
        const QByteArray before = digest(f.db().path());
        f.asker().answer(Asker::Answer::Cancel);
        dialog->writeButton->click();
        QCOMPARE(f.asker().questions().size(), 1);
        QCOMPARE(f.asker().questions().first().text, question);
        QCOMPARE(f.asker().questions().first().buttons, Asker::Buttons::OkCancel);
        QCOMPARE(digest(f.db().path()), before);
        QVERIFY(dialog->isVisible() && !dialog->hasWritten());

        f.asker().answer(Asker::Answer::Ok);
        dialog->writeButton->click();
        QCOMPARE(f.db().value(value).toInt(), 777);
        QTRY_VERIFY(dialog.isNull());

        // The dialog's own cancel writes nothing either.
        files.names << changedFile(f, QStringLiteral("nochmal.csv"), 778);
        Form1->importAction->trigger();
        dialog = importDialog();
        QVERIFY(dialog && dialog->isVisible());
        dialog->closeButton->click();
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(f.db().value(value).toInt(), 777);
        QCOMPARE(f.asker().questions().size(), 2);
    }

    void importListsEveryFaultAndOffersNothingToWrite()
    {
        TestWindows f;
        f.continueWith(1, 1);
        ScriptedFiles files(f);
        files.names << QStringLiteral(BSC_TEST_DATA "/import/not-a-whole-number.csv");
        const QByteArray before = digest(f.db().path());
        Form1->importAction->trigger();
        QPointer<SheetImportDialog> dialog = importDialog();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(dialog->summary->text().contains(QLatin1String("3 Fehler")));
        QCOMPARE(headerTexts(dialog->list), (QStringList{"Zeile", "Spalte", "Fehler"}));
        QCOMPARE(dialog->list->rowCount(), 3);
        QCOMPARE(rowTexts(dialog->list, 0), (QStringList{"2", "Ist_Wert_Q1", "\"12.5\" is not a whole number"}));
        QCOMPARE(rowTexts(dialog->list, 2).first(), QStringLiteral("4"));
        QVERIFY(dialog->writeButton->isHidden());
        dialog->writeClick();   // even when reached, it writes nothing
        QVERIFY(f.asker().questions().isEmpty());
        dialog->closeButton->click();
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(digest(f.db().path()), before);
    }

    // One rule for the language: English only when chosen, German before.
    void anUnchangedFileIsSaidToHoldNoChange_data()
    {
        QTest::addColumn<int>("sprache");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::newRow("no choice") << -1 << "Die Datei enthält keine Änderung; es wurde nichts geschrieben." << "Meldungsfenster";
        QTest::newRow("English") << 0 << "The file holds no change; nothing was written." << "Information";
        QTest::newRow("German") << 1 << "Die Datei enthält keine Änderung; es wurde nichts geschrieben." << "Meldungsfenster";
    }
    void anUnchangedFileIsSaidToHoldNoChange()
    {
        QFETCH(int, sprache);
        TestWindows f(true);
        if (sprache >= 0)
            f.continueWith(sprache, 1);
        const QString path = m_dir.filePath(QStringLiteral("gleich.csv"));
        save(path, Spreadsheet::csv(Spreadsheet::kennzahlen(f.db().database())));
        ScriptedFiles files(f);
        files.names << path;
        const QByteArray before = digest(f.db().path());
        Form1->importAction->trigger();
        QVERIFY(!importDialog());
        QCOMPARE(f.asker().questions().size(), 1);
        QTEST(f.asker().questions().first().text, "text");
        QTEST(f.asker().questions().first().caption, "caption");
        QCOMPARE(digest(f.db().path()), before);
    }
};

QTEST_MAIN(TestSheetDialogs)
#include "tst_sheetdialogs.moc"
