#pragma once

#include <QWidget>
#include <array>

class DataSource;
class Query;
class ReportBand;
class ReportLayout;
class ReportPicture;

// Report window: owns the two page layouts of the evaluation report, their
// three queries and the sixteen cause-effect diagrams; it is never shown
// itself.
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
    ReportLayout *QuickRep1;
    ReportLayout *QuickRep2;

    // The diagram for an industry group (0: QRImage1..8, 1: bbImage1..8)
    // and number 1..8 within it.
    ReportPicture *diagram(int group, int number) const { return m_diagrams[group][number - 1]; }
    // Draws the diagrams that are enabled and not drawn yet; a diagram is
    // drawn when a report first needs it, not at start-up.
    void drawEnabledDiagrams();

private:
    void buildPage1();
    void buildPage2();
    void buildDiagrams(ReportBand *summary);

    std::array<std::array<ReportPicture *, 8>, 2> m_diagrams{};
};
