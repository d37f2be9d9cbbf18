#include "platform/db/datasource.h"

DataSource::DataSource(const QString &name, DataSet *dataSet, QObject *parent) : QObject(parent)
{
    setObjectName(name);
    setDataSet(dataSet);
}

void DataSource::setDataSet(DataSet *dataSet)
{
    if (m_dataSet == dataSet)
        return;
    // Read before the controls look, where a failure can still be reported.
    if (dataSet)
        dataSet->ensureRead();
    disconnect(m_connection);
    disconnect(m_failures);
    m_dataSet = dataSet;
    if (dataSet) {
        m_connection = connect(dataSet, &DataSet::changed, this, &DataSource::changed);
        m_failures = connect(dataSet, &DataSet::failed, this, &DataSource::failed);
    }
    emit changed();
}

bool DataSource::canModify() const
{
    return m_dataSet && m_dataSet->isActive() && !m_dataSet->isReadOnly()
        && (m_dataSet->isEditing() || (m_autoEdit && !m_dataSet->isEmpty()));
}

bool DataSource::beginEdit()
{
    if (!canModify())
        return false;
    if (!m_dataSet->isEditing())
        m_dataSet->edit();
    return true;
}
