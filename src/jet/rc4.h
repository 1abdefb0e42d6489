#ifndef QUORLA_JET_RC4_H_
#define QUORLA_JET_RC4_H_

// The RC4 stream cipher, which Jet uses to mask its header page and to encrypt pages of files
// that carry a database key. Applying it twice with the same key restores the input.

#include <cstdint>
#include <span>

namespace jet {

// XORs `data` in place with the RC4 key stream of `key` (1 to 256 bytes).
void Rc4Apply(std::span<const uint8_t> key, std::span<uint8_t> data);

}  // namespace jet

#endif  // QUORLA_JET_RC4_H_
