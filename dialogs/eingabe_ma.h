#pragma once

#include <QWidget>

class DataSource;
class Query;
class Startwahl;
class Table;

// Measures editor: pages through, changes, adds and deletes the measures of
// the Measures page's goal and year.
class Teingabe_m : public QWidget {
    Q_OBJECT
public:
    // Opens its list and table; throws EngineError when it cannot.
    explicit Teingabe_m(const Startwahl &wahl);

    Query *Query1;
    Table *Table1;
    DataSource *DataSource1;

private:
    const Startwahl &m_wahl;
};
