#pragma once

// Prepares the process environment before Qt starts: the offscreen platform
// unless another is asked for, and a private runtime directory.
void PrepareTestEnvironment();

// Whether the tests run under Wine rather than on Windows itself; false
// outside Windows.
bool RunsUnderWine();
