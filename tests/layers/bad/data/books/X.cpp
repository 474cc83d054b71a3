// Points up: the books may not include a window toolkit header.
#include "gui/toolkit/Y.h"
