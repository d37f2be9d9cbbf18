#include "dialogs/eingabe_ma.h"

#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/ui/controls.h"

Teingabe_m::Teingabe_m(const Startwahl &wahl) : m_wahl(wahl)
{
    setObjectName(QStringLiteral("eingabe_m"));
    setWindowTitle(QStringLiteral("Maßnahmen - Eingabe"));
    setFont(Controls::defaultFont());
    Controls::setOuterGeometry(this, 140, 101, 508, 608);

    Query1 = new Query(QStringLiteral("Query1"), this);
    Query1->setSql(QStringLiteral("select * from maßnahmen"));
    Table1 = new Table(QStringLiteral("Table1"), this);
    Table1->setTableName(QStringLiteral("maßnahmen.DB"));
    DataSource1 = new DataSource(QStringLiteral("DataSource1"), Query1, this);
    Query1->open();
    Table1->open();
}
