/* A tiny library for the dynamic loading tests. */
int QxTestAdd(int a, int b) { return a + b; }
const char* QxTestName(void) { return "qx-testlib"; }
