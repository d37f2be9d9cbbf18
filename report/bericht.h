#pragma once

#include <QWidget>
#include <array>

class DataSource;
class Query;

// Report window: owns the two page layouts and their three queries; it is
// never shown itself.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    // Opens the three queries; throws EngineError when it cannot.
    TForm2();

    Query *Query1;
    Query *Query2;
    Query *Query3;
    DataSource *DataSource1;
    DataSource *DataSource2;
    DataSource *DataSource3;
};
