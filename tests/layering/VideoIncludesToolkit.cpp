// Built as a file that links the video layer: its own headers are found,
#include "video/VFW.h"

// the toolkit above it is not.
#include "toolkit/Form.h"
