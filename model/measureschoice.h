#pragma once

#include <QString>

// What the measures editor takes from the Measures page, at the moment of
// use: the goal and year chosen there, and the page's display step.
class MeasuresChoice {
public:
    virtual ~MeasuresChoice() = default;
    // The stored German goal text of the page's perspective and goal
    // selection; empty when no goal of the list is selected (typed text,
    // or none after a new perspective).
    virtual QString zielText() const = 0;
    // The text of the page's year box.
    virtual QString yearText() const = 0;
    // The page's display step; throws EngineError when it fails.
    virtual void display() = 0;
    // Re-reads the page's list of measures.
    virtual void rereadMeasures() = 0;
};
