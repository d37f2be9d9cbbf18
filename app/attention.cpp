#include "app/attention.h"

#include "app/form1.h"
#include "model/katalog.h"
#include "platform/ui/selector.h"
#include "views/attention.h"
#include "views/measures.h"

#include <QTabWidget>

namespace Attention {

void attach(TForm1 &form)
{
    const auto land = [&form](int ziel, const QString &year) { landOnMeasures(form, ziel, year); };
    attachAttention(*form.perspectivesPage(), form)->setLanding(land);
    attachAttention(*form.objectivesPage(), form)->setLanding(land);
}

void landOnMeasures(TForm1 &form, int ziel, const QString &year)
{
    constexpr int YearPeriod = 6;
    MeasuresPage &page = *form.measuresPage();
    // The choices a user would make, in the page's own order, each followed
    // by its handler so the enabling chain stays as the page knows it.
    page.ComboBox4->setItemIndex(ScorecardKatalog::perspektiveOf(ziel));
    page.ComboBox4Change();
    page.ComboBox5->setItemIndex(ScorecardKatalog::positionOf(ziel));
    page.ComboBox5Change();
    page.ComboBox8->setItemIndex(YearPeriod);
    page.ComboBox8Change();
    const int yearItem = page.ComboBox9->items().indexOf(year);
    if (yearItem >= 0)
        page.ComboBox9->setItemIndex(yearItem);
    else
        page.ComboBox9->setText(year);
    page.ComboBox9Change();
    form.PageControl1->setCurrentWidget(form.TabSheet[2]);
    page.Button5Click();
}

} // namespace Attention
