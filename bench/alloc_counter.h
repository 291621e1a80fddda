// Bytes held through operator new, counted while a measurement asks for it.
#pragma once
#include <cstdint>

namespace alloc_counter {

// Starts counting from zero; frees of blocks allocated before count as negative growth.
void Start();
void Stop();
// Net bytes allocated since Start, and the highest that net reached.
std::int64_t Current();
std::int64_t Peak();

}  // namespace alloc_counter
