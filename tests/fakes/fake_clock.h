// All the fakes are in one header.
#include "fakes/fake_platform.h"  // IWYU pragma: export
