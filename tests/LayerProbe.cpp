// Built only by the Layers tests: one include, named by the build, compiled
// with the include path of the library under test.
#include AURIGON_PROBE_HEADER
