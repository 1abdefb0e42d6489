#ifndef QUORLA_APP_PLATFORM_FILE_DIALOG_H_
#define QUORLA_APP_PLATFORM_FILE_DIALOG_H_

// The common file dialog: settings are properties set before showing it; the chosen path is read
// back as FileName, which the dialog keeps between showings.

#include <cstdint>
#include <optional>
#include <string>

#include "error/error.h"

namespace platform {

// Flags, as the common dialog encodes them.
inline constexpr int32_t kOfnOverwritePrompt = 0x2;
inline constexpr int32_t kOfnHideReadOnly = 0x4;
inline constexpr int32_t kOfnPathMustExist = 0x800;
inline constexpr int32_t kOfnFileMustExist = 0x1000;
inline constexpr int32_t kOfnExplorer = 0x80000;

// Raised by ShowOpen/ShowSave on cancel when CancelError is true.
inline constexpr int32_t kCancelErrorNumber = errors::code::kCancel;

class FileDialog {
 public:
  enum class Mode { kOpen, kSave };

  virtual ~FileDialog() = default;

  // Filter in the form "description|pattern[|description|pattern...]".
  virtual void SetFilter(const std::string& filter) { filter_ = filter; }
  virtual void SetFlags(int32_t flags) { flags_ = flags; }
  virtual void SetCancelError(bool on) { cancel_error_ = on; }
  virtual void SetDialogTitle(const std::string& title) { title_ = title; }
  virtual void SetDefaultExt(const std::string& ext) { default_ext_ = ext; }
  virtual void SetFileName(const std::string& name) { file_name_ = name; }

  const std::string& Filter() const { return filter_; }
  int32_t Flags() const { return flags_; }
  bool CancelError() const { return cancel_error_; }
  const std::string& DialogTitle() const { return title_; }
  const std::string& DefaultExt() const { return default_ext_; }
  const std::string& FileName() const { return file_name_; }

  // Show the dialog modally. On a choice FileName becomes the chosen path; on cancel FileName
  // is kept and, when CancelError is true, jet::Error 32755 is raised.
  void ShowOpen() { Show(Mode::kOpen); }
  void ShowSave() { Show(Mode::kSave); }

 protected:
  // Presents the dialog with the current settings; nullopt when the user cancelled.
  virtual std::optional<std::string> Present(Mode mode) = 0;

 private:
  void Show(Mode mode);

  std::string filter_;
  int32_t flags_ = 0;
  bool cancel_error_ = false;
  std::string title_;
  std::string default_ext_;
  std::string file_name_;
};

}  // namespace platform

#endif  // QUORLA_APP_PLATFORM_FILE_DIALOG_H_
