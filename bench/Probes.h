#pragma once

// Measurements taken inside one fresh process on a real main window (boxes recorded, timer
// stopped). Each prints one line of "key=value" fields and returns the exit code.

#include <QString>

// Times TForm1::OpenScene on the file and reports the memory it took:
// frames width height wall cpu (seconds) rss_before rss_after hwm (KiB) boxes.
int LoadProbe(const QString& file);

// Loads the file, shows the window and times `ticks` calls of Timer1Timer (with its repaint)
// in CPU time of the user-interface thread: median p99 (ms), and the same with the events each
// tick leaves behind (slider paint) processed: median_all p99_all.
int TickProbe(const QString& file, int ticks);
