#pragma once
// The captions the pages' handlers write, by perspective, row, industry and
// language, letter for letter. They are screen texts only: they differ from
// the stored goal texts of the catalog on purpose and never reach the
// database.

#include <QList>
#include <QString>

namespace Captions {

// A goal row of a page: the goal's caption and its key figure's caption.
struct Row {
    QString goal;
    QString figure;
};

// Perspectives page: the caption of goal 11's row (Label40) for the
// industry chosen on the start screen; empty for no industry.
QString perspectivesGoal11(int branche);

// Objectives page, rows 1 to 3 of perspective 0 to 3; goal 11 (perspective
// 3, row 2) follows the industry. Empty outside the ranges.
Row objectives(int perspektive, int row, int branche, bool english);

// Text of the information message of a row (1 to 3) for the perspective
// selected when it is clicked; empty where there is none.
QString objectivesInfo(int row, int perspektive, int branche, bool english);

// Measures page: the goal and key-figure captions of a goal (perspective
// and position in it); goal 11 follows the industry. Empty outside.
Row measures(int perspektive, int position, int branche, bool english);

// Overview page: the row captions the show command writes for a
// perspective. The second line of row 2's goal is empty for every
// perspective but the financial one.
struct OverviewRows {
    QString label15, label18;             // row 1: goal, key figure
    QString label16, label49, label19;    // row 2: goal, its second line, key figure
    QString label17, label20;             // row 3: goal, key figure
};
OverviewRows overview(int perspektive, int branche, bool english);

// Report: the title of a goal's evaluation (goal 11 by industry).
QString reportTitle(int ziel, int branche, bool english);

// Report: the English captions of the value tables' labels and of the
// diagram caption, by label name ("QRLabel3" ...); German keeps the
// layouts' own captions.
struct LabelCaption {
    QString name;
    QString text;
};
QList<LabelCaption> reportEnglishLabels();

} // namespace Captions
