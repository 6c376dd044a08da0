// Out-of-line anchor for the kernel interface's vtable.

#include "YKFilterKernel.h"
