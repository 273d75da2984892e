// Built with what the video layer's files see: the toolkit above it is not among it.
#include "video/VFW.h"
#include "toolkit/Form.h"
