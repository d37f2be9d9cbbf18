#pragma once
// The real windows for the benchmarks that drive them.

#include "benchmain.h"

#include "app/form1.h"
#include "app/globals.h"
#include "app/start.h"
#include "platform/services.h"
#include "platform/ui/selector.h"

#include <QPushButton>

// What the benchmarks hand to the windows: every question answered OK (a
// benchmark never waits for a box), no file chosen, the real clock.
inline Services benchServices()
{
    Services services = Services::standard(benchConnection());
    services.ask = [](const Asker::Question &) { return Asker::Answer::Ok; };
    services.chooseFile = [](const FileRequest &) { return QString(); };
    return services;
}

// The windows, past the start screen in German with mining.
struct GermanMiningWindows {
    Services services = benchServices();
    GermanMiningWindows()
    {
        Start::createWindows(services);
        Form1->ComboBox6->choose(1);
        Form1->ComboBox7->choose(1);
        Form1->Button3->click();
    }
    ~GermanMiningWindows() { Start::destroyWindows(); }
    GermanMiningWindows(const GermanMiningWindows &) = delete;
    GermanMiningWindows &operator=(const GermanMiningWindows &) = delete;
};
