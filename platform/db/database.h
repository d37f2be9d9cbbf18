#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/db/alias.h"
#include "platform/db/engine.h"
#include "platform/db/engineerror.h"
#include "platform/db/errorclassifier.h"
#include "platform/db/sqlrunner.h"

class QSqlError;

// A database of the program, reached under its alias through a Connection
// (connection.h): an embedded SQLite file or a shared PostgreSQL database.
// It opens the target
// (never creating it), knows the stored spelling of every table and column,
// and is, with SchemaSql for creating and looking after tables, the one
// place where SQL is written: the datasets ask it for rows,
// counts and writes, every constant is bound as a value, and the few
// differences between the two engines are data (see Dialect in the source).
// Running statements is its SqlRunner's, naming failures its ErrorClassifier's.
class Database {
public:
    using Engine = DbEngine;
    // A statement that has been run, held by its caller (sqlrunner.h).
    using Result = SqlResult;

    struct Column {
        QString name;     // stored spelling
        bool isInteger = false;
    };
    struct Table {
        QString name;     // stored spelling
        QVector<Column> columns;
        QString key;      // the column that keys a row; empty: the engine's own row id
        int columnIndex(const QString &name) const;  // without regard to case; -1 when unknown
    };

    // The rows a dataset ranges over: some columns of one table, the rows
    // whose columns equal given values, in the order of the table's row key.
    // A condition's value that is a text is compared as the program's
    // statements compare: exactly, an empty text meaning an empty field.
    struct Plans;
    struct Source {
        QString table;                 // stored spelling
        QStringList fields;            // stored spellings, in order
        QVector<bool> integer;         // per field
        QStringList conditionColumns;  // stored spellings
        QVariantList conditionValues;
        // The statements built for this source, shared by its copies, so
        // that a dataset opened again does not build them again; empty: built
        // at every call.
        std::shared_ptr<Plans> plans;
    };
    struct Row {
        QVariant key;
        QVector<QVariant> values;
    };
    // First, Last: the first or last rows. After, Before: the rows next to a
    // key, nearest first. From: the row with the key and those after it.
    // Key: that row only. Offset: rows from a position on.
    enum class Fetch { First, Last, After, Before, From, Key, Offset };

    // The change history: a table the layer itself writes, one row per
    // changed column, inside the transaction of the change it records.
    // Which table it is and how a changed row is named (its year, its
    // number) is the program's to say; while the table is missing (an older
    // database) writes go on without it. Its rows are only ever added: the
    // layer refuses to update or delete them and has no statement for it.
    struct HistoryLog {
        QString table;   // the history table; empty: no history
        // The column that names a row of a table in the history; empty:
        // the table's changes are not recorded.
        std::function<QString(const QString &table)> rowColumn;
    };
    // What the program tells a database it opens.
    struct Settings {
        QString createHint;   // the command that creates a missing database or its tables
        HistoryLog history;
    };

    // Opens a target (a file or a postgresql:// address) under a connection
    // name of its own. Throws EngineError when the target is missing, is not
    // a database or cannot be reached. The alias's database is opened by its
    // Connection (connection.h).
    static std::unique_ptr<Database> connect(const QString &target, bool readOnly, const QString &connectionName,
                                             const Settings &settings = {});
    // Whether the connection to a server was lost (it is opened anew).
    bool lost() const { return m_lost; }

    // A name quoted for SQL.
    static QString quote(const QString &name);

    Engine engine() const { return m_engine; }

    // The pieces of table definitions and upkeep statements in which the
    // engines differ, for the code that creates and looks after tables.
    struct Upkeep {
        QString keyedText;       // a text column that keys its table's rows (after the column's name)
        QString fourDigits;      // a condition that %1 holds four ASCII digits
        QString numberedKey;     // an integer key the engine numbers itself (after the column's name)
        QString tableOptions;    // after the closing parenthesis of CREATE TABLE
        QString indexExists;     // a row when the index named by the bound value exists
        QString integrityCheck;  // rows "ok" when the whole database is sound; empty: the server keeps it
        QString beginSnapshot;   // a transaction that reads one consistent state
        // Lets the numbers of %1's numbered key go on after the largest one
        // (the table's quoted name also bound); empty: the engine does so itself.
        QString continueNumbers;
    };
    static const Upkeep &upkeep(Engine engine);
    const Upkeep &upkeep() const { return upkeep(m_engine); }
    // After rows were written with their own numbers: new rows of the table
    // are numbered after the largest. Throws EngineError.
    void continueNumbers(const QString &table, const QString &what);
    // The target as it may be shown: a file path, or an address without password.
    QString path() const { return m_display; }
    QSqlDatabase connection() const;

