#include "query/packed_rows.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

#include "jet/error.h"

namespace query {

namespace {

using Offset = uint64_t;
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

PackedRows::PackedRows(std::vector<std::vector<jet::Value>> rows) : row_count_(rows.size()) {
  const size_t index_size = (rows.size() + 1) * sizeof(Offset);
  size_t cells_size = 0;
  for (const auto& row : rows) {
    for (const jet::Value& v : row) cells_size += PackedSize(v);
  }
  block_ = PageBlock(index_size + cells_size);
  std::byte* index = block_.data();
  std::byte* const cells = index + index_size;
  std::byte* out = cells;
  for (auto& row : rows) {
    const Offset at = static_cast<Offset>(out - cells);
    std::memcpy(index, &at, sizeof at);
    index += sizeof at;
    for (const jet::Value& v : row) out = Put(out, v);
    std::vector<jet::Value>().swap(row);
  }
  const Offset end = static_cast<Offset>(out - cells);
  std::memcpy(index, &end, sizeof end);
}

const std::byte* PackedRows::RowStart(size_t row) const {
  Offset at = 0;
  std::memcpy(&at, block_.data() + row * sizeof(Offset), sizeof at);
  return block_.data() + (row_count_ + 1) * sizeof(Offset) + at;
}

jet::Value PackedRows::At(size_t row, size_t col) const {
  if (row >= row_count_) return jet::Value();
  const std::byte* in = RowStart(row);
  const std::byte* const end = RowStart(row + 1);
  for (size_t c = 0; c < col && in < end; ++c) {
    kSkippers[static_cast<size_t>(*in++)](in);
  }
  if (in >= end) return jet::Value();
  return kTakers[static_cast<size_t>(*in++)](in);
}

}  // namespace query
