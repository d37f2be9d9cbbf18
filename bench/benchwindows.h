#pragma once
// The real windows for the benchmarks that drive them.

#include "app/form1.h"
#include "app/globals.h"
#include "app/start.h"
#include "platform/ui/selector.h"

#include <QPushButton>

// The windows, past the start screen in German with mining.
struct GermanMiningWindows {
    GermanMiningWindows()
    {
        Start::createWindows();
        Form1->ComboBox6->choose(1);
        Form1->ComboBox7->choose(1);
        Form1->Button3->click();
    }
    ~GermanMiningWindows() { Start::destroyWindows(); }
    GermanMiningWindows(const GermanMiningWindows &) = delete;
    GermanMiningWindows &operator=(const GermanMiningWindows &) = delete;
};
