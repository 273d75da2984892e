// Built as a file that links the toolkit: its own headers are found,
#include "toolkit/Form.h"

// the app layer above it is not.
#include "app/Unit1.h"
