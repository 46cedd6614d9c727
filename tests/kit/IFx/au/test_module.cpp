// The test plug as an Audio Unit module of its own, loaded by the bundle tests.
#define TEST_AU_PLUG_DEFINE_MAKEPLUG
#include "TestAUPlug.h"
