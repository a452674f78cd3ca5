// Internal: hints to the system about large pixel blocks. Only a hint: nothing depends on it.
#pragma once

#include <cstddef>

// Asks for the block to be backed by large pages where the system offers them, so that filling a
// picture of hundreds of megabytes costs a few hundred page faults instead of tens of thousands.
void AdviseLargeBlock(void* block, std::size_t bytes);
