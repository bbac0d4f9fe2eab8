// The picture decoder against the system's libjpeg: good, damaged, foreign and huge files.
#include "tests/native/picture_cases.h"
