#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVector>
#include <memory>

// The one database of the program, reached under the alias name
// "projekt_bsc". It resolves the alias to a SQLite file, opens it once
// (never creating it), knows the stored spelling of every table and column,
// and keeps prepared statements for reuse.
class Database {
public:
    static constexpr const char *AliasName = "projekt_bsc";
    static constexpr const char *PathVariable = "PROJEKT_BSC_DATABASE";

    struct Column {
        QString name;     // stored spelling
        bool isInteger = false;
    };
    struct Table {
        QString name;     // stored spelling
        QVector<Column> columns;
        int columnIndex(const QString &name) const;  // -1 when unknown
    };

    // Where the alias points: $PROJEKT_BSC_DATABASE, or projekt_bsc.sqlite in
    // the user's data folder (~/.local/share/tarvo-bsc).
    static QString aliasPath();

    // The open alias; opens it on first use. Throws EngineError when the file
    // is missing or is not a database.
    static Database &alias();

    // Opens a given file as the alias (tests, read-only use). Closes any
    // connection held before.
    static Database &open(const QString &path, bool readOnly = false);
    static void close();
    static bool isOpen();

    // A name quoted for SQLite.
    static QString quote(const QString &name);

    QString path() const { return m_path; }
    QSqlDatabase connection() const;

    // Table of the database with this name, compared without regard to case
    // (also for letters like Ü); throws EngineError when there is none.
    const Table &table(const QString &name);

    // A statement of the program's dialect turned into SQLite's: stored
    // spellings of table and columns, constants as values to bind.
    struct Select {
        QString sql;
        QVariantList values;
        QStringList fields;
        QVector<bool> integer;
    };
    const Select &select(const QString &dialectText);

    // A prepared statement for this SQL text, prepared once and reused.
    // Throws EngineError when SQLite refuses it.
    QSqlQuery &prepared(const QString &sql);

    // Runs a prepared statement with the given values bound in order.
    // Translates every failure into an EngineError that says what failed.
    void exec(QSqlQuery &query, const QVariantList &values, const QString &what);

    // Message for a failed SQLite call, naming the busy and read-only cases.
    QString describe(const QSqlError &error, const QString &what) const;

    ~Database();

private:
    Database(const QString &path, bool readOnly);
    void loadSchema();

    QString m_path;
    QString m_connectionName;
    QHash<QString, Table> m_tables;               // key: case-folded name
    QHash<QString, std::shared_ptr<QSqlQuery>> m_statements;
    QHash<QString, Select> m_selects;
};
