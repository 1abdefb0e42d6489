#ifndef QUORLA_QUERY_FREE_MEMORY_H_
#define QUORLA_QUERY_FREE_MEMORY_H_

namespace query {

// Hands memory that the program has freed back to the system. A replaced result leaves its
// records' memory free but still counted to the process; without this, a window that once held
// two large results at a time (old and new, while the new one loads) keeps the size of both.
void GiveBackFreedMemory();

}  // namespace query

#endif  // QUORLA_QUERY_FREE_MEMORY_H_
