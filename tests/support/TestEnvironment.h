#pragma once

// Prepares the process environment before Qt starts: the offscreen platform
// unless another is asked for, and a private runtime directory.
void PrepareTestEnvironment();
