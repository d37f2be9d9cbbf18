#pragma once

#include <QObject>
#include <QPointer>

#include "platform/db/dataset.h"

// Feeds bound controls from the current row of a dataset that can be
// exchanged at run time. With auto edit, the first keystroke in a bound
// control puts the row into editing.
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(const QString &name, DataSet *dataSet = nullptr, QObject *parent = nullptr);

    DataSet *dataSet() const { return m_dataSet; }
    void setDataSet(DataSet *dataSet);

    bool autoEdit() const { return m_autoEdit; }
    void setAutoEdit(bool on) { m_autoEdit = on; }

    // Whether bound controls may take keystrokes now.
    bool canModify() const;
    // Called by a control before it writes a typed text; true when the row
    // is (now) being edited.
    bool beginEdit();
    void reportFailure(const QString &message) { emit failed(message); }

signals:
    void changed();
    // A failure of its dataset or of a bound control that no handler can
    // catch; the window that owns the source shows it.
    void failed(const QString &message);

private:
    QPointer<DataSet> m_dataSet;
    QMetaObject::Connection m_connection;
    QMetaObject::Connection m_failures;
    bool m_autoEdit = true;
};
