#pragma once
// The SDK's growable array.

#include <vector>

template <class T> using K2Vector = std::vector<T>;
