#pragma once

#include <QWidget>

class DataSource;
class Startwahl;
class Table;

// Key-figure entry dialog: edits the values of one year's row.
class TEingabe_kennzahlen : public QWidget {
    Q_OBJECT
public:
    // Opens Table1 on its first table; throws EngineError when it cannot.
    explicit TEingabe_kennzahlen(const Startwahl &wahl);

    Table *Table1;
    DataSource *DataSource1;

private:
    const Startwahl &m_wahl;
};
