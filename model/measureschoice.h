#pragma once

#include <QString>

// What the measures editor takes from the Measures page, at the moment of
// use: the goal and year chosen there, and the page's display step.
class MeasuresChoice {
public:
    virtual ~MeasuresChoice() = default;
    // The stored German goal text of the page's perspective and goal
    // selection; empty when the goal box holds typed text.
    virtual QString zielText() const = 0;
    // The text the page's goal box shows (German items in German).
    virtual QString goalBoxText() const = 0;
    // The text of the page's year box.
    virtual QString yearText() const = 0;
    // The page's display step; throws EngineError when it fails.
    virtual void display() = 0;
    // Re-reads the page's list of measures.
    virtual void rereadMeasures() = 0;
};
