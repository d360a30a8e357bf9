#pragma once
// A widget's alpha as the layer-backed views had it: a model value set at once (and read back at
// once) while the screen may fade to it.
#include <QWidget>

namespace ViewAlpha {

// Fades over `seconds` when animated (the animator), else sets it at once.
void setAlpha(QWidget* view, double alpha, bool animated = false, double seconds = 0.25);
// The model value: 1 for a widget never given one.
double alpha(const QWidget* view);

} // namespace ViewAlpha
