#ifndef QUORLA_APP_ERROR_REPORT_H_
#define QUORLA_APP_ERROR_REPORT_H_

#include <string>

#include "app/platform/message_box.h"
#include "jet/error.h"

namespace app {

// The application title, shown in the error box's title bar.
inline constexpr const char* kAppTitle = "quorla";
// Stop icon, OK button only.
inline constexpr int kErrorBoxStyle = platform::kCritical | platform::kOkOnly;

// The three lines of the error box: the fixed sentence, "Fehlernummer:" with the number, the
// description; joined by CR LF.
std::string ErrorReportText(const jet::Error& error);

// Shows the report modally; returns when the user closed the box.
void ShowErrorReport(platform::MessageBox& box, const jet::Error& error);

}  // namespace app

#endif  // QUORLA_APP_ERROR_REPORT_H_
