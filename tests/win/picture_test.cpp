// The picture decoder against the MinGW build of libjpeg that the program links.
#include "tests/native/picture_cases.h"
