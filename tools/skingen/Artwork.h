#pragma once

#include <QImage>

// The transport buttons' artwork: a glossy blue ball with a white-ish symbol.
enum class Symbol { Play, Pause, StepForward, StepBack };
enum class Look { Rest, Highlight, Pressed };

// 30 x 29, opaque, on white (the transport bar's colour).
QImage DrawSkin(Symbol symbol, Look look);

// size x size, the ball alone on a transparent background, for the program icon.
QImage DrawIcon(int size);
