#pragma once

// This program's build id: a digest of its sources and of how they were built. A replay records it
// and is played only by a program of the same id.
const char *buildId();
