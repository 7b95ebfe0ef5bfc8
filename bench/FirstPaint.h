#pragma once

class QWidget;

// Ends the process right after the window's first paint has reached the
// screen: start-up benchmarks time whole processes up to that moment.
namespace FirstPaint {

void quitAfterFirstPaint(QWidget *window);

} // namespace FirstPaint
