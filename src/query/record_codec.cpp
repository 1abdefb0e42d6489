#include "query/record_codec.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

#include "jet/error.h"

namespace query {

namespace {

using Length = uint32_t;
constexpr size_t kTagSize = 1;

template <typename T>
constexpr bool kHasLength = std::is_same_v<T, std::string> || std::is_same_v<T, jet::Bytes>;

template <typename T>
size_t PayloadSize(const T& v) {
  if constexpr (std::is_same_v<T, std::monostate>) {
    return 0;
  } else if constexpr (kHasLength<T>) {
    if (v.size() > std::numeric_limits<Length>::max()) {
      throw errors::Overflow();
    }
    return sizeof(Length) + v.size();
  } else {
    static_assert(std::is_trivially_copyable_v<T>);
    return sizeof(T);
  }
}

size_t PackedSize(const jet::Value& v) {
  return kTagSize + std::visit([](const auto& x) { return PayloadSize(x); }, v);
}

std::byte* Put(std::byte* out, const jet::Value& v) {
  *out++ = static_cast<std::byte>(v.index());
  std::visit(
      [&out](const auto& x) {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          return;
        } else if constexpr (kHasLength<T>) {
          const auto n = static_cast<Length>(x.size());
          std::memcpy(out, &n, sizeof n);
          out += sizeof n;
          if (n != 0) std::memcpy(out, x.data(), n);
          out += n;
        } else {
          std::memcpy(out, &x, sizeof x);
          out += sizeof x;
        }
      },
      v);
  return out;
}

// Reading back, one function per type tag.
template <size_t I>
jet::Value Take(const std::byte*& in) {
  using T = std::variant_alternative_t<I, jet::Value>;
  if constexpr (std::is_same_v<T, std::monostate>) {
    return jet::Value(std::in_place_index<I>);
  } else if constexpr (kHasLength<T>) {
    Length n = 0;
    std::memcpy(&n, in, sizeof n);
    in += sizeof n;
    T x(n, typename T::value_type{});
    if (n != 0) std::memcpy(x.data(), in, n);
    in += n;
    return jet::Value(std::in_place_index<I>, std::move(x));
  } else {
    T x;
    std::memcpy(&x, in, sizeof x);
    in += sizeof x;
    return jet::Value(std::in_place_index<I>, x);
  }
}

template <size_t I>
void Skip(const std::byte*& in) {
  using T = std::variant_alternative_t<I, jet::Value>;
  if constexpr (kHasLength<T>) {
    Length n = 0;
    std::memcpy(&n, in, sizeof n);
    in += sizeof n + n;
  } else if constexpr (!std::is_same_v<T, std::monostate>) {
    in += sizeof(T);
  }
}

using Taker = jet::Value (*)(const std::byte*&);
using Skipper = void (*)(const std::byte*&);

template <size_t... I>
constexpr std::array<Taker, sizeof...(I)> Takers(std::index_sequence<I...>) {
  return {&Take<I>...};
}
template <size_t... I>
constexpr std::array<Skipper, sizeof...(I)> Skippers(std::index_sequence<I...>) {
  return {&Skip<I>...};
}

constexpr auto kAlternatives = std::make_index_sequence<std::variant_size_v<jet::Value>>{};
constexpr auto kTakers = Takers(kAlternatives);
constexpr auto kSkippers = Skippers(kAlternatives);

}  // namespace

size_t PackedRecordSize(const std::vector<jet::Value>& row) {
  size_t size = 0;
  for (const jet::Value& v : row) size += PackedSize(v);
  return size;
}

std::byte* PackRecord(const std::vector<jet::Value>& row, std::byte* out) {
  for (const jet::Value& v : row) out = Put(out, v);
  return out;
}

jet::Value UnpackValue(const std::byte* begin, const std::byte* end, size_t col) {
  const std::byte* in = begin;
  for (size_t c = 0; c < col && in < end; ++c) {
    kSkippers[static_cast<size_t>(*in++)](in);
  }
  if (in >= end) return jet::Value();
  return kTakers[static_cast<size_t>(*in++)](in);
}

}  // namespace query
