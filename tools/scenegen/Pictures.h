#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

// Fixture frame i: FrameColour(i) everywhere but a black band over the top eighth of the rows,
// which shows whether a decoder turned the picture upside down.
QImage FixturePicture(int index, int width, int height);
// The palette of the 8-bit fixture scenes (0x00RRGGBB): black for the band, then the frame
// colours in index order.
std::vector<std::uint32_t> FixturePalette();

// Frame index of count of the sample scene: a calm looping animation with the frame number.
// Needs a QGuiApplication (fonts).
QImage SamplePicture(int index, int count, int width, int height);
