#pragma once

#include <QPixmap>

namespace Pictures {

// Marker of a red goal without a measure, 17 x 17 on a transparent
// background: a red warning triangle holding a white exclamation mark.
// Drawn when first asked for; needs a QGuiApplication.
QPixmap attentionMarker();

} // namespace Pictures
