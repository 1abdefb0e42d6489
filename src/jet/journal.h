#ifndef QUORLA_JET_JOURNAL_H_
#define QUORLA_JET_JOURNAL_H_

// The rollback journal: before a commit overwrites pages of the database, their stored bytes and
// the file's size go to a journal beside it, synced together with its folder. Rolling back puts
// them back and cuts off appended pages. See journal_format.h for the layout.

#include <cstdint>
#include <span>
#include <string>

#include "jet/env.h"
#include "jet/file.h"

namespace jet {

// Writes and syncs the journal at `journal_path` holding pages `pages` of `database` as they
// are stored now and `original_size`, then syncs the folder. Throws Error on failure (the
// journal may then be left behind, incomplete).
void WriteJournal(Env& env, const std::string& journal_path, RandomAccessFile& database,
                  size_t page_size, uint64_t original_size, std::span<const uint32_t> pages);

enum class JournalState { kNone, kIncomplete, kRolledBack };

// Rolls `database` back with the journal at `journal_path`, if there is one: a complete journal
// is applied and the database synced; an incomplete one is ignored. Either way the journal is
// removed afterwards. Throws Error when the database cannot be restored (the journal stays).
JournalState RollBackJournal(Env& env, const std::string& journal_path, WritableFile& database);

}  // namespace jet

#endif  // QUORLA_JET_JOURNAL_H_
