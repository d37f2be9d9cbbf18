#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/editbuffer.h"
#include "platform/db/engineerror.h"
#include "platform/db/rowwindow.h"

// A result with a current row, fetched as it is shown. Opening reads the
// first page of rows; moving reads the next page by the row key, so time
// and memory stay flat however large the table. Every statement is run to
// its end at once, so an open dataset never holds a lock between handlers.
// The rows held and what grids asked for are its RowWindow, the row being
// edited its EditBuffer; the dataset reads and writes and says when.
//
// Signals follow state: every operation sets position, flags and state
// first and then emits changed() once.
class DataSet : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    // The connection outlives the dataset.
    DataSet(Connection &connection, const QString &name, QObject *parent = nullptr);

    QString name() const { return objectName(); }
    State state() const { return m_state; }
    bool isActive() const { return m_state != State::Inactive; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }
    virtual bool isReadOnly() const = 0;

    void open();
    void close();
    // Re-reads the stored data and keeps the current row (or the next one
    // when it is gone). Pending changes are dropped: a refresh shows what is
    // stored.
    void refresh();

    // Navigation. Moving away from a row that is being edited drops its
    // pending changes; nothing is ever written without post().
    void first();
    void next();
    void prior();
    void last();
    bool eof() const;
    bool bof() const;
    bool isEmpty() const { return currentValues() == nullptr; }

    // A dataset that nothing is bound to reads its first row only when it
    // is first needed: a table opened to be searched costs one statement.
    // Data sources call this before they show a dataset.
    void ensureRead() const;

    // Positions on the first row whose column holds exactly this text (no
    // partial match, no case folding) and reports whether one was found;
    // otherwise the current row stays. Asks the database, one statement.
    bool locate(const QString &column, const QString &value);

    QStringList fieldNames() const { return m_source.fields; }
    int fieldIndex(const QString &name) const;   // without regard to case; -1 when unknown
    bool isIntegerField(int field) const { return m_source.integer.value(field); }

    // Values of the current row, pending changes included. An unknown
    // column is an error; an empty value or no row reads as 0 or "".
    QVariant value(const QString &column) const;
    qint32 asInteger(const QString &column) const;
    QString asText(const QString &column) const;
    static QString format(const QVariant &value);
    // A field of the current row as text, "" when there is none; never throws.
    QString currentText(int field) const;

    // Access by position, for grids. Counting and positions cost a
    // statement each and are kept until the data changes; they never throw.
    // A read that fails is reported once through failed() (after
    // the caller returns, never inside a paint) and the dataset then shows
    // no rows until its data is read again (open, refresh, a move): a grid
    // never shows empty or stale rows as if they were the data.
    int recordCount() const;
    int currentIndex() const;   // -1 without a current row
    QString textAt(int index, int field) const;
    void moveTo(int index);

    // Editing; a read-only dataset refuses all of it.
    void edit();
    void append();
    void setText(const QString &column, const QString &text);
    void post();
    void cancel();
    void remove();

    // Rows read per statement while paging.
    void setPageSize(int rows) { m_pageSize = qMax(1, rows); }

    // While disabled (calls nest), bound controls are not told of moves;
    // enabling tells them once. For loops that step through a result.
    void disableControls();
    void enableControls();

signals:
    // Rows, current row, state or a value changed: bound controls re-read.
    void changed();
    // A failure no handler can catch (a grid reading its rows).
    void failed(const QString &message);

protected:
    // What the dataset ranges over, resolved when it opens.
    virtual Database::Source resolve() = 0;
    virtual QString describe() const = 0;   // for messages: "table kz_liqui"
    // Every read goes through here (tests replace it to fail on purpose).
    virtual QVector<Database::Row> fetch(Database::Fetch kind, const QVariant &key, int limit, int offset = 0) const;

    // The database the dataset reads and writes; every access goes through here.
    Database &database() const;
    [[noreturn]] void fail(const QString &what, EngineError::Kind kind = EngineError::Kind::Other) const;
    void requireActive() const;

private:
    using Row = Database::Row;
    template <class F>
    void change(F &&operation);
    void notify();
    const QVector<QVariant> *currentValues() const;
    // Holds rows read from the first or the last row on.
    void holdFromStart(QVector<Row> rows);
    void holdToEnd(QVector<Row> newestFirst, bool atEnd);
    void dropPending();
    void requireWritable() const;
    int requireField(const QString &column) const;
    void reread(const QVariant &key);
    [[noreturn]] void conflict(bool deleting);
    void readFailed(const EngineError &error) const;

    Connection &m_connection;
    State m_state = State::Inactive;
    Database::Source m_source;
    QHash<QString, int> m_fieldIndex;   // case-folded name -> index
    // Names as callers spelled them, with their index: a bound control asks
    // with the same few spellings at every change, and comparing them costs
    // less than folding or hashing.
    mutable QVector<std::pair<QString, int>> m_spelled;
    int m_pageSize = 50;
    int m_controlsDisabled = 0;
    bool m_missedChange = false;

    // Reading the first row or counting for a grid does not change the
    // dataset as callers see it, hence mutable.
    mutable RowWindow m_window;
    EditBuffer m_buffer;
};

// A read-only select in the program's statement dialect.
class Query : public DataSet {
    Q_OBJECT
public:
    Query(Connection &connection, const QString &name, QObject *parent = nullptr);
    // Replacing the statement closes the query.
    void setSql(const QString &sql);
    QString sql() const { return m_sql; }
    bool isReadOnly() const override { return true; }

protected:
    Database::Source resolve() override;
    QString describe() const override;

private:
    QString m_sql;
};

// A table opened by name ("kz_liqui.db", "maßnahmen.DB"), editable.
class Table : public DataSet {
    Q_OBJECT
public:
    Table(Connection &connection, const QString &name, QObject *parent = nullptr);
    // Replacing the table name closes the table.
    void setTableName(const QString &tableName);
    QString tableName() const { return m_tableName; }
    bool isReadOnly() const override { return false; }

protected:
    Database::Source resolve() override;
    QString describe() const override;

private:
    QString m_tableName;
};
