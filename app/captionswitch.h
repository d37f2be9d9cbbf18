#pragma once

#include <QList>
#include <QStringList>

#include "model/englishswitch.h"

class QWidget;

// Applies a caption table to one window: captions and selector texts, a
// selector's items replaced in their order (nothing chosen afterwards), a
// left position given. Names are looked up inside that window only; the
// names not found are returned (and reported), so that a renamed control
// cannot drop out of the switch unseen.
QStringList applyCaptions(QWidget *window, const QList<EnglishSwitch::Row> &rows);
