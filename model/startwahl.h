#pragma once

// The two choices of the start screen, read at the moment of use. Only the
// main window answers them; pages and dialogs ask it.
class Startwahl {
public:
    virtual ~Startwahl() = default;
    // Item index of the language selector: 0 English, anything else German.
    virtual int sprache() const = 0;
    // Item index of the industry selector: 0 agriculture, anything else mining.
    virtual int branche() const = 0;
    bool englisch() const { return sprache() == 0; }
};
