#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>
#include <array>

class Connection;
class DataSource;
class Query;
class ReportBand;
class ReportLabel;
class ReportLayout;
class ReportPicture;

// Report window: owns the two page layouts of the evaluation report, their
// three queries and the sixteen cause-effect diagrams; it is never shown
// itself.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    // Opens the three queries; throws EngineError when it cannot.
    explicit TForm2(Connection &connection);

    Query *Query1;
    Query *Query2;
    Query *Query3;
    DataSource *DataSource1;
    DataSource *DataSource2;
    DataSource *DataSource3;
    ReportLayout *QuickRep1;
    ReportLayout *QuickRep2;

    // Makes the evaluation report of a perspective (0 to 3) and year in
    // the language and for the industry given: the three statements, the
    // titles, the captions by language and the one diagram. Returns the
    // tables that hold no row for the year (the report is made all the
    // same). A perspective outside 0 to 3 only sets the captions and hides
    // every diagram. Throws EngineError.
    QStringList prepare(int perspektive, const QString &year, bool english, int branche);

    // Both pages, in order, as prepare left them.
    QList<const ReportLayout *> pages() const { return {QuickRep1, QuickRep2}; }

    // The diagram for an industry group (0: QRImage1..8, 1: bbImage1..8)
    // and number 1..8 within it.
    ReportPicture *diagram(int group, int number) const { return m_diagrams[group][number - 1]; }

private:
    // Draws the diagrams that are enabled and not drawn yet; a diagram is
    // drawn when a report first needs it, not at start-up.
    void drawEnabledDiagrams();
    void buildPage1();
    void buildPage2();
    void buildDiagrams(ReportBand *summary);

    std::array<std::array<ReportPicture *, 8>, 2> m_diagrams{};
    // The goals' titles: QRLabel1, QRLabel2 (page 1), QRLabel24 (page 2).
    std::array<ReportLabel *, 3> m_titles{};
};
