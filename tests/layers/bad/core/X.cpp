// Points up: data may not include the toolkit.
#include "toolkit/Y.h"
