// The test screen's fixtures, built from their own folder so that both suites share one copy.
#include "tests/measurement/screen/screen_fixture.cpp"
#include "tests/measurement/screen/counted_sample.cpp"