    // Table of the database with this name, compared without regard to case
    // (also for letters like Ü); throws EngineError when there is none.
    const Table &table(const QString &name);
    QStringList tableNames() const;

    // A statement of the program's select dialect, or every column of a table.
    Source query(const QString &dialectText);
    Source wholeTable(const QString &name);

    // Reading. Each call runs one statement to its end and finishes it, so
    // no lock outlives the call.
    QVector<Row> fetch(const Source &source, Fetch kind, const QVariant &key, int limit, int offset = 0);
    // The first row whose field holds exactly this text.
    std::optional<Row> find(const Source &source, int field, const QString &text);
    // Rows of the source; with a key, only those before it.
    qint64 count(const Source &source, const QVariant &beforeKey = {});
    bool exists(const Source &source, const QVariant &key);
    // Every row of the source in key order, handed to the visitor while the
    // statement runs (one read of the whole result, for printing it); the
    // visitor returns false to stop. The values are the source's fields.
    void scan(const Source &source, const std::function<bool(const QVector<QVariant> &row)> &visit);
    // The distinct texts of a field, in ascending order.
    QStringList distinct(const Source &source, int field);
    // The rows of the source counted by the text of a field, in one
    // statement; a text no row holds is absent, an empty field counts as "".
    QHash<QString, qint64> countBy(const Source &source, int field);

    // Writing one row by its key. update and remove compare the given
    // columns with the values they held when the row was read and touch
    // nothing when another user or program changed them meanwhile (false).
    QVariant insert(const Source &source, const QVector<int> &fields, const QVariantList &values);
    bool update(const Source &source, const QVariant &key, const QVector<int> &fields,
                const QVariantList &values, const QVariantList &originals);
    bool remove(const Source &source, const QVariant &key, const QVector<int> &compared,
                const QVariantList &originals);

    // What writes now ("dialog", "import", ...), until set again.
    void setHistorySource(const QString &source) { m_historySource = source; }
    // A note the server's recording of a bulk write into a fresh table
    // keeps with each row it records as one entry (the file it came from),
    // for the rest of the caller's transaction.
    void setHistoryNote(const QString &note);
    // Whether the server itself records every change of the recorded tables
    // (row triggers through a function of the tables' owner), whoever makes
    // it and with whatever client; the program then only tells it what
    // writes. False on a file, where the program records.
    bool serverRecords() const { return m_serverRecords; }
    // Whether the engine is a server that can record the history itself.
    bool serverCanRecord() const;
    // Makes the server record the changes of the given tables and lets no
    // role but the owner write the history; what it changed. Nothing on an
    // engine where the program records. Throws EngineError.
    QStringList installServerRecording(const QStringList &tables);
    // The roles other than the owner that may write the history ("PUBLIC"
    // for every role); empty where the program records.
    QStringList historyWriters();
    // Stops or resumes the server's recording of the tables for the rest of
    // the transaction (a copy brings its own history). Owner only.
    void setServerRecording(const QStringList &tables, bool on);
    QString historySource() const { return m_historySource; }
    // Whether this database holds the history table.
    bool hasHistory();
    // The history's own key: it numbers the rows in the order they were added.
    static QString historyKey() { return QStringLiteral("id"); }
    // The history table, made empty (init, upgrade). Throws EngineError.
    void createHistory();
    // One history row, inside the caller's transaction; nothing when there
    // is no history table or old and new are equal.
    void recordChange(const QString &table, const QString &row, const QString &column, const QVariant &old,
                      const QVariant &now);
    // The history, newest first, one row at a time; every filter is
    // optional (empty). The row: time, user, source, table, row, column,
    // old, new. Return false to stop.
    struct HistoryFilter {
        QString table;      // rows of this table only
        QString notTable;   // rows of every other table
        QString row;
        QString since;      // time (UTC, ISO 8601) at or after
    };
    void scanHistory(const HistoryFilter &filter, const std::function<bool(const QVector<QVariant> &row)> &visit);
    // The last change of a row: user and time; nullopt when none is recorded.
    std::optional<std::pair<QString, QString>> lastChange(const QString &table, const QString &row);

