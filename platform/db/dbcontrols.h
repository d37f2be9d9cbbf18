#pragma once

#include <QAbstractTableModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTableView>

#include "platform/db/datasource.h"

// The binding of one control to one column of a data source. A control
// bound to no column, or to a column the dataset does not have, shows nothing.
class FieldLink : public QObject {
    Q_OBJECT
public:
    explicit FieldLink(QObject *parent) : QObject(parent) {}

    void setDataSource(DataSource *source);
    DataSource *dataSource() const { return m_source; }
    void setDataField(const QString &field);
    QString dataField() const { return m_field; }

    QString text() const;                 // the value as the database formats it
    bool canModify() const;
    // Writes a typed text into the row, starting the edit when allowed.
    // Returns false (and reports the engine's error) when it was refused.
    bool write(const QString &text);

signals:
    void changed();

private:
    QPointer<DataSource> m_source;
    QMetaObject::Connection m_connection;
    QString m_field;
};

// What every bound control offers: its binding and the forwarders to it.
class DataAware {
public:
    FieldLink *link() const { return m_link; }
    void setDataSource(DataSource *source) { m_link->setDataSource(source); }
    void setDataField(const QString &field) { m_link->setDataField(field); }
    QString dataField() const { return m_link->dataField(); }

protected:
    explicit DataAware(QObject *control) : m_link(new FieldLink(control)) {}
    FieldLink *const m_link;
};

class DBText : public QLabel, public DataAware {
    Q_OBJECT
public:
    explicit DBText(const QString &name, QWidget *parent = nullptr);
};

class DBEdit : public QLineEdit, public DataAware {
    Q_OBJECT
public:
    explicit DBEdit(const QString &name, QWidget *parent = nullptr);

private:
    void show_();
    void typed(const QString &text);
    bool m_writing = false;
};

class DBMemo : public QPlainTextEdit, public DataAware {
    Q_OBJECT
public:
    explicit DBMemo(const QString &name, QWidget *parent = nullptr);

private:
    void show_();
    void typed();
    bool m_updating = false;
};

// Rows of a dataset as a table model; the chosen columns in their order,
// each titled with its column name.
class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataSetModel(QObject *parent = nullptr);
    void setDataSource(DataSource *source);
    void setColumns(const QStringList &columns) { beginResetModel(); m_columns = columns; endResetModel(); }
    DataSet *dataSet() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList shownColumns() const;
    QPointer<DataSource> m_source;
    QMetaObject::Connection m_connection;
    QStringList m_columns;
};

class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(const QString &name, QWidget *parent = nullptr);
    void setDataSource(DataSource *source);
    void setColumns(const QStringList &columns) { m_model->setColumns(columns); }
    DataSetModel *dataModel() const { return m_model; }

private:
    void followCurrentRow();
    DataSetModel *m_model;
    bool m_following = false;
};
