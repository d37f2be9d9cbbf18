#include "dialogs/eingabe_kz.h"

#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/ui/controls.h"

TEingabe_kennzahlen::TEingabe_kennzahlen(const Startwahl &wahl) : m_wahl(wahl)
{
    setObjectName(QStringLiteral("Eingabe_kennzahlen"));
    setWindowTitle(QStringLiteral("Kennzahlen pflegen"));
    setFont(Controls::defaultFont());
    Controls::setOuterGeometry(this, 252, 178, 415, 501);

    Table1 = new Table(QStringLiteral("Table1"), this);
    Table1->setTableName(QStringLiteral("kz_ges_renta.DB"));
    DataSource1 = new DataSource(QStringLiteral("DataSource1"), Table1, this);
    Table1->open();
}
