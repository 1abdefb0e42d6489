#ifndef QUORLA_JET_DATABASE_FILE_H_
#define QUORLA_JET_DATABASE_FILE_H_

// Opening a database over any RandomAccessFile (Database::Open uses the file system). `name`
// stands for the path in error descriptions.

#include <memory>
#include <string>

#include "jet/database.h"
#include "jet/file.h"

namespace jet {

// As Database::Open, for an already opened file; `page_cache_pages` bounds the page cache.
std::unique_ptr<Database> OpenDatabaseFile(std::unique_ptr<RandomAccessFile> file,
                                           const std::string& name, size_t page_cache_pages = 256);

// As Database::OpenForWriting, for an already opened writable file (Jet 4 only: a Jet 3 file
// gives Error 3027).
std::unique_ptr<Database> OpenWritableDatabaseFile(std::unique_ptr<WritableFile> file,
                                                   const std::string& name,
                                                   size_t page_cache_pages = 256);

}  // namespace jet

#endif  // QUORLA_JET_DATABASE_FILE_H_
