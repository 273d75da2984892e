// Built with what the toolkit's files see: the app layer above it is not among it.
#include "toolkit/Form.h"
#include "app/Unit1.h"