    // A transaction that writes: taken at once, so that a writer who comes
    // second waits briefly or is told, never half-way through.
    void begin(const QString &what);
    void commit(const QString &what);
    void rollback();   // never throws

    // Texts exactly as stored: a text column selected as its UTF-8 bytes
    // and read back as a text (a null stays null); the placeholder of a
    // value and the value as it is bound there.
    QString textAsBytes(const QString &column) const;
    static QVariant text(const QVariant &stored);
    QString placeholder(bool text) const;
    QVariant bound(const QVariant &value, bool text) const;

    // Runs SQL with the given values bound in order, translating every
    // failure into an EngineError that says what failed. The result stays
    // valid while it is held, whatever runs meanwhile.
    Result run(const QString &sql, const QVariantList &values, const QString &what);

    // Message for a failed call, naming the busy, read-only, lost and
    // missing cases the same way on both engines.
    // A refused change (writing) is named as one the user may not make.
    QString describe(const QSqlError &error, const QString &what, bool writing = false) const;
    // What kind of failure it is, the same way on both engines.
    EngineError::Kind classify(const QSqlError &error) const;

    ~Database();

private:
    Database(const QString &target, bool readOnly, const QString &connectionName, const Settings &settings);
    void openFile(const Target &target, bool readOnly);
    void openServer(const Target &target, bool readOnly);
    void recoverInterruptedWrite(const QString &file);
    void loadSchema();
    QString key(const QString &table);
    QString where(const Source &source, QVariantList &values, const QString &extra = {});
    QString equals(const Table &table, const QString &column, const QVariant &value, QVariantList &values) const;
    QVector<Row> read(Result query, int fieldCount, const QString &what, const Source *source = nullptr);
    QString selected(const Source &source, int field) const;
    struct Plan;
    Plan &plan(const Source &source, Fetch kind, Plan &scratch);
    Plan buildPlan(const Source &source, Fetch kind);
    static QVector<QVariant> &decodeRow(const Result &query, const Source &source, QVector<QVariant> &into, int first);
    [[noreturn]] void fail(const QSqlError &error, const QString &what, bool writing = false);
    QString historyTable();
    std::optional<bool> updateInOneStatement(const Source &source, const QVariant &key, const QVector<int> &fields,
                                             const QVariantList &values, const QVariantList &originals);
    QString updateSql(const Source &source, const QVariant &key, const QVector<int> &fields, const QVariantList &values,
                      const QVariantList &originals, QVariantList &bindings);
    QVariant insertRow(const Source &source, const QVector<int> &fields, const QVariantList &values);
    bool updateRow(const Source &source, const QVariant &key, const QVector<int> &fields, const QVariantList &values,
                   const QVariantList &originals);
    bool removeRow(const Source &source, const QVariant &key, const QVector<int> &compared, const QVariantList &originals);
    QString rowName(const Source &source, const QVariant &key, const QVector<int> &fields, const QVariantList &values,
                    const QString &column);
    void refuseHistoryWrite(const Source &source) const;
    template <class F>
    bool recorded(const Source &source, const QString &what, F &&write);
    // Steps through a result while the step returns true, then finishes it;
    // a failure of the engine is thrown named.
    template <class Step>
    void visitRows(Result &query, const QString &what, Step &&step);

    void detectServerRecording();
    void tellServerSource();
    void tellServer(const QString &setting, const QString &value, bool transaction, const QString &what);
    QString recordingName() const;

    Settings m_settings;
    QString m_historySource = QStringLiteral("program");
    bool m_serverRecords = false;
    QString m_sourceTold;   // what the server was last told writes, outside a transaction
    Engine m_engine = Engine::SQLite;
    QString m_display;
    QString m_connectionName;
    bool m_lost = false;
    bool m_inTransaction = false;
    QHash<QString, Table> m_tables;                // key: case-folded name
    ErrorClassifier m_errors{DbEngine::SQLite, QString()};
    std::unique_ptr<SqlRunner> m_runner;
    QHash<QString, Source> m_queries;
    QHash<QString, Source> m_wholeTables;   // key: case-folded name
    // Tells this database's plans from those of another or of an older schema.
    quint64 m_generation = 0;
};
