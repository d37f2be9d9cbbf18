#include "platform/db/dbcontrols.h"

#include "platform/db/engineerror.h"

#include <QHeaderView>

// --- FieldLink ---------------------------------------------------------------

void FieldLink::setDataSource(DataSource *source)
{
    disconnect(m_connection);
    m_source = source;
    if (source)
        m_connection = connect(source, &DataSource::changed, this, &FieldLink::changed);
    emit changed();
}

void FieldLink::setDataField(const QString &field)
{
    // The same field again shows the same text: a page that binds its
    // cells anew at every display would otherwise blank them and fill
    // them again.
    if (field == m_field)
        return;
    m_field = field;
    emit changed();
}

QString FieldLink::text() const
{
    DataSet *set = m_source ? m_source->dataSet() : nullptr;
    if (!set || !set->isActive() || m_field.isEmpty())
        return QString();
    const int field = set->fieldIndex(m_field);
    return field < 0 ? QString() : set->currentText(field);
}

bool FieldLink::canModify() const
{
    DataSet *set = m_source ? m_source->dataSet() : nullptr;
    return set && !m_field.isEmpty() && set->isActive() && set->fieldIndex(m_field) >= 0
        && m_source->canModify();
}

bool FieldLink::write(const QString &text)
{
    if (!canModify())
        return false;
    try {
        if (!m_source->beginEdit())
            return false;
        m_source->dataSet()->setText(m_field, text);
        return true;
    } catch (const EngineError &error) {
        m_source->reportFailure(error.message());
        return false;
    }
}

// --- DBText ------------------------------------------------------------------

DBText::DBText(const QString &name, QWidget *parent) : QLabel(parent), DataAware(this)
{
    setObjectName(name);
    connect(m_link, &FieldLink::changed, this, [this] { setText(m_link->text()); });
}

// --- DBEdit ------------------------------------------------------------------

DBEdit::DBEdit(const QString &name, QWidget *parent) : QLineEdit(parent), DataAware(this)
{
    setObjectName(name);
    setReadOnly(true);
    connect(m_link, &FieldLink::changed, this, &DBEdit::show_);
    connect(this, &QLineEdit::textEdited, this, &DBEdit::typed);
}

void DBEdit::show_()
{
    setReadOnly(!m_link->canModify());
    if (m_writing)
        return;
    const QString value = m_link->text();
    if (value != text())
        setText(value);
}

void DBEdit::typed(const QString &value)
{
    m_writing = true;
    const bool written = m_link->write(value);
    m_writing = false;
    if (!written)
        setText(m_link->text());
    show_();
}

// --- DBMemo ------------------------------------------------------------------

DBMemo::DBMemo(const QString &name, QWidget *parent) : QPlainTextEdit(parent), DataAware(this)
{
    setObjectName(name);
    setReadOnly(true);
    connect(m_link, &FieldLink::changed, this, &DBMemo::show_);
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::typed);
}

void DBMemo::show_()
{
    setReadOnly(!m_link->canModify());
    if (m_updating)
        return;
    const QString value = m_link->text();
    if (value != toPlainText()) {
        m_updating = true;
        setPlainText(value);
        m_updating = false;
    }
}

void DBMemo::typed()
{
    if (m_updating)
        return;
    m_updating = true;
    const bool written = m_link->write(toPlainText());
    if (!written)
        setPlainText(m_link->text());
    m_updating = false;
    show_();
}

// --- DataSetModel and DBGrid -------------------------------------------------

DataSetModel::DataSetModel(QObject *parent) : QAbstractTableModel(parent) {}

void DataSetModel::setDataSource(DataSource *source)
{
    beginResetModel();
    disconnect(m_connection);
    m_source = source;
    if (source) {
        m_connection = connect(source, &DataSource::changed, this, [this] {
            beginResetModel();
            endResetModel();
        });
    }
    endResetModel();
}

DataSet *DataSetModel::dataSet() const
{
    DataSet *set = m_source ? m_source->dataSet() : nullptr;
    return set && set->isActive() ? set : nullptr;
}

QStringList DataSetModel::shownColumns() const
{
    if (!m_columns.isEmpty())
        return m_columns;
    DataSet *set = dataSet();
    return set ? set->fieldNames() : QStringList();
}

int DataSetModel::rowCount(const QModelIndex &parent) const
{
    DataSet *set = dataSet();
    if (parent.isValid() || !set)
        return 0;
    return set->recordCount() + (set->state() == DataSet::State::Insert ? 1 : 0);
}

int DataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : shownColumns().size();
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    DataSet *set = dataSet();
    if (!set || !index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const QStringList columns = shownColumns();
    return set->textAt(index.row(), set->fieldIndex(columns.value(index.column())));
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return shownColumns().value(section);
    return {};
}

DBGrid::DBGrid(const QString &name, QWidget *parent) : QTableView(parent), m_model(new DataSetModel(this))
{
    setObjectName(name);
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DBGrid::followCurrentRow);
    // Keyboard and mouse both move the dataset's current row.
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex &current) {
        DataSet *set = m_model->dataSet();
        if (m_following || !set || !current.isValid() || set->currentIndex() == current.row())
            return;
        try {
            set->moveTo(current.row());
        } catch (const EngineError &error) {
            emit set->failed(error.message());
        }
    });
}

void DBGrid::setDataSource(DataSource *source) { m_model->setDataSource(source); }

void DBGrid::followCurrentRow()
{
    DataSet *set = m_model->dataSet();
    const int row = set ? set->currentIndex() : -1;
    m_following = true;
    if (row >= 0 && row < m_model->rowCount() && m_model->columnCount() > 0)
        setCurrentIndex(m_model->index(row, qMax(0, currentIndex().column())));
    else
        selectionModel()->clearCurrentIndex();
    m_following = false;
}
