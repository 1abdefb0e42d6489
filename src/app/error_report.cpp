#include "app/error_report.h"

#include "query/number_text.h"

namespace app {

std::string ErrorReportText(const jet::Error& error) {
  return std::string("Ein Fehler ist aufgetreten") + "\r\n" +
         "Fehlernummer:" + query::NumberText(error.number()) + "\r\n" + error.description();
}

void ShowErrorReport(platform::MessageBox& box, const jet::Error& error) {
  box.Show(ErrorReportText(error), kErrorBoxStyle, kAppTitle);
}

}  // namespace app
