// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

// How many times the global operator new (any form) has been called since the program started.
// Linking AllocationCounter.cpp replaces the global allocation functions with counting ones;
// they live in their own file so the compiler cannot inline them into the code it measures.
std::size_t allocationCount();
