#include "jet/property_maps.h"

#include <algorithm>

#include "jet/byte_writer.h"
#include "jet/name_fold.h"
#include "jet/text_codec.h"
#include "jet/text_encoder.h"

namespace jet {
namespace {

// Reads a name (2-byte length, UTF-16) at `*at`, moving past it; nothing past `end`.
std::optional<std::string> ReadName(ByteSpan b, size_t* at, size_t end) {
  if (*at + 2 > end) return std::nullopt;
  size_t length = ReadU16(b, *at);
  if (*at + 2 + length > end) return std::nullopt;
  std::string name = Utf16LeToUtf8(b.subspan(*at + 2, length));
  *at += 2 + length;
  return name;
}

void AppendName(std::vector<uint8_t>& out, const std::string& name) {
  std::vector<uint8_t> text = EncodeJet4Text(Utf8ToUtf16(name), false);
  AppendU16(out, static_cast<uint16_t>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
}

std::optional<PropertyBlock> ReadBlock(ByteSpan b, size_t at, size_t end, uint16_t type,
                                       const std::vector<std::string>& names) {
  PropertyBlock block;
  block.type = type;
  if (at + 4 > end) return block;
  size_t name_part = ReadU32(b, at);
  if (name_part < 4 || at + name_part > end) return std::nullopt;
  if (name_part > 6) {
    size_t name_at = at + 4;
    auto name = ReadName(b, &name_at, at + name_part);
    if (!name) return std::nullopt;
    block.name = *name;
  }
  at += name_part;
  while (at < end) {
    if (at + props::kPropertyHeader > end) return std::nullopt;
    size_t length = ReadU16(b, at);
    size_t index = ReadU16(b, at + 4);
    size_t data = ReadU16(b, at + 6);
    if (length < props::kPropertyHeader + data || at + length > end || index >= names.size()) {
      return std::nullopt;
    }
    Property p;
    p.name = names[index];
    p.flag = b[at + 2];
    p.type = b[at + 3];
    p.data.assign(b.begin() + static_cast<std::ptrdiff_t>(at + props::kPropertyHeader),
                  b.begin() + static_cast<std::ptrdiff_t>(at + props::kPropertyHeader + data));
    block.properties.push_back(std::move(p));
    at += length;
  }
  return block;
}

size_t NameIndex(std::vector<std::string>& names, const std::string& name) {
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return i;
  }
  names.push_back(name);
  return names.size() - 1;
}

}  // namespace

std::optional<PropertyMaps> ParsePropertyMaps(ByteSpan b) {
  if (b.size() < 4 || !std::equal(b.begin(), b.begin() + 4, props::kMagic)) return std::nullopt;
  PropertyMaps maps;
  bool have_names = false;
  size_t at = 4;
  while (at < b.size()) {
    if (at + props::kChunkHeader > b.size()) return std::nullopt;
    size_t length = ReadU32(b, at);
    uint16_t type = ReadU16(b, at + 4);
    if (length < props::kChunkHeader || at + length > b.size()) return std::nullopt;
    size_t end = at + length;
    size_t inner = at + props::kChunkHeader;
    if (type == props::kNamePool) {
      maps.names.clear();
      while (inner < end) {
        auto name = ReadName(b, &inner, end);
        if (!name) return std::nullopt;
        maps.names.push_back(*name);
      }
      have_names = true;
    } else {
      if (!have_names) return std::nullopt;
      auto block = ReadBlock(b, inner, end, type, maps.names);
      if (!block) return std::nullopt;
      maps.blocks.push_back(std::move(*block));
    }
    at = end;
  }
  return maps;
}

std::vector<uint8_t> EncodePropertyMaps(const PropertyMaps& maps) {
  std::vector<std::string> names = maps.names;
  for (const PropertyBlock& block : maps.blocks) {
    for (const Property& p : block.properties) NameIndex(names, p.name);
  }
  std::vector<uint8_t> out(props::kMagic, props::kMagic + 4);
  auto chunk = [&](uint16_t type, const std::vector<uint8_t>& body) {
    AppendU32(out, static_cast<uint32_t>(props::kChunkHeader + body.size()));
    AppendU16(out, type);
    out.insert(out.end(), body.begin(), body.end());
  };
  std::vector<uint8_t> pool;
  for (const std::string& name : names) AppendName(pool, name);
  chunk(props::kNamePool, pool);
  for (const PropertyBlock& block : maps.blocks) {
    std::vector<uint8_t> body;
    std::vector<uint8_t> name;
    AppendName(name, block.name);
    AppendU32(body, static_cast<uint32_t>(4 + name.size()));
    body.insert(body.end(), name.begin(), name.end());
    for (const Property& p : block.properties) {
      AppendU16(body, static_cast<uint16_t>(props::kPropertyHeader + p.data.size()));
      body.push_back(p.flag);
      body.push_back(p.type);
      AppendU16(body, static_cast<uint16_t>(NameIndex(names, p.name)));
      AppendU16(body, static_cast<uint16_t>(p.data.size()));
      body.insert(body.end(), p.data.begin(), p.data.end());
    }
    chunk(block.type, body);
  }
  return out;
}

PropertyMaps NewPropertyMaps() {
  PropertyMaps maps;
  maps.blocks.push_back(PropertyBlock{});
  return maps;
}

void SetColumnRequired(PropertyMaps& maps, const std::string& column, bool required) {
  auto block = std::find_if(maps.blocks.begin(), maps.blocks.end(), [&](const PropertyBlock& b) {
    return b.type == props::kColumnBlock && SameName(b.name, column);
  });
  if (block == maps.blocks.end()) {
    maps.blocks.push_back(PropertyBlock{props::kColumnBlock, column, {}});
    block = maps.blocks.end() - 1;
  }
  Property value{props::kRequired,
                 props::kFlagDataDefinition,
                 props::kTypeBoolean,
                 {static_cast<uint8_t>(required ? 1 : 0)}};
  for (Property& p : block->properties) {
    if (SameName(p.name, props::kRequired)) {
      p = value;
      return;
    }
  }
  block->properties.push_back(std::move(value));
}

bool RemoveColumnProperties(PropertyMaps& maps, const std::string& column) {
  return std::erase_if(maps.blocks, [&](const PropertyBlock& b) {
           return b.type == props::kColumnBlock && SameName(b.name, column);
         }) > 0;
}

bool HasColumnProperties(const PropertyMaps& maps, const std::string& column) {
  return std::any_of(maps.blocks.begin(), maps.blocks.end(), [&](const PropertyBlock& b) {
    return b.type == props::kColumnBlock && SameName(b.name, column);
  });
}

}  // namespace jet
