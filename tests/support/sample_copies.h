#ifndef QUORLA_TESTS_SUPPORT_SAMPLE_COPIES_H_
#define QUORLA_TESTS_SUPPORT_SAMPLE_COPIES_H_

// Writable copies of the sample files for tests that change them.

#include <string>

namespace testsupport {

// Copies the sample `relative` (e.g. "jet4/testV2003.mdb") to `path`, writable. Throws
// std::runtime_error when the sample is missing.
void CopySample(const std::string& relative, const std::string& path);

// A copy at `path` of jet4/test2V2003.mdb, a file Access wrote, whose one table MSP_PROJECTS
// (73 columns of most types, nine memos, an OLE column, unique indexes on PROJ_ID and PROJ_NAME)
// is filled up from its one row to kProjectRows: PROJ_ID 1 to kProjectRows, memos of
// PROJ_PROP_AUTHOR Null, short, on one page and chained, the OLE value of the first row on every
// tenth row. Small enough to check after every change. Made once per process, copied from then on.
void CopyProjects(const std::string& path);

inline constexpr int kProjectRows = 200;

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_SAMPLE_COPIES_H_
