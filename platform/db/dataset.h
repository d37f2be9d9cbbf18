#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include "platform/db/statement.h"

// A result held in memory with a current row. Opening reads every row and
// finishes the statement at once, so an open dataset never holds a lock on
// the file between two handlers.
class DataSet : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit DataSet(const QString &name, QObject *parent = nullptr);

    QString name() const { return objectName(); }
    State state() const { return m_state; }
    bool isActive() const { return m_state != State::Inactive; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }
    virtual bool isReadOnly() const = 0;

    void open();
    void close();
    // Re-reads the stored data and keeps the current row. Pending changes
    // are dropped first: a refresh shows what is stored.
    void refresh();

    // Navigation. Moving away from a row that is being edited drops its
    // pending changes; nothing is ever written without post().
    void first();
    void next();
    void prior();
    void last();
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool isEmpty() const { return m_rows.isEmpty(); }
    int recordCount() const { return m_rows.size(); }
    int currentRow() const { return m_current; }   // -1 when there is none
    void moveTo(int row);

    // Positions on the first row whose column holds exactly this value;
    // reports whether one was found (the current row stays otherwise).
    bool locate(const QString &column, const QString &value);

    QStringList fieldNames() const { return m_fields; }
    int fieldIndex(const QString &name) const;   // without regard to case; -1 when unknown
    bool isIntegerField(int field) const { return m_integer.value(field); }

    // Values of the current row, pending changes included. An unknown
    // column is an error; an empty value or no row reads as 0 or "".
    QVariant value(const QString &column) const;
    qint32 asInteger(const QString &column) const;
    QString asText(const QString &column) const;

    // The same for any row, for grids; never throws.
    QString textAt(int row, int field) const;
    static QString format(const QVariant &value);

    // Editing; a read-only dataset refuses all of it.
    void edit();
    void append();
    void setText(const QString &column, const QString &text);
    void post();
    void cancel();
    void remove();

signals:
    // Rows, current row, state or a value changed: bound controls re-read.
    void changed();

protected:
    struct Result {
        QStringList fields;
        QVector<bool> integer;
        QVector<QVector<QVariant>> rows;
        QVector<qint64> rowids;   // tables only
    };
    virtual Result load() = 0;
    virtual qint64 write(State state, qint64 rowid, const QVector<QVariant> &values,
                         const QVector<bool> &modified);
    virtual void erase(qint64 rowid);
    virtual QString describe() const = 0;   // for messages: "table kz_liqui"

    [[noreturn]] void fail(const QString &what) const;
    void requireActive() const;

private:
    void reload(qint64 keepRowid, int keepIndex);
    void dropPending();
    int requireField(const QString &column) const;
    QVariant convert(int field, const QVariant &value) const;
    void setCurrent(int row);

    State m_state = State::Inactive;
    QStringList m_fields;
    QHash<QString, int> m_fieldIndex;   // case-folded name -> index
    QVector<bool> m_integer;
    QVector<QVector<QVariant>> m_rows;
    QVector<qint64> m_rowids;
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;
    QVector<QVariant> m_buffer;       // the row being edited or appended
    QVector<bool> m_modified;
    int m_returnTo = -1;              // row to go back to when an append is cancelled
};

// A read-only select in the program's statement dialect.
class Query : public DataSet {
    Q_OBJECT
public:
    explicit Query(const QString &name, QObject *parent = nullptr);
    // Replacing the statement closes the query.
    void setSql(const QString &sql);
    QString sql() const { return m_sql; }
    bool isReadOnly() const override { return true; }

protected:
    Result load() override;
    QString describe() const override;

private:
    QString m_sql;
};

// A table opened by name ("kz_liqui.db", "maßnahmen.DB"), editable.
class Table : public DataSet {
    Q_OBJECT
public:
    explicit Table(const QString &name, QObject *parent = nullptr);
    // Replacing the table name closes the table.
    void setTableName(const QString &tableName);
    QString tableName() const { return m_tableName; }
    bool isReadOnly() const override { return false; }

protected:
    Result load() override;
    qint64 write(State state, qint64 rowid, const QVector<QVariant> &values,
                 const QVector<bool> &modified) override;
    void erase(qint64 rowid) override;
    QString describe() const override;

private:
    QString storedName() const;
    QString m_tableName;
};
