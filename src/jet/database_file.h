#ifndef QUORLA_JET_DATABASE_FILE_H_
#define QUORLA_JET_DATABASE_FILE_H_

// Opening a database over any RandomAccessFile (Database::Open uses the file system). `name`
// stands for the path in error descriptions.

#include <memory>
#include <string>

#include "jet/database.h"
#include "jet/env.h"
#include "jet/file.h"

namespace jet {

// As Database::Open, for an already opened file; `page_cache_pages` bounds the page cache.
std::unique_ptr<Database> OpenDatabaseFile(std::unique_ptr<RandomAccessFile> file,
                                           const std::string& name, size_t page_cache_pages = 256);

// As Database::Open (or OpenForWriting) with the file system `env`, which must outlive the
// database.
std::unique_ptr<Database> OpenDatabaseWithEnv(Env& env, const std::string& path, bool for_writing,
                                              size_t page_cache_pages = 256);

// A file a linked table or a statement of another database reads from, opened read-only; `depth`
// counts the links that led to it.
std::unique_ptr<Database> OpenLinkedDatabase(Env& env, const std::string& path, int depth);

}  // namespace jet

#endif  // QUORLA_JET_DATABASE_FILE_H_
