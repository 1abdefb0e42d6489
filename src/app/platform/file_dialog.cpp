#include "app/platform/file_dialog.h"

#include "jet/error.h"

namespace platform {

void FileDialog::Show(Mode mode) {
  std::optional<std::string> chosen = Present(mode);
  if (!chosen) {
    if (cancel_error_) throw errors::Cancelled();
    return;
  }
  file_name_ = *chosen;
}

}  // namespace platform
