#pragma once

#include <QImage>

// Fixture frame i: FrameColour(i) everywhere but a black band over the top eighth of the rows,
// which shows whether a decoder turned the picture upside down.
QImage FixturePicture(int index, int width, int height);

// Frame index of count of the sample scene: a calm looping animation with the frame number.
// Needs a QGuiApplication (fonts).
QImage SamplePicture(int index, int count, int width, int height);
