#include "report/bericht.h"

#include "platform/db/dataset.h"
#include "platform/db/datasource.h"

namespace {
// Statements at creation, one per goal of the perspective.
const char *const Anfangstexte[3] = {
    "select * from kz_ges_renta where jahr =\"2007\"",
    "select * from kz_kap_quote where jahr = \"2007\"",
    "select * from kz_liqui where jahr =\"2007\"",
};
} // namespace

TForm2::TForm2()
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Bericht - Balanced Scorecard"));
    Query **queries[3] = {&Query1, &Query2, &Query3};
    DataSource **sources[3] = {&DataSource1, &DataSource2, &DataSource3};
    for (int i = 0; i < 3; ++i) {
        *queries[i] = new Query(QStringLiteral("Query%1").arg(i + 1), this);
        (*queries[i])->setSql(QString::fromUtf8(Anfangstexte[i]));
        *sources[i] = new DataSource(QStringLiteral("DataSource%1").arg(i + 1), *queries[i], this);
    }
    for (Query *q : {Query1, Query2, Query3})
        q->open();
}
