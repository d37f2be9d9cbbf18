#pragma once
// The English captions of the fixed controls, one table per window, in
// the order they are applied. Every window is created with German captions;
// these replace them once when English is chosen on the start screen.

#include <QList>
#include <QString>
#include <QStringList>

namespace EnglishSwitch {

struct Row {
    QString name;        // object name of the control; empty: the window itself
    QString text;        // caption or selector text; null: left unchanged
    QStringList items;   // a selector's new items, in the German order; empty: none
    int left = -1;       // new left position (the top stays); -1: not moved
};

// The main window's four pages; goal 11's caption follows the industry.
QList<Row> mainWindow(int branche);
QList<Row> keyFigureDialog();
QList<Row> measuresEditor();

} // namespace EnglishSwitch
