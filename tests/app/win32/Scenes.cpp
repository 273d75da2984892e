#include "Scenes.h"

// All uncompressed, so that every Windows decodes them without a codec installed.
const TScenes kScenes = {
    .Ten = "raw24_10.avi",
    .One = "raw24_1.avi",
    .Two = "raw24_2.avi",
    .None = "raw24_0.avi",
    .Large = "raw24_600x520.avi",
    .Long = "raw24_300.avi",
    .RateZero = "raw24_rate0.avi",
    .ScaleZero = "raw24_scale0.avi",
    .BothZero = "raw24_ratescale0.avi",
    // Wine's AVIFile reads a file without a RIFF header as a failed read.
    .NotASceneCode = "FILEREAD",
};
