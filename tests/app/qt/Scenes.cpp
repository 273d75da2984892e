#include "Scenes.h"

// The larger, longer and zero-rate ones in Motion JPEG, which FFmpeg decodes.
const TScenes kScenes = {
    .Ten = "raw24_10.avi",
    .One = "raw24_1.avi",
    .Two = "raw24_2.avi",
    .None = "raw24_0.avi",
    .Large = "large_600x520.avi",
    .Long = "long_300.avi",
    .RateZero = "rate0.avi",
    .ScaleZero = "scale0.avi",
    .BothZero = "ratescale0.avi",
    .NotASceneCode = "BADFORMAT",
};
