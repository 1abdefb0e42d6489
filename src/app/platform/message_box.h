#ifndef QUORLA_APP_PLATFORM_MESSAGE_BOX_H_
#define QUORLA_APP_PLATFORM_MESSAGE_BOX_H_

#include <string>

namespace platform {

// Box styles in the platform's encoding: buttons in the low bits, the icon above them.
inline constexpr int kOkOnly = 0;
inline constexpr int kCritical = 16;

// A modal message box: shows text, icon and buttons under a title and returns when closed.
class MessageBox {
 public:
  virtual ~MessageBox() = default;
  // `text` may hold CR LF line breaks.
  virtual void Show(const std::string& text, int style, const std::string& title) = 0;
};

}  // namespace platform

#endif  // QUORLA_APP_PLATFORM_MESSAGE_BOX_H_
